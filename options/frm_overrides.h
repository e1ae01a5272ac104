#pragma once

#include <array>
#include <string>

#include "options/form_support.h"
#include "platform/ostrevane/folder_record.h"
#include "platform/ostrevane/options_host.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace plovanex {

// "Manage Overrides": up to five sending accounts, each with the folder its
// mail is filed into. Saves to the store at its own OK; shown modeless.
class frmOverrides : public ModelessForm {
  public:
    static constexpr int kRows = 5;

    explicit frmOverrides(QWidget* parent = nullptr);
    ~frmOverrides() override;

    // Keeps the application name, the section and the host, loads the form
    // when it is not loaded and shows it without waiting.
    void ShowIt(std::string& appName, std::string& section, ostrevane::OptionsHostPtr& host);

  protected:
    void Form_Unload() override;

  private:
    void Form_Load();
    void cmdFromChooseOutlook_Click(int n);
    void cmdOk_Click();
    void cmdCancel_Click();

    struct Row {
        QLabel* lblFromAccount;
        QLineEdit* txtFromAccount;
        QLabel* lblFolder;
        QLineEdit* txtFromOutlookFolder;
        QPushButton* cmdFromChooseOutlook;
        std::shared_ptr<ostrevane::FolderRecord> record;
    };

    QGroupBox* Frame1;
    QLabel* Label1;
    std::array<Row, kRows> rows_;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
    std::string appName_;
    std::string section_;
    ostrevane::OptionsHostPtr host_;
    bool loaded_ = false;
};

// The library's one form, made when there is none.
frmOverrides& OverridesForm(QWidget* parent);

}  // namespace plovanex
