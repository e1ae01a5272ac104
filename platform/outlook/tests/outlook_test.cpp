#include "platform/outlook/outlook.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/outlook/date_text.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/testkit.h"

namespace {

using ::testing::HasSubstr;

class OutlookTest : public testkit::HomeTest {
  protected:
    testkit::ProfileBuilder kit;
    outlook::ApplicationPtr app;
    outlook::NameSpacePtr ns;

    void SetUp() override {
        kit.Demo();
        app = outlook::CreateApplication(kit.Profile(), "11.0.8217");
        ns = app->GetNamespace("MAPI");
    }

    outlook::FolderPtr At(const std::string& path) {
        outlook::FolderPtr f;
        auto previous = outlook::InstallPickFolderHook(outlook::PickFolderAt(path));
        f = ns->PickFolder();
        outlook::InstallPickFolderHook(previous);
        return f;
    }

    outlook::ItemPtr Compose(const std::string& to, const std::string& subject) {
        auto item = app->CreateItem(outlook::olMailItem);
        item->SetTo(to);
        item->SetSubject(subject);
        return item;
    }
};

TEST_F(OutlookTest, TreeParentsClassesAndPaths) {
    EXPECT_EQ(app->Class(), 0);
    EXPECT_EQ(ns->Class(), 1);
    EXPECT_EQ(ns->TypeName(), "NameSpace");
    auto stores = ns->Folders();
    ASSERT_EQ(stores->Count(), 3);
    auto personal = stores->Item(1);
    EXPECT_EQ(personal->Name(), "Personal Folders");
    EXPECT_EQ(personal->Parent()->Class(), outlook::olNamespace);
    EXPECT_EQ(personal->FolderPath(), "\\\\Personal Folders");

    auto acme = personal->Folders()->Item("clients")->Folders()->Item("Acme");
    EXPECT_EQ(acme->Class(), 2);
    EXPECT_EQ(acme->TypeName(), "MAPIFolder");
    EXPECT_EQ(acme->FolderPath(), "\\\\Personal Folders\\Clients\\Acme");
    auto parent = std::dynamic_pointer_cast<outlook::MAPIFolder>(acme->Parent());
    ASSERT_TRUE(parent);
    EXPECT_EQ(parent->Name(), "Clients");
    EXPECT_EQ(acme->StoreID(), personal->StoreID());
    EXPECT_NE(acme->StoreID(), stores->Item(2)->StoreID());
    EXPECT_THROW(stores->Item(4), platform::Error);
    EXPECT_THROW(stores->Item(0), platform::Error);
    EXPECT_THROW(app->GetNamespace("Other"), platform::Error);
}

TEST_F(OutlookTest, DefaultFolders) {
    struct Case {
        int number;
        std::string path;
        int itemType;
    };
    const Case cases[] = {
        {3, "\\\\Personal Folders\\Deleted Items", 0},
        {5, "\\\\Personal Folders\\Sent Items", 0},
        {6, "\\\\Personal Folders\\Inbox", 0},
        {9, "\\\\Personal Folders\\Calendar", 1},
        {10, "\\\\Personal Folders\\Contacts", 2},
        {13, "\\\\Personal Folders\\Tasks", 3},
        {16, "\\\\Personal Folders\\Drafts", 0},
        {18, "\\\\Public Folders\\All Public Folders", 6},
        {23, "\\\\Personal Folders\\Junk E-mail", 0},
    };
    for (const auto& c : cases) {
        auto f = ns->GetDefaultFolder(c.number);
        EXPECT_EQ(f->FolderPath(), c.path) << c.number;
        EXPECT_EQ(f->DefaultItemType(), c.itemType) << c.number;
    }
    EXPECT_THROW(ns->GetDefaultFolder(99), platform::Error);
}

TEST_F(OutlookTest, LookupsByOneIdAndByTwo) {
    auto inbox = ns->GetDefaultFolder(6);
    EXPECT_EQ(ns->GetFolderFromID(inbox->EntryID())->FolderPath(), inbox->FolderPath());
    auto teamSent = At("\\\\Mailbox - Team Desk\\Sent Items");
    EXPECT_THROW(ns->GetFolderFromID(teamSent->EntryID()), platform::Error);
    EXPECT_EQ(ns->GetFolderFromID(teamSent->EntryID(), teamSent->StoreID())->FolderPath(),
              "\\\\Mailbox - Team Desk\\Sent Items");
    EXPECT_THROW(ns->GetFolderFromID("00AB"), platform::Error);

    kit.Add("\\\\Mailbox - Team Desk\\Inbox", {.subject = "shared"});
    auto item = At("\\\\Mailbox - Team Desk\\Inbox")->Items()->Item(1);
    EXPECT_THROW(ns->GetItemFromID(item->EntryID()), platform::Error);
    EXPECT_EQ(ns->GetItemFromID(item->EntryID(), teamSent->StoreID())->Subject(), "shared");
}

TEST_F(OutlookTest, SendSavesInSentItemsOrTheNamedFolder) {
    auto sent = ns->GetDefaultFolder(5);
    auto acme = At("\\\\Personal Folders\\Clients\\Acme");
    std::vector<std::string> heard;
    auto s1 = sent->OnItemAdd([&](outlook::ItemPtr i) { heard.push_back("sent:" + i->Subject()); });
    auto s2 = acme->OnItemAdd([&](outlook::ItemPtr i) { heard.push_back("acme:" + i->Subject()); });

    auto plain = Compose("lead@example.com; stranger@else.example", "plain");
    EXPECT_FALSE(plain->Sent());
    EXPECT_EQ(plain->SentOn(), "1/1/4501");
    EXPECT_EQ(plain->SaveSentMessageFolder(), nullptr);
    EXPECT_EQ(plain->SaveSentMessageFolderText(), "");
    // Unsent, it waits in Drafts.
    EXPECT_EQ(plain->Parent()->FolderPath(), "\\\\Personal Folders\\Drafts");
    EXPECT_EQ(plain->To(), "Project Lead; stranger@else.example");
    plain->Send();
    EXPECT_TRUE(plain->Sent());
    EXPECT_NE(plain->SentOn(), "1/1/4501");
    EXPECT_EQ(plain->Parent()->FolderPath(), sent->FolderPath());
    EXPECT_EQ(plain->SenderName(), "Demo User");
    EXPECT_EQ(plain->SenderEmailAddress(), "/o=Example/ou=Site/cn=Recipients/cn=user");
    EXPECT_THROW(plain->Send(), platform::Error);

    auto filed = Compose("contact@acme.example", "filed");
    filed->SetSaveSentMessageFolder(acme);
    EXPECT_EQ(filed->SaveSentMessageFolderText(), "Acme");
    filed->Send();
    EXPECT_EQ(filed->Parent()->FolderPath(), acme->FolderPath());
    EXPECT_EQ(heard, (std::vector<std::string>{"sent:plain", "acme:filed"}));

    // Sent from the shared mailbox, the mail still lands in the default
    // store's Sent Items, with the mailbox as its sender.
    auto shared = Compose("lead@example.com", "shared");
    shared->SetSendUsingAccount("team@example.com");
    shared->Send();
    EXPECT_EQ(shared->Parent()->FolderPath(), sent->FolderPath());
    EXPECT_EQ(shared->SenderName(), "Team Desk");
    EXPECT_THROW(shared->SetSendUsingAccount("nobody@example.com"), platform::Error);

    // A send that fails leaves the mail in Drafts.
    auto none = app->CreateItem(outlook::olMailItem);
    EXPECT_THROW(none->Send(), platform::Error);
    EXPECT_FALSE(none->Sent());
    EXPECT_EQ(none->Parent()->FolderPath(), "\\\\Personal Folders\\Drafts");
}

// A name that is neither in the address book nor an e-mail address stops
// Send with the client's error, and the item's window stays open.
TEST_F(OutlookTest, SendRefusesNamesItCannotResolve) {
    const struct {
        const char* to;
        bool resolved;
    } cases[] = {
        {"Project Lead", true},
        {"lead@example.com", true},
        {"stranger@else.example", true},
        {"bob", false},
        {"Bob Smith", false},
        {"a@b@c.example", false},
        {"@else.example", false},
        {"/o=Other/cn=Recipients/cn=x", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to);
        auto item = Compose(std::string("lead@example.com; ") + c.to, "names");
        EXPECT_EQ(item->Recipients()->Item(2)->Resolved(), c.resolved);
        auto inspector = item->Display();
        int closed = 0;
        auto onClose = inspector->OnClose([&] { ++closed; });
        if (c.resolved) {
            EXPECT_NO_THROW(outlook::CheckNames(*item));
            item->Send();
            EXPECT_EQ(closed, 1);
            continue;
        }
        try {
            item->Send();
            ADD_FAILURE() << "sent";
        } catch (const platform::Error& e) {
            EXPECT_THAT(e.what(), HasSubstr(std::string("'") + c.to + "' is not recognised"));
        }
        EXPECT_FALSE(item->Sent());
        EXPECT_EQ(closed, 0);
        EXPECT_EQ(app->ActiveInspector(), inspector);
        EXPECT_THROW(outlook::CheckNames(*item), platform::Error);
        inspector->Close();
    }
}

TEST_F(OutlookTest, ItemTypesAndTheMembersTheyLack) {
    struct Case {
        int itemClass;
        std::string typeName;
        bool hasSent, hasTo;
    };
    const Case cases[] = {
        {43, "MailItem", true, true},      {53, "MeetingItem", true, true},
        {46, "ReportItem", true, false},   {45, "PostItem", true, false},
        {40, "ContactItem", false, false}, {26, "AppointmentItem", false, false},
        {48, "TaskItem", false, false},
    };
    for (const auto& c : cases) {
        kit.Add("\\\\Personal Folders\\Inbox", {.subject = c.typeName, .itemClass = c.itemClass});
    }
    auto items = ns->GetDefaultFolder(6)->Items();
    ASSERT_EQ(items->Count(), 7);
    for (int i = 0; i < 7; ++i) {
        const auto& c = cases[i];
        auto item = items->Item(i + 1);
        EXPECT_EQ(item->Class(), c.itemClass);
        EXPECT_EQ(item->TypeName(), c.typeName);
        EXPECT_EQ(item->Subject(), c.typeName);
        EXPECT_FALSE(item->MessageClass().empty());
        if (c.hasSent) {
            EXPECT_TRUE(item->Sent()) << c.typeName;
        } else {
            EXPECT_THROW(item->Sent(), platform::Error) << c.typeName;
        }
        if (c.hasTo) {
            EXPECT_NO_THROW(item->To()) << c.typeName;
            EXPECT_NO_THROW(item->SaveSentMessageFolderText()) << c.typeName;
        } else {
            EXPECT_THROW(item->To(), platform::Error) << c.typeName;
            EXPECT_THROW(item->SaveSentMessageFolderText(), platform::Error) << c.typeName;
        }
    }
    EXPECT_THROW(items->Item(8), platform::Error);
}

TEST_F(OutlookTest, ItemsAreLiveAndPropertiesNamed) {
    auto inbox = ns->GetDefaultFolder(6);
    auto items = inbox->Items();
    EXPECT_EQ(items->Count(), 0);
    kit.Add("\\\\Personal Folders\\Inbox",
            {.subject = "one", .to = "team@example.com", .properties = {{"NTLoginName", "jdoe"}}});
    ASSERT_EQ(items->Count(), 1);
    auto item = items->Item(1);
    EXPECT_EQ(item->ItemProperties()->Item("ntloginname")->Value(), "jdoe");
    EXPECT_EQ(item->ItemProperties()->Item("Missing"), nullptr);
    auto r = item->Recipients()->Item(1);
    EXPECT_EQ(r->Name(), "Team Desk");
    EXPECT_EQ(r->Type(), outlook::olTo);
    EXPECT_EQ(r->AddressEntry()->Type(), "EX");
    item->SetBillingInformation("x:1:2");
    EXPECT_EQ(items->Item(1)->BillingInformation(), "x:1:2");
}

TEST_F(OutlookTest, NewFolderTakesTheParentsItemType) {
    auto contacts = ns->GetDefaultFolder(10);
    auto added = contacts->Folders()->Add("Suppliers");
    EXPECT_EQ(added->DefaultItemType(), 2);
    EXPECT_EQ(added->FolderPath(), "\\\\Personal Folders\\Contacts\\Suppliers");
    EXPECT_THROW(contacts->Folders()->Add("suppliers"), platform::Error);
    EXPECT_THROW(ns->Folders()->Add("Store"), platform::Error);
}

TEST_F(OutlookTest, InspectorsExplorersAndPickFolder) {
    EXPECT_EQ(app->ActiveInspector(), nullptr);
    auto explorer = app->OpenExplorer(ns->GetDefaultFolder(6));
    EXPECT_EQ(app->ActiveExplorer(), explorer);
    EXPECT_EQ(explorer->CurrentFolder()->Name(), "Inbox");
    auto item = Compose("lead@example.com", "x");
    auto inspector = item->Display();
    EXPECT_EQ(app->ActiveInspector(), inspector);
    EXPECT_EQ(app->ActiveInspector()->CurrentItem()->Subject(), "x");
    auto other = Compose("lead@example.com", "y")->Display();
    EXPECT_EQ(app->ActiveInspector(), other);
    inspector->Activate();
    EXPECT_EQ(app->ActiveInspector(), inspector);

    // Close handlers run once, when the item has gone; a dropped
    // subscription runs nothing.
    int closed = 0, dropped = 0;
    auto onClose = inspector->OnClose([&] { ++closed; });
    inspector->OnClose([&] { ++dropped; });
    item->Send();
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(dropped, 0);
    EXPECT_EQ(app->ActiveInspector(), other);
    inspector->Close();
    EXPECT_EQ(closed, 1);
    auto onOther = other->OnClose([&] { ++closed; });
    other->Close();
    other->Close();
    EXPECT_EQ(closed, 2);
    EXPECT_EQ(app->ActiveInspector(), nullptr);

    explorer->SetCurrentFolder(ns->GetDefaultFolder(5));
    EXPECT_EQ(explorer->CurrentFolder()->Name(), "Sent Items");
    explorer->Close();
    EXPECT_EQ(app->ActiveExplorer(), nullptr);

    auto previous = outlook::InstallPickFolderHook(nullptr);
    EXPECT_THROW(ns->PickFolder(), platform::Error);
    outlook::InstallPickFolderHook(outlook::PickFolderAt(""));
    EXPECT_EQ(ns->PickFolder(), nullptr);
    outlook::InstallPickFolderHook(previous);
    app->SetVersion("9.0.0.3821");
    EXPECT_EQ(app->Version(), "9.0.0.3821");
}

TEST(DateText, AsTheLanguageShowsIt) {
    EXPECT_EQ(outlook::DateText("2026-03-15T14:05:07"), "3/15/2026 2:05:07 PM");
    EXPECT_EQ(outlook::DateText("2026-01-02T00:00:09"), "1/2/2026 12:00:09 AM");
    EXPECT_EQ(outlook::DateText(""), "1/1/4501");
}

}  // namespace
