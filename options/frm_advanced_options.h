#pragma once

#include "options/form_support.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace plovanex {

// "Advanced Options": automatic filing, move or copy, and the index
// builder's priority, pause and public folders. Reads its settings when it
// loads and writes them all at OK; Cancel writes nothing. Shown modeless.
class frmAdvancedOptions : public ModelessForm {
  public:
    explicit frmAdvancedOptions(QWidget* parent = nullptr);

    // The longest pause the box takes, in milliseconds.
    static constexpr int kLongestDelay = 60000;

  private:
    void Form_Load();
    void cmdOk_Click();
    void cmdCancel_Click();

    QGroupBox* Frame1;
    QCheckBox* chkOverrideSendButton;
    QCheckBox* chkMoveWanted;
    QGroupBox* Frame2;
    QLabel* Label1;
    QComboBox* cboPriority;
    QLabel* Label2;
    QLineEdit* txtDelayLength;
    QLabel* Label3;
    QCheckBox* chkIndexPublicFoldersWanted;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
};

// Shows the library's one form, loading it when it is not loaded.
frmAdvancedOptions& ShowAdvancedOptions(QWidget* parent);

}  // namespace plovanex
