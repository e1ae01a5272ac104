#include "options/frm_overrides.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "core/rdo_lookup.h"
#include "options/folder_path.h"
#include "options/form_support.h"
#include "options/prop_library.h"
#include "options/prop_routines.h"
#include "platform/outlook/outlook.h"
#include "platform/settings/settings_store.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/platform_dialogs.h"

namespace plovanex {

namespace keys = common::keys;
using platform::widgets::MakeControl;

namespace {

std::string Named(const char* stem, int n) {
    return stem + std::to_string(n);
}

// The language's Trim: blanks at both ends.
std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

frmOverrides::frmOverrides(QWidget* parent) : ModelessForm(parent) {
    platform::widgets::NameForm(this, "frmOverrides", "Manage Overrides");
    Frame1 = MakeControl<QGroupBox>(this, "Frame1", "Manage Overrides");
    Label1 = MakeControl<QLabel>(
        Frame1, "Label1",
        "Emails will be saved to these folders if they come from the mailbox account you "
        "specify here. ");
    Label1->setWordWrap(true);
    auto* grid = new QGridLayout;
    for (int n = 1; n <= kRows; ++n) {
        auto& row = rows_[static_cast<std::size_t>(n - 1)];
        row.lblFromAccount =
            MakeControl<QLabel>(Frame1, Named("lblFromAccount", n).c_str(), "From Account:");
        row.txtFromAccount = MakeControl<QLineEdit>(Frame1, Named("txtFromAccount", n).c_str());
        row.lblFolder = MakeControl<QLabel>(Frame1, Named("lblFolder", n).c_str(), "Folder:");
        row.txtFromOutlookFolder =
            MakeControl<QLineEdit>(Frame1, Named("txtFromOutlookFolder", n).c_str());
        TakeNoTyping(row.txtFromOutlookFolder);
        row.cmdFromChooseOutlook = MakeControl<QPushButton>(
            Frame1, Named("cmdFromChooseOutlook", n).c_str(), "Choose Outlook Folder...");
        const int line = n - 1;
        grid->addWidget(row.lblFromAccount, line, 0);
        grid->addWidget(row.txtFromAccount, line, 1);
        grid->addWidget(row.lblFolder, line, 2);
        grid->addWidget(row.txtFromOutlookFolder, line, 3);
        grid->addWidget(row.cmdFromChooseOutlook, line, 4);
        connect(row.cmdFromChooseOutlook, &QPushButton::clicked, this, [this, n] {
            Guarded("frmOverrides.cmdFromChooseOutlook_Click",
                    [this, n] { cmdFromChooseOutlook_Click(n); });
        });
    }
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 3);
    auto* frame = new QVBoxLayout(Frame1);
    frame->addWidget(Label1);
    frame->addLayout(grid);
    cmdOk = MakeControl<QPushButton>(this, "cmdOk", "&OK");
    cmdCancel = MakeControl<QPushButton>(this, "cmdCancel", "&Cancel");
    StackAboveButtons(this, {Frame1}, cmdOk, cmdCancel);
    resize(760, 280);

    connect(cmdOk, &QPushButton::clicked, this,
            [this] { Guarded("frmOverrides.cmdOk_Click", [this] { cmdOk_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this,
            [this] { Guarded("frmOverrides.cmdCancel_Click", [this] { cmdCancel_Click(); }); });
}

frmOverrides::~frmOverrides() {
    Form_Unload();
}

void frmOverrides::ShowIt(std::string& appName, std::string& section,
                          ostrevane::OptionsHostPtr& host) {
    appName_ = appName;
    section_ = section;
    host_ = host;
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
    }
    ShowModeless();
}

void frmOverrides::Form_Load() {
    for (int n = 1; n <= kRows; ++n) {
        auto& row = rows_[static_cast<std::size_t>(n - 1)];
        row.record = std::make_shared<ostrevane::FolderRecord>();
        const auto read = [this, n](const std::string& key) {
            return platform::settings::GetSetting(appName_, section_, key,
                                                  keys::FromAccountDefault);
        };
        row.txtFromAccount->setText(QString::fromStdString(read(keys::FromAccount(n))));
        row.txtFromOutlookFolder->setText(
            QString::fromStdString(read(keys::FromOutlookFolderName(n))));
        if (!row.txtFromAccount->text().isEmpty()) {
            row.record->FolderName = row.txtFromOutlookFolder->text().toStdString();
            row.record->EntryID = read(keys::FromOutlookFolderEntryId(n));
            row.record->StoreID = read(keys::FromOutlookFolderStoreId(n));
        }
    }
}

void frmOverrides::Form_Unload() {
    host_.reset();
    for (auto& row : rows_) {
        row.record.reset();
    }
}

void frmOverrides::cmdFromChooseOutlook_Click(int n) {
    auto& row = rows_[static_cast<std::size_t>(n - 1)];
    Trapped({section_ + ".cmdFromOutlookFolder" + std::to_string(n), 0, false}, [&](long&) {
        auto application = Need(host_).OutlookApplication();
        const QString account = row.txtFromAccount->text().trimmed();
        const platform::widgets::ScopedFolderRequest request(
            {.prompt = "Choose the folder for mail sent from " +
                       (account.isEmpty() ? std::string("this account")
                                          : "\"" + account.toStdString() + "\"") +
                       ".",
             .owner = this,
             .path = row.txtFromOutlookFolder->text().toStdString()});
        auto folder = Need(application).GetNamespace("MAPI")->PickFolder();
        if (!folder) {
            return;
        }
        const std::string path = FolderPath(application->Version(), folder);
        auto& record = Need(row.record);
        record.FolderName = path;
        row.txtFromOutlookFolder->setText(QString::fromStdString(path));
        record.EntryID = folder->EntryID();
        record.StoreID = folder->StoreID();
        row.cmdFromChooseOutlook->setFocus();
        SetDirty();
    });
}

void frmOverrides::cmdOk_Click() {
    const std::string appName = Helper().SettingsAppName();
    const auto save = [&](const std::string& key, const std::string& value) {
        platform::settings::SaveSetting(appName, section_, key, value);
    };
    for (int n = 1; n <= kRows; ++n) {
        const auto& row = rows_[static_cast<std::size_t>(n - 1)];
        const std::string account = row.txtFromAccount->text().toStdString();
        const auto& record = Need(row.record);
        if (!account.empty()) {
            save(keys::FromAccount(n), Trim(account));
            save(keys::FromOutlookFolderName(n), Trim(record.FolderName));
            save(keys::FromOutlookFolderEntryId(n), record.EntryID);
            save(keys::FromOutlookFolderStoreId(n), record.StoreID);
        } else {
            save(keys::FromAccount(n), "");
            save(keys::FromOutlookFolderName(n), "");
            save(keys::FromOutlookFolderEntryId(n), "");
            save(keys::FromOutlookFolderStoreId(n), "");
        }
    }
    Unload();
}

void frmOverrides::cmdCancel_Click() {
    Unload();
}

frmOverrides& OverridesForm(QWidget* parent) {
    return LibraryForm(Prop().overrides, parent);
}

}  // namespace plovanex
