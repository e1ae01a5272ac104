// Send And File: the user picks the folder in the item window, then sends.

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/copy_suffix.h"
#include "core/globals.h"
#include "core/plovanex_state.h"
#include "platform/ostrevane/host_engine.h"
#include "platform/ostrevane/registry_helper.h"

namespace plovanex {

namespace keys = common::keys;

namespace {

// Sets the chooser up for one question about the item.
void Prepare(IChooseOutlookFolders& chooser, const outlook::ApplicationPtr& application,
             const ostrevane::FolderListPtr& list, outlook::Item& item) {
    chooser.SetApplication(application);
    chooser.SetSingleFolderOnly(true);
    chooser.SetFolderList(list);
    chooser.SetEmailTo(item.To());
    chooser.SetEmailSubject(item.Subject());
}

std::string CountText(const ostrevane::FolderList& list) {
    return "IOFoldersCollection.Count: " + std::to_string(list.size());
}

std::string ChosenText(const ostrevane::FolderList& list) {
    return CountText(list) + "; Folder: " + list.front()->FolderName;
}

}  // namespace

void CPlovanex::State::SendAndFileWithSearch(outlook::ItemPtr& item) {
    const std::string procedure = "SendAndFileWithSearch";
    Trapped({common::Source(procedure)}, [&](long& step) {
        step = 3;
        auto list = std::make_shared<ostrevane::FolderList>();
        auto application = Application();
        if (!m_frmChooseOutlookFolders4) {
            auto chooser = CreateSearchChooser();
            chooser->SetFoldersChosenHandler(
                [this](ostrevane::FolderListPtr& chosen) { FoldersChosen(chosen); });
            m_frmChooseOutlookFolders4 = chooser;
        }
        Prepare(*m_frmChooseOutlookFolders4, application, list, Need(item));
        pendingItem = item;
        step = 10;
        bool complete = m_frmChooseOutlookFolders4->ShowIt();
        list.reset();
        // No answer comes when the dialog is not showing: nothing waits.
        if (!complete || !m_frmChooseOutlookFolders4->Showing()) {
            pendingItem.reset();
        }
        step = 12;
        LogToEngine(procedure, "Complete: " + vb::BooleanText(complete));
    });
}

void CPlovanex::State::FoldersChosen(ostrevane::FolderListPtr& folderList) {
    const std::string procedure = "FoldersChosen";
    Trapped({common::Source(procedure)}, [&](long& step) {
        step = 14;
        if (!folderList) {
            // A show that failed: there is no decision.
            pendingItem.reset();
            return;
        }
        if (folderList->empty()) {
            LogToEngine(procedure, CountText(*folderList) + " (0 = cancel selected)");
            return;
        }
        auto record = folderList->front();
        LogToEngine(procedure, ChosenText(*folderList));
        step = 15;
        LogToEngine(procedure, "Outlook Folder: " + record->FolderName);
        step = 16;
        if (pendingItem) {
            step = 17;
            int moveWanted =
                vb::ToInteger(GetSetting(keys::MoveWanted, int{keys::MoveWantedDefault}));
            if (moveWanted != 0) {
                step = 19;
                if (auto folder = Engine().GetFolderFromIds(record->EntryID, record->StoreID)) {
                    pendingItem->SetSaveSentMessageFolder(folder);
                }
            } else {
                step = 18;
                pendingItem->SetBillingInformation(AppendCopySuffix(
                    pendingItem->BillingInformation(), record->EntryID, record->StoreID));
            }
            LogToEngine(procedure, "Sending email...");
            step = 20;
            LogToEngine(
                procedure,
                "Using Word: " + vb::BooleanText(UsingWordAsEditor(Application()->Version())));
            step = 21;
            auto item = pendingItem;
            item->Send();
        }
        step = 22;
        pendingItem.reset();
    });
}

bool CPlovanex::State::SendAndFileModal(outlook::ItemPtr& item, ChooserVariant variant,
                                        const std::string& procedure) {
    auto& kept = variant == ChooserVariant::WholeTree ? chooser2 : chooser3;
    // The question holds its chooser: a shutdown while the user decides
    // lets the class's reference go.
    std::shared_ptr<IChooseOutlookFolders> chooser;
    return Trapped(
        {common::Source(procedure)},
        [&](long& step) {
            int overrideSend = vb::ToInteger(
                GetSetting(keys::OverrideSendButton, int{keys::OverrideSendButtonDefault}));
            LogToEngine(procedure, "OverrideSendButton: " + vb::NumberText(overrideSend));
            if (overrideSend == 0) {
                return ProcessSentItem(item);
            }
            step = 3;
            auto list = std::make_shared<ostrevane::FolderList>();
            auto application = Application();
            if (!kept) {
                kept = CreateChooser(variant);
            }
            chooser = kept;
            Prepare(*chooser, application, list, Need(item));
            step = 10;
            bool ok = chooser->ShowIt();
            step = 12;
            if (ok) {
                auto chosen = chooser->folderList();
                step = 14;
                if (!chosen || chosen->empty()) {
                    LogToEngine(procedure, "IOFoldersCollection.Count: " +
                                               std::to_string(chosen ? chosen->size() : 0));
                } else {
                    auto record = chosen->front();
                    LogToEngine(procedure, ChosenText(*chosen));
                    step = 15;
                    auto folder = Engine().GetFolderFromIds(record->EntryID, record->StoreID);
                    LogToEngine(procedure, "Outlook Folder: " + Need(folder).Name());
                    step = 16;
                    item->SetSaveSentMessageFolder(folder);
                    step = 18;
                    item->Send();
                    step = 20;
                }
            } else {
                LogToEngine(procedure, "Complete: " + vb::BooleanText(false));
            }
            step = 30;
            chooser->HideIt();
            return false;
        },
        [&] {
            // A pick that cannot be filed (a folder gone meanwhile) must not
            // leave the dialog on screen.
            if (chooser) {
                chooser->HideIt();
            }
        });
}

bool CPlovanex::State::UsingWordAsEditor(const std::string& version) {
    int step = 0;
    bool result = false;
    ostrevane::RegistryHelper registry;
    try {
        step = 2;
        result = false;
        step = 4;
        std::int32_t status = 0;
        if (version.empty() || version[0] != '9') {
            status = registry.OpenKey(ostrevane::HKEY_CURRENT_USER,
                                      "Software\\Microsoft\\Office\\" + version.substr(0, 2) +
                                          ".0\\Outlook\\Options\\Mail",
                                      63);
            result = true;
        } else {
            status =
                registry.OpenKey(ostrevane::HKEY_CURRENT_USER,
                                 "Software\\Microsoft\\Office\\9.0\\Outlook\\Options\\Mail", 63);
        }
        step = 12;
        if (status == ostrevane::ERROR_SUCCESS) {
            step = 14;
            auto value = registry.ReadDWORD("EditorPreference", -2);
            step = 16;
            if (value != -2) {
                step = 18;
                result = (value % 2) != 0;
            }
        }
        step = 20;
        registry.CloseKey();
    } catch (const std::exception& e) {
        ReportError("Error occurred.  Failed to fetch mail format.  LastLineNumber: " +
                        std::to_string(step) + "; Reason: " + e.what(),
                    0, "UsingWordAsEditor");
    }
    return result;
}

}  // namespace plovanex
