#include "core/process_one_sent_item.h"

#include <cstdint>
#include <exception>
#include <string>

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "core/processor_state.h"
#include "core/rdo_lookup.h"
#include "platform/mirelink/mirelink.h"
#include "platform/ostrevane/string_list.h"
#include "platform/outlook/outlook.h"

namespace plovanex {

namespace keys = common::keys;

namespace {

constexpr char kSource[] = "ProcessOneSentItem";
constexpr int kSentItems = outlook::olFolderSentMail;

void Log(const std::string& text) {
    WriteLogLine(common::LogSource(kSource), text);
}

// Runs one statement whose error is to be skipped, keeping its description.
template <class Statement>
void Skipping(std::string& lastError, Statement statement) {
    try {
        statement();
    } catch (const std::exception& e) {
        lastError = e.what();
    }
}

}  // namespace

CProcessOneSentItem::CProcessOneSentItem() : state_(std::make_unique<State>()) {}

CProcessOneSentItem::~CProcessOneSentItem() {
    // A destructor must not throw: each release stands on its own.
    const auto quietly = [](auto call) {
        try {
            call();
        } catch (const std::exception&) {
        }
    };
    const auto unload = [&](IChooseOutlookFolders& form) {
        quietly([&] { form.Terminate(); });
        quietly([&] { form.Unload(); });
    };
    state_->rememberedItem.reset();
    if (auto form = std::move(state_->frmChooseOutlookFolders3)) {
        unload(*form);
    }
    if (auto form = std::move(state_->m_frmChooseOutlookFolders4)) {
        unload(*form);
        quietly([&] { form->SetFoldersChosenHandler(nullptr); });
    }
    state_->olApp.reset();
}

void CProcessOneSentItem::SetolApp(outlook::ApplicationPtr application) {
    state_->olApp = std::move(application);
}

bool CProcessOneSentItem::processOneSentItem(outlook::ItemPtr& olItem) {
    bool done = false;
    return Trapped({common::Source(kSource)}, [&](long& step) {
        std::int16_t order[keys::OrderCount];
        for (int n = 1; n <= keys::OrderCount; ++n) {
            order[n - 1] = vb::ToInteger(GetSetting(keys::Order(n), keys::OrderDefaultProcessor));
        }
        for (int n = 1; n <= keys::OrderCount; ++n) {
            step = 4;
            done = false;
            const int mode = order[n - 1];
            step = 6;
            Log("Index: " + std::to_string(n) + "; Process: " + std::to_string(mode) +
                "; (confirmation mode=" + std::to_string(keys::ModeConfirmation) + ")");
            if (mode == keys::ModeConfirmation) {
                done = ConfirmationMode(olItem, step);
            } else if (mode == keys::ModeKeyword) {
                step = 28;
                Log("Entering Keyword Mode");
                if (!done) {
                    done = ScanForKeywords(olItem);
                }
            } else if (mode == keys::ModeContact) {
                step = 30;
                Log("Entering Contacts Mode");
                if (!done) {
                    done = LookForContacts(olItem);
                }
            }
            if (done) {
                break;
            }
        }
        return done;
    });
}

bool CProcessOneSentItem::ConfirmationMode(outlook::ItemPtr& olItem, long& step) {
    auto& library = Library();
    step = 8;
    if (vb::ToBoolean(
            GetSetting(keys::PromptOutlookFolder, keys::PromptOutlookFolderDefaultProcessor))) {
        auto list = std::make_shared<ostrevane::FolderList>();
        // An open question keeps its own item: the answer files that one.
        if (!QuestionOpen()) {
            state_->rememberedItem = olItem;
        }
        std::string to = Need(olItem).To();
        std::string subject = olItem->Subject();
        bool multiple = false;
        auto application = state_->olApp;
        return PickOutlookFolders4(application, multiple, list, to, subject);
    }

    bool done = false;
    bool useSharedSent = false;
    outlook::FolderPtr sharedOutlookFolder;

    // Stage A: the shared mailbox the item was sent from.
    step = 1200;
    if (vb::ToInteger(GetSetting(keys::SharedDefaults, keys::SharedDefaultsDefaultProcessor)) !=
        0) {
        step = 1202;
        auto& application = Need(state_->olApp);
        auto session = mirelink::CreateSession();
        const std::string version = application.Version();
        StartSession(*session, version,
                     version.starts_with('9') ? nullptr : application.GetNamespace("MAPI"));
        auto defaultSent = session->GetDefaultFolder(kSentItems);
        step = 1204;
        auto safe = mirelink::CreateSafeMailItem();
        safe->SetItem(olItem);

        step = 1206;
        std::string lastError;
        mirelink::FolderPtr sharedSent;
        mirelink::AddressEntryPtr sender;
        Skipping(lastError, [&] { sender = safe->Sender(); });
        if (sender) {
            Skipping(lastError, [&] { Log("Sender: " + sender->Name()); });
            Skipping(lastError,
                     [&] { sharedSent = session->GetSharedDefaultFolder(sender, kSentItems); });
            if (!sharedSent) {
                Skipping(lastError, [&] { Log("SenderName: " + safe->SenderName()); });
                Skipping(lastError, [&] {
                    sharedSent = session->GetSharedDefaultFolder(safe->SenderName(), kSentItems);
                });
            }
            if (!sharedSent) {
                step = 1208;
                Skipping(lastError, [&] {
                    Log("SenderEmailAddress: " + safe->SenderEmailAddress() +
                        " (Note: Default email address => " +
                        Need(session->CurrentUser()).SMTPAddress() + ")");
                });
                Skipping(lastError, [&] {
                    sharedSent =
                        session->GetSharedDefaultFolder(safe->SenderEmailAddress(), kSentItems);
                });
            }
            if (!sharedSent) {
                Skipping(lastError, [&] { Log("Error: " + lastError); });
            }
        }

        step = 1210;
        if (!sharedSent) {
            Log("Associated sent items folder not found...continuing");
        } else if (Need(defaultSent).EntryID() != sharedSent->EntryID()) {
            step = 1212;
            sharedOutlookFolder =
                GetOutlookFolderFromID(sharedSent->EntryID(), sharedSent->StoreID());
            if (sharedOutlookFolder) {
                step = 1214;
                useSharedSent = true;
            }
        } else {
            Log("This item was sent from the default account...");
        }
    }

    // Stage B: the account overrides, in turn.
    for (int n = 1; n <= keys::FromAccountCount && !done; ++n) {
        step = n * 10 + 2;
        const std::string account = GetSetting(keys::FromAccount(n), keys::FromAccountDefault);
        if (ProcessOverrides(account, olItem)) {
            step = n * 10 + 4;
            std::string entryId =
                GetSetting(keys::FromOutlookFolderEntryId(n), keys::FromAccountDefault);
            std::string storeId =
                GetSetting(keys::FromOutlookFolderStoreId(n), keys::FromAccountDefault);
            std::string who = "From Account " + std::to_string(n);
            MoveIt(olItem, entryId, storeId, who);
            done = true;
        }
    }

    // Stage C: the sending account's own Sent Items.
    if (!done && useSharedSent) {
        step = 62;
        std::string entryId = sharedOutlookFolder->EntryID();
        std::string storeId = sharedOutlookFolder->StoreID();
        step = 64;
        std::string who = "Default Sent From Account";
        MoveIt(olItem, entryId, storeId, who);
        done = true;
    }
    sharedOutlookFolder.reset();

    // Stage D: the user's default folder, unless that is Sent Items itself.
    if (!done) {
        step = 72;
        const std::string name = GetSetting(keys::MoveToFolderName, keys::MoveToFolderDefault);
        std::string entryId = GetSetting(keys::MoveToFolderEntryId, keys::MoveToFolderDefault);
        std::string storeId = GetSetting(keys::MoveToFolderStoreId, keys::MoveToFolderDefault);
        if (!name.empty() &&
            (entryId != library.sentItemsEntryId || storeId != library.sentItemsStoreId)) {
            step = 74;
            std::string who = "User's Default Folder";
            MoveIt(olItem, entryId, storeId, who);
            done = true;
        }
    }
    return done;
}

bool CProcessOneSentItem::ProcessOverrides(const std::string& account, outlook::ItemPtr& olItem) {
    return Trapped({common::Source("ProcessOverrides"), 0}, [&](long& step) {
        if (account.empty()) {
            return false;
        }
        // The type name of nothing ("Nothing") is neither.
        const std::string typeName = olItem ? olItem->TypeName() : "Nothing";
        if (typeName != "MeetingItem" && typeName != "MailItem") {
            return false;
        }
        step = 120;
        ostrevane::StringList pieces;
        pieces.SetText(account);
        pieces.SetDelimiter(";");
        auto safe = mirelink::CreateSafeMailItem();
        safe->SetItem(olItem);
        const int count = pieces.Count();
        const auto& helper = Helper();
        const auto compare = [&](const std::string& value, int i) {
            WriteLogLine(common::LogSource("ProcessSentItem"),
                         "Confirmation Mode: Comparing " + value + " and " + pieces.Item(i));
            return helper.TextMatches(value, pieces.Item(i));
        };
        for (int i = 1; i <= count; ++i) {
            step = 122;
            bool match = compare(safe->SenderEmailAddress(), i);
            step = 124;
            if (!match) {
                match = compare(safe->SenderName(), i);
            }
            step = 126;
            if (!match && typeName == "MailItem") {
                match = compare(safe->SentOnBehalfOfName(), i);
            }
            step = 128;
            if (!match) {
                if (auto sender = safe->Sender()) {
                    match = compare(sender->smtpAddress(), i);
                }
            }
            step = 130;
            if (match) {
                return true;
            }
        }
        return false;
    });
}

bool CProcessOneSentItem::MoveIt(outlook::ItemPtr& olItem, std::string& olToFolderEntryId,
                                 std::string& olToFolderStoreId, std::string& whoMovedIt) {
    constexpr char kMoveIt[] = "MoveIt";
    long step = 0;
    try {
        step = 2;
        auto& application = Need(state_->olApp);
        auto nameSpace = application.GetNamespace("MAPI");
        auto session = mirelink::CreateSession();
        step = 4;
        StartSession(*session, application.Version(), nameSpace);
        step = 6;
        const std::string itemEntryId = Need(olItem).EntryID();
        const std::string itemStoreId = Need(olItem->Parent()).StoreID();
        auto message = GetRDOMessageFromID(session, itemEntryId, itemStoreId);
        if (!message) {
            WriteLogLine(common::LogSource(kMoveIt),
                         "Error occurred: Could not fetch the RDO Mail Item");
            return false;
        }
        step = 8;
        auto folder = GetRDOObjectFromIds(session, olToFolderEntryId, olToFolderStoreId);
        if (!folder) {
            WriteLogLine(common::LogSource(kMoveIt),
                         "Error occurred: Could not fetch the RDO 'Move To' folder");
            return false;
        }
        // The name is read before filing, so a failure to read it files nothing.
        const std::string folderName = folder->Name();
        // An item already in the folder stays as it is: a move would do
        // nothing and a copy would make a duplicate (and, in Sent Items,
        // another item event).
        auto holder = message->Parent();
        if (holder && holder->EntryID() == folder->EntryID() &&
            holder->StoreID() == folder->StoreID()) {
            WriteLogLine(common::LogSource(kMoveIt),
                         "Kept Item in " + folderName + " by " + whoMovedIt);
            return true;
        }
        step = 10;
        const OwnFiling own;
        if (vb::ToInteger(GetSetting(keys::MoveWanted, keys::MoveWantedDefault)) != 0) {
            step = 11;
            message->Move(folder);
            WriteLogLine(common::LogSource(kMoveIt),
                         "Moved Item to " + folderName + " by " + whoMovedIt);
        } else {
            step = 13;
            message->CopyTo(folder);
            WriteLogLine(common::LogSource(kMoveIt),
                         "Copied Item to " + folderName + " by " + whoMovedIt);
        }
        return true;
    } catch (const std::exception& e) {
        ReportError(common::ErrorAtLine(step, e.what()), 1, common::Source(kMoveIt));
        ReportError("Error information: " + whoMovedIt, 1, common::Source(kMoveIt));
        return false;
    }
}

outlook::FolderPtr CProcessOneSentItem::GetOutlookFolderFromID(const std::string& entryId,
                                                               const std::string& storeId) {
    outlook::FolderPtr folder;
    try {
        auto nameSpace = Need(state_->olApp).GetNamespace("MAPI");
        try {
            folder = nameSpace->GetFolderFromID(entryId);
        } catch (const std::exception&) {
            folder.reset();
        }
        if (!folder) {
            folder = nameSpace->GetFolderFromID(entryId, storeId);
        }
    } catch (const std::exception&) {
        folder.reset();
    }
    return folder;
}

}  // namespace plovanex
