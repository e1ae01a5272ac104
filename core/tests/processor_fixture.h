#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/globals.h"
#include "core/process_one_sent_item.h"
#include "core/tests/scripted_chooser.h"
#include "platform/mailstore/profile.h"
#include "platform/mirelink/mirelink.h"
#include "platform/outlook/outlook.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/testkit.h"

namespace processor_test {

inline const std::string kSent = "\\\\Personal Folders\\Sent Items";
inline const std::string kAcme = "\\\\Personal Folders\\Clients\\Acme";
inline const std::string kGlobex = "\\\\Personal Folders\\Clients\\Globex";
inline const std::string kTeamSent = "\\\\Mailbox - Team Desk\\Sent Items";
inline const std::string kTeamInbox = "\\\\Mailbox - Team Desk\\Inbox";
// A mailbox of the profile that has no Sent Items of its own.
inline const std::string kNightInbox = "\\\\Mailbox - Night Desk\\Inbox";

struct Ids {
    std::string entryId;
    std::string storeId;
};

using Settings = std::vector<std::pair<std::string, std::string>>;

// The demo profile with one more mailbox, the mail client over it, a
// scripted chooser factory and a processor whose library values say where
// Sent Items is, as the add-in class leaves them.
class ProcessorTest : public testkit::HomeTest {
  protected:
    testkit::ProfileBuilder kit;
    outlook::ApplicationPtr app;
    outlook::NameSpacePtr ns;
    testkit::ScriptedChooserFactory choosers;
    std::unique_ptr<plovanex::CProcessOneSentItem> processor;

    void SetUp() override {
        kit.Demo()
            .Store("Mailbox - Night Desk", "Night Desk", "night@example.com",
                   mailstore::StoreKind::Mailbox)
            .Folder(kNightInbox, 0, mailstore::role::kInbox);
        Open("11.0.8217");
    }

    void TearDown() override {
        processor.reset();
        plovanex::Library() = {};
        mirelink::SetLibraryWithdrawn(false);
    }

    // The mail client of that version and a new processor on it.
    void Open(const std::string& version) {
        processor.reset();
        app = outlook::CreateApplication(kit.Profile(), version);
        ns = app->GetNamespace("MAPI");
        auto sent = IdsOf(kSent);
        plovanex::Library() = {};
        plovanex::Library().sentItemsEntryId = sent.entryId;
        plovanex::Library().sentItemsStoreId = sent.storeId;
        plovanex::Library().sentItemsName = "Sent Items";
        processor = std::make_unique<plovanex::CProcessOneSentItem>();
        processor->SetolApp(app);
    }

    Ids IdsOf(const std::string& path) {
        auto id = kit.FolderId(path);
        auto& profile = *kit.Profile();
        auto row = profile.Folder(id);
        return {row.entryId, profile.Store(row.storeId).entryId};
    }

    outlook::FolderPtr Folder(const std::string& path) {
        auto ids = IdsOf(path);
        return ns->GetFolderFromID(ids.entryId, ids.storeId);
    }

    // A mail to the project lead, sent from that mailbox ("" the user's own).
    outlook::ItemPtr Send(const std::string& subject, const std::string& from = "") {
        auto item = app->CreateItem(outlook::olMailItem);
        item->SetTo("lead@example.com");
        item->SetSubject(subject);
        item->SetSendUsingAccount(from);
        item->Send();
        return item;
    }

    std::string MessageId(const outlook::ItemPtr& item) {
        auto& profile = *kit.Profile();
        auto id = profile.ItemByEntryId(item->EntryID(), item->Parent()->StoreID());
        return id ? profile.Item(*id).internetMessageId : "";
    }

    // The paths of the folders that hold the message, sorted.
    std::vector<std::string> Holders(const std::string& messageId) {
        std::vector<std::string> paths;
        for (auto folder : testkit::FoldersHolding(*kit.Profile(), messageId)) {
            paths.push_back(kit.Profile()->FolderPath(folder));
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    void Apply(const Settings& settings) {
        for (const auto& [key, value] : settings) {
            plovanex::SaveSetting(key, value);
        }
    }

    bool Process(outlook::ItemPtr item) { return processor->processOneSentItem(item); }

    std::vector<std::string> Texts() { return home.Capture().Texts(); }
    std::vector<ostrevane::Report> Reports() { return home.Capture().Reports(); }
    void Clear() { home.Capture().Clear(); }
};

inline std::string Step(int index, int mode) {
    return "Index: " + std::to_string(index) + "; Process: " + std::to_string(mode) +
           "; (confirmation mode=1)";
}

inline ostrevane::Report Report(const std::string& message, int code, const std::string& source) {
    return {message, code, source};
}

}  // namespace processor_test
