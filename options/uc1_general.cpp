// The page's plain settings: Apply, LoadValues, the default folder, and the
// buttons that open the other forms or start the index builder.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <exception>

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "core/index_builder.h"
#include "core/outlook_path.h"
#include "options/form_support.h"
#include "options/frm_advanced_options.h"
#include "options/frm_overrides.h"
#include "options/prop_library.h"
#include "options/prop_routines.h"
#include "options/uc1_page.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/message_box.h"
#include "platform/widgets/mouse_pointer.h"
#include "platform/widgets/platform_dialogs.h"

namespace plovanex {

namespace keys = common::keys;

namespace {

const char* const kOrderItems[] = {
    "Do nothing with the email, keeping it in Sent Items",
    "Process emails according to the Confirmation Mode settings",
    "Process emails according to the Keyword Mode settings",
    "Process emails according to the Associate Contacts Mode settings",
};

constexpr long kLineBeforeGrids = 2;
constexpr long kLineAfterGrids = 5;

std::string Text(const QLineEdit* box) {
    return box->text().toStdString();
}

}  // namespace

void UC1::Page::Apply() {
    auto& library = Prop();
    Trapped({common::Source("Apply"), 0, false}, [&](long&) {
        library.Dirty = false;
        for (int n = 1; n <= keys::OrderCount; ++n) {
            SaveSetting(keys::Order(n),
                        std::to_string(cboOrder[static_cast<std::size_t>(n - 1)]->currentIndex()));
        }
        const bool prompt = optSentFilter[0]->isChecked();
        SaveSetting(keys::PromptOutlookFolder, vb::BooleanText(prompt));
        SaveSetting(keys::FolderChoice, vb::BooleanText(!prompt));
        SaveSetting(keys::MoveToFolderName, Text(txtSaveToFolder));
        SaveSetting(keys::MoveToFolderEntryId, defaultFolderEntryId);
        SaveSetting(keys::MoveToFolderStoreId, defaultFolderStoreId);
        SaveSetting(keys::IgnoreCC, CheckValueText(chkIgnoreCC->checkState()));
        SaveSetting(keys::SharedDefaults, CheckValueText(chkSharedDefaults->checkState()));
    });
}

// A value that its control refuses is reported with the step's line, and the
// control shows the page's own default for the key; the other values still
// load, so that an Apply afterwards writes back what the store held. Other
// failures end LoadValues.
void UC1::Page::LoadValues() {
    auto& library = Prop();
    const auto loadValues = [&](long& line) {
        line = kLineBeforeGrids;
        const auto refusable = [&line](auto&& load) {
            try {
                load();
            } catch (const RefusedValue& e) {
                ReportError(common::ErrorAtLine(line, e.what()), 0, common::Source("LoadValues"));
            }
        };
        library.Loading = true;
        std::string order1;
        try {
            order1 = GetSetting(keys::Order(1), "");
        } catch (const std::exception& e) {
            platform::widgets::MsgBox(
                std::string("Error: Halvox Software experienced a problem accessing your registry "
                            "settings.") +
                    "\r\nReason: " + e.what() +
                    "\r\nPlease contact technical support for help with this problem.",
                platform::widgets::vbOKOnly, "Problem Detected", PageWindow(*control));
            library.Loading = false;
            return;
        }
        if (order1.empty()) {
            SaveSetting(keys::Initialized, keys::TrueText);
        }
        FillGrid();

        line = kLineAfterGrids;
        for (int n = 1; n <= keys::OrderCount; ++n) {
            QComboBox* list = cboOrder[static_cast<std::size_t>(n - 1)];
            list->clear();
            for (const char* item : kOrderItems) {
                list->addItem(item);
            }
            list->setCurrentIndex(keys::OrderDefaultOptionsPage);
            refusable([&] {
                const std::string key = keys::Order(n);
                list->setCurrentIndex(ListIndexOf(
                    GetSetting(key, int{keys::OrderDefaultOptionsPage}), key, list->count()));
            });
        }
        txtSaveToFolder->setText(
            QString::fromStdString(GetSetting(keys::MoveToFolderName, keys::MoveToFolderDefault)));
        bool prompt = true;
        refusable([&] {
            prompt = BooleanOf(
                GetSetting(keys::PromptOutlookFolder, keys::PromptOutlookFolderDefaultOptionsPage),
                keys::PromptOutlookFolder);
        });
        const int option = prompt ? 0 : 1;
        optSentFilter[static_cast<std::size_t>(option)]->setChecked(true);
        optSentFilter_Click(option);
        txtSaveToFolder->setText(
            QString::fromStdString(GetSetting(keys::MoveToFolderName, keys::MoveToFolderDefault)));
        if (!txtSaveToFolder->text().isEmpty()) {
            defaultFolderEntryId = GetSetting(keys::MoveToFolderEntryId, keys::MoveToFolderDefault);
            defaultFolderStoreId = GetSetting(keys::MoveToFolderStoreId, keys::MoveToFolderDefault);
        }
        const std::pair<QCheckBox*, std::pair<const char*, std::int16_t>> checks[] = {
            {chkSharedDefaults, {keys::SharedDefaults, keys::SharedDefaultsDefaultOptionsPage}},
            {chkIgnoreCC, {keys::IgnoreCC, keys::IgnoreCCDefault}},
        };
        for (const auto& [box, key] : checks) {
            const auto& [name, fallback] = key;
            box->setCheckState(fallback ? Qt::Checked : Qt::Unchecked);
            refusable([&, box = box] {
                box->setCheckState(CheckStateOf(GetSetting(name, int{fallback}), name));
            });
        }
        library.Loading = false;
        library.Dirty = false;
        std::string empty;
        Host().SetHotHelp(hotHelpCaption, empty);
    };
    Trapped({common::Source("LoadValues"), 0}, loadValues, [&] {
        platform::widgets::SetMousePointer(platform::widgets::vbDefault);
        library.Loading = false;
    });
}

void UC1::Page::optSentFilter_Click(int /*index*/) {
    const bool enabled = !optSentFilter[0]->isChecked();
    QWidget* const defaultFolderControls[] = {
        txtSaveToFolder,    cmdChooseFolder,    lblFromInstructions, chkSharedDefaults,
        lblManageOverrides, cmdManageOverrides, frameFromAccount};
    for (QWidget* widget : defaultFolderControls) {
        widget->setEnabled(enabled);
    }
    SetDirty();
}

void UC1::Page::cmdChooseFolder_Click() {
    Trapped({common::Source("OrganizeFolder"), 0, false}, [&](long&) {
        auto application = HostApplication();
        const platform::widgets::ScopedFolderRequest request(
            {.prompt = "Choose the folder that sent mail is saved to.",
             .owner = control,
             .path = txtSaveToFolder->text().toStdString()});
        auto folder = application->GetNamespace("MAPI")->PickFolder();
        if (folder) {
            txtSaveToFolder->clear();
            std::string version = application->Version();
            outlook::ObjectPtr object = folder;
            txtSaveToFolder->setText(QString::fromStdString(GetFullOutlookPath(version, object)));
            defaultFolderEntryId = folder->EntryID();
            defaultFolderStoreId = folder->StoreID();
            cmdChooseFolder->setFocus();
            SetDirty();
        }
        Host().SetFocus();
    });
}

void UC1::Page::cmdAdvancedSettings_Click() {
    ShowAdvancedOptions(control->window());
}

void UC1::Page::cmdManageOverrides_Click() {
    std::string appName = Helper().SettingsAppName();
    std::string section = keys::SectionPlovanex;
    OverridesForm(control->window()).ShowIt(appName, section, Prop().host);
}

void UC1::Page::cmdBuildIndex_Click() {
    SaveSetting(keys::KestruneVisible, "1");
    if (RebuildingIndexStatus() == 0) {
        StartIndexBuilder();
    }
}

}  // namespace plovanex
