#pragma once

#include <QWidget>

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace plovanex {

// "Advanced Options": automatic filing, move or copy, and the index
// builder's priority, pause and public folders. Reads its settings when it
// loads and writes them all at OK; Cancel writes nothing. Shown modeless.
class frmAdvancedOptions : public QWidget {
  public:
    explicit frmAdvancedOptions(QWidget* parent = nullptr);

    // The form was unloaded: it is closed and goes away.
    bool Unloaded() const { return unloaded_; }

    // The longest pause the box takes, in milliseconds.
    static constexpr int kLongestDelay = 60000;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Form_Load();
    void cmdOk_Click();
    void cmdCancel_Click();
    void Unload();

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
    bool unloaded_ = false;
};

// Shows the library's one form, loading it when it is not loaded.
frmAdvancedOptions& ShowAdvancedOptions(QWidget* parent);

}  // namespace plovanex
