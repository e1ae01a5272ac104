// TEMPORARY: a small stand-in for the processor until its own implementation
// lands (core/CMakeLists.txt then drops this file). It files by the account
// overrides and the default folder only, and moves or copies as MoveIt does.

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "core/process_one_sent_item.h"
#include "platform/mirelink/mirelink.h"
#include "platform/ostrevane/string_list.h"
#include "platform/outlook/outlook.h"

namespace plovanex {

namespace keys = common::keys;

struct CProcessOneSentItem::State {
    outlook::ApplicationPtr olApp;
};

CProcessOneSentItem::CProcessOneSentItem() : state_(std::make_unique<State>()) {}
CProcessOneSentItem::~CProcessOneSentItem() = default;

void CProcessOneSentItem::SetolApp(outlook::ApplicationPtr application) {
    state_->olApp = std::move(application);
}

namespace {

mirelink::SessionPtr OpenSession(const outlook::ApplicationPtr& app) {
    auto session = mirelink::CreateSession();
    if (!app->Version().empty() && app->Version()[0] == '9') {
        session->Logon();
    } else {
        session->SetMAPIOBJECT(app->GetNamespace("MAPI")->MAPIOBJECT());
    }
    return session;
}

bool SenderMatches(const outlook::ItemPtr& item, const std::string& account) {
    auto type = item->TypeName();
    if (account.empty() || (type != "MeetingItem" && type != "MailItem")) {
        return false;
    }
    ostrevane::StringList list;
    list.SetText(account);
    list.SetDelimiter(";");
    auto safe = mirelink::CreateSafeMailItem();
    safe->SetItem(item);
    auto& helper = Helper();
    for (int i = 1; i <= list.Count(); ++i) {
        auto token = list.Item(i);
        if (helper.TextMatches(safe->SenderEmailAddress(), token) ||
            helper.TextMatches(safe->SenderName(), token)) {
            return true;
        }
        if (auto sender = safe->Sender();
            sender && helper.TextMatches(sender->smtpAddress(), token)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool CProcessOneSentItem::processOneSentItem(outlook::ItemPtr& olItem) {
    try {
        int order[keys::OrderCount];
        for (int n = 1; n <= keys::OrderCount; ++n) {
            order[n - 1] =
                vb::ToInteger(GetSetting(keys::Order(n), int{keys::OrderDefaultProcessor}));
        }
        for (int mode : order) {
            if (mode != keys::ModeConfirmation ||
                vb::ToBoolean(GetSetting(keys::PromptOutlookFolder, false))) {
                continue;
            }
            for (int n = 1; n <= keys::FromAccountCount; ++n) {
                if (SenderMatches(olItem, GetSetting(keys::FromAccount(n), ""))) {
                    auto entry = GetSetting(keys::FromOutlookFolderEntryId(n), "");
                    auto store = GetSetting(keys::FromOutlookFolderStoreId(n), "");
                    std::string who = "From Account " + std::to_string(n);
                    MoveIt(olItem, entry, store, who);
                    return true;
                }
            }
            auto name = GetSetting(keys::MoveToFolderName, "");
            auto entry = GetSetting(keys::MoveToFolderEntryId, "");
            auto store = GetSetting(keys::MoveToFolderStoreId, "");
            const auto& values = Library();
            if (!name.empty() &&
                (entry != values.sentItemsEntryId || store != values.sentItemsStoreId)) {
                std::string who = "User's Default Folder";
                MoveIt(olItem, entry, store, who);
                return true;
            }
        }
        return false;
    } catch (const std::exception& e) {
        ReportError(common::ErrorAtLine(0, e.what()), 1, common::Source("ProcessOneSentItem"));
        return false;
    }
}

bool CProcessOneSentItem::MoveIt(outlook::ItemPtr& olItem, std::string& olToFolderEntryId,
                                 std::string& olToFolderStoreId, std::string& whoMovedIt) {
    try {
        auto session = OpenSession(state_->olApp);
        mirelink::MailPtr message;
        auto parent = olItem->Parent();
        for (const auto& storeId : {std::string(), parent ? parent->StoreID() : std::string()}) {
            try {
                message = message ? message : session->GetMessageFromID(olItem->EntryID(), storeId);
            } catch (...) {
            }
        }
        if (!message) {
            WriteLogLine("MoveIt", "Error occurred: Could not fetch the RDO Mail Item");
            return false;
        }
        mirelink::FolderPtr folder;
        for (const auto& storeId : {std::string(), olToFolderStoreId}) {
            try {
                folder = folder ? folder : session->GetFolderFromID(olToFolderEntryId, storeId);
            } catch (...) {
            }
        }
        if (!folder) {
            WriteLogLine("MoveIt", "Error occurred: Could not fetch the RDO 'Move To' folder");
            return false;
        }
        if (vb::ToInteger(GetSetting(keys::MoveWanted, int{keys::MoveWantedDefault})) != 0) {
            message->Move(folder);
            WriteLogLine("MoveIt", "Moved Item to " + folder->Name() + " by " + whoMovedIt);
        } else {
            message->CopyTo(folder);
            WriteLogLine("MoveIt", "Copied Item to " + folder->Name() + " by " + whoMovedIt);
        }
        return true;
    } catch (const std::exception& e) {
        ReportError(common::ErrorAtLine(0, e.what()), 1, common::Source("MoveIt"));
        return false;
    }
}

bool CProcessOneSentItem::PickOutlookFolders4(outlook::ApplicationPtr&, bool&,
                                              ostrevane::FolderListPtr&, std::string&,
                                              std::string&) {
    return false;
}

bool CProcessOneSentItem::PickOutlookFolders3(outlook::ApplicationPtr&, bool&,
                                              ostrevane::FolderListPtr&, std::string&,
                                              std::string&) {
    return false;
}

void CProcessOneSentItem::ProcessQueuedItems() {}

}  // namespace plovanex
