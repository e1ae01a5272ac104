#include "platform/mirelink/mirelink.h"
#include "platform/ostrevane/smtp_address_helper.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "platform/error.h"
#include "platform/outlook/outlook.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/testkit.h"

namespace {

using ::testing::HasSubstr;

const std::string kFolderQuery =
    "SELECT FullName, EntryID, \"http://schemas.microsoft.com/mapi/proptag/0x0FFB0102\" As "
    "StoreId, \"http://schemas.microsoft.com/mapi/proptag/0x66380003\" As ChildCount FROM Folders";

class MirelinkTest : public testkit::HomeTest {
  protected:
    testkit::ProfileBuilder kit;
    outlook::ApplicationPtr app;
    outlook::NameSpacePtr ns;
    mirelink::SessionPtr session;

    void SetUp() override {
        kit.Demo();
        app = outlook::CreateApplication(kit.Profile(), "11.0.8217");
        ns = app->GetNamespace("MAPI");
        session = std::dynamic_pointer_cast<mirelink::KVRDOSession>(
            mirelink::CreateObject("Mirelink.KVRDOSession"));
        ASSERT_TRUE(session);
        session->SetMAPIOBJECT(ns->MAPIOBJECT());
    }

    outlook::ItemPtr SendMail(const std::string& to, const std::string& subject,
                              const std::string& from = "") {
        auto item = app->CreateItem(outlook::olMailItem);
        item->SetTo(to);
        item->SetSubject(subject);
        item->SetSendUsingAccount(from);
        item->Send();
        return item;
    }
};

// Walks every folder of the mail client's tree and finds it through the MAPI
// library by its two ids.
TEST_F(MirelinkTest, BothViewsAgreeOnIdsPathsParentsAndClasses) {
    int seen = 0;
    std::function<void(outlook::FolderPtr)> walk = [&](outlook::FolderPtr f) {
        ++seen;
        auto r = session->GetFolderFromID(f->EntryID(), f->StoreID());
        EXPECT_EQ(r->Name(), f->Name());
        EXPECT_EQ(r->EntryID(), f->EntryID());
        EXPECT_EQ(r->StoreID(), f->StoreID());
        EXPECT_EQ(r->FolderPath(), f->FolderPath());
        EXPECT_EQ(r->DefaultItemType(), f->DefaultItemType());
        EXPECT_EQ(r->Class(), f->Class());
        auto parent = std::dynamic_pointer_cast<outlook::MAPIFolder>(f->Parent());
        if (parent) {
            ASSERT_TRUE(r->Parent());
            EXPECT_EQ(r->Parent()->EntryID(), parent->EntryID());
            EXPECT_NE(r->FolderKind(), mirelink::kRootFolder);
        } else {
            EXPECT_EQ(f->Parent()->Class(), outlook::olNamespace);
            EXPECT_EQ(r->Parent(), nullptr);
            EXPECT_EQ(r->FolderKind(), mirelink::kRootFolder);
        }
        auto subs = f->Folders();
        ASSERT_EQ(r->Folders()->Count(), subs->Count());
        for (int i = 1; i <= subs->Count(); ++i) {
            EXPECT_EQ(r->Folders()->Item(i)->EntryID(), subs->Item(i)->EntryID());
            walk(subs->Item(i));
        }
    };
    auto stores = session->Stores();
    ASSERT_EQ(stores->Count(), ns->Folders()->Count());
    for (int i = 1; i <= stores->Count(); ++i) {
        auto top = ns->Folders()->Item(i);
        EXPECT_EQ(stores->Item(i)->Name(), top->Name());
        EXPECT_EQ(stores->Item(i)->EntryID(), top->StoreID());
        EXPECT_EQ(stores->Item(i)->RootFolder()->EntryID(), top->EntryID());
        walk(top);
    }
    EXPECT_EQ(seen, 29);
    EXPECT_TRUE(stores->Item(1)->Default());
    EXPECT_EQ(stores->DefaultStore()->Name(), "Personal Folders");
}

TEST_F(MirelinkTest, LookupsByOneIdAndByTwo) {
    auto teamSent = session->GetFolderFromPath("\\\\Mailbox - Team Desk\\Sent Items");
    EXPECT_THROW(session->GetFolderFromID(teamSent->EntryID()), platform::Error);
    EXPECT_EQ(session->GetFolderFromID(teamSent->EntryID(), teamSent->StoreID())->Name(),
              "Sent Items");
    EXPECT_EQ(session->GetDefaultFolder(5)->FolderPath(), "\\\\Personal Folders\\Sent Items");
    EXPECT_EQ(session->GetDefaultFolder(18)->FolderPath(),
              "\\\\Public Folders\\All Public Folders");
    EXPECT_THROW(session->GetDefaultFolder(77), platform::Error);
    EXPECT_EQ(session->GetFolderFromPath("\\\\Personal Folders\\Unread Mail")->FolderKind(),
              mirelink::kSearchFolder);
    EXPECT_EQ(session->GetFolderFromPath("\\\\Personal Folders\\Clients")->FolderKind(),
              mirelink::kGenericFolder);
    EXPECT_THROW(session->GetFolderFromPath("\\\\Personal Folders\\Nope"), platform::Error);

    kit.Add("\\\\Mailbox - Team Desk\\Inbox", {.subject = "in team"});
    auto item =
        ns->GetFolderFromID(teamSent->Parent()->Folders()->Item(1)->EntryID(), teamSent->StoreID())
            ->Items()
            ->Item(1);
    EXPECT_THROW(session->GetMessageFromID(item->EntryID()), platform::Error);
    EXPECT_EQ(session->GetMessageFromID(item->EntryID(), item->Parent()->StoreID())->Subject(),
              "in team");
}

TEST_F(MirelinkTest, MoveAndCopyAreSeenAtOnceThroughTheMailClient) {
    auto item = SendMail("lead@example.com", "report");
    auto sent = ns->GetDefaultFolder(5);
    auto acme = ns->GetFolderFromID(
        session->GetFolderFromPath("\\\\Personal Folders\\Clients\\Acme")->EntryID());
    std::vector<std::string> heard;
    auto sub = acme->OnItemAdd([&](outlook::ItemPtr i) { heard.push_back(i->EntryID()); });

    auto message = session->GetMessageFromID(item->EntryID(), item->Parent()->StoreID());
    auto copy = message->CopyTo(session->GetFolderFromPath("\\\\Mailbox - Team Desk\\Inbox"));
    EXPECT_NE(copy->EntryID(), message->EntryID());
    message->Move(session->GetFolderFromID(acme->EntryID()));

    EXPECT_EQ(sent->Items()->Count(), 0);
    ASSERT_EQ(acme->Items()->Count(), 1);
    EXPECT_EQ(acme->Items()->Item(1)->EntryID(), item->EntryID());
    EXPECT_EQ(item->Parent()->FolderPath(), "\\\\Personal Folders\\Clients\\Acme");
    EXPECT_EQ(message->Parent()->Name(), "Acme");
    EXPECT_EQ(copy->Parent()->FolderPath(), "\\\\Mailbox - Team Desk\\Inbox");
    EXPECT_EQ(heard, std::vector<std::string>{item->EntryID()});
    EXPECT_THROW(message->Move(nullptr), platform::Error);
}

TEST_F(MirelinkTest, FolderTableQuery) {
    auto folders = session->GetFolderFromPath("\\\\Personal Folders")->Folders();
    auto table = folders->MAPITable()->ExecSQL(kFolderQuery);
    ASSERT_EQ(table->RecordCount(), 15);
    EXPECT_EQ(table->Field(0, "FullName"), "Inbox");
    EXPECT_EQ(table->Field(0, "entryid"), folders->Item(1)->EntryID());
    EXPECT_EQ(table->Field(0, "StoreId"), folders->Item(1)->StoreID());
    EXPECT_EQ(table->Field(12, "FullName"), "Clients");
    EXPECT_EQ(table->Field(12, "ChildCount"), "2");
    EXPECT_THROW(table->Field(0, "Other"), platform::Error);
    EXPECT_THROW(table->Field(15, "FullName"), platform::Error);
    EXPECT_EQ(mirelink::FolderTable::Columns().size(), 4u);

    for (const std::string bad : {"SELECT * FROM Folders", "DELETE FROM Folders", ""}) {
        try {
            folders->MAPITable()->ExecSQL(bad);
            FAIL() << bad;
        } catch (const platform::Error& e) {
            EXPECT_THAT(e.Description(), HasSubstr("not supported"));
        }
    }
}

TEST_F(MirelinkTest, SharedDefaultFolders) {
    auto teamSent = session->GetFolderFromPath("\\\\Mailbox - Team Desk\\Sent Items")->EntryID();
    auto ownSent = session->GetDefaultFolder(5)->EntryID();
    struct Case {
        std::string who, entryId;
    };
    const Case cases[] = {
        {"Team Desk", teamSent},
        {"team@example.com", teamSent},
        {"/o=Example/ou=Site/cn=Recipients/cn=team", teamSent},
        {"Demo User", ownSent},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(session->GetSharedDefaultFolder(c.who, 5)->EntryID(), c.entryId) << c.who;
    }
    EXPECT_THROW(session->GetSharedDefaultFolder("Project Lead", 5), platform::Error);
    EXPECT_THROW(session->GetSharedDefaultFolder("", 5), platform::Error);
    EXPECT_THROW(session->GetSharedDefaultFolder(mirelink::AddressEntryPtr(), 5), platform::Error);

    auto item = SendMail("lead@example.com", "from the desk", "team@example.com");
    auto safe = mirelink::CreateSafeMailItem();
    safe->SetItem(item);
    auto sender = safe->Sender();
    ASSERT_TRUE(sender);
    EXPECT_EQ(sender->Name(), "Team Desk");
    EXPECT_EQ(sender->smtpAddress(), "team@example.com");
    EXPECT_EQ(safe->SenderEmailAddress(), "/o=Example/ou=Site/cn=Recipients/cn=team");
    EXPECT_EQ(session->GetSharedDefaultFolder(sender, 5)->EntryID(), teamSent);
    EXPECT_EQ(session->CurrentUser()->SMTPAddress(), "user@example.com");
}

TEST_F(MirelinkTest, SafeItemRecipientsAndTheExchangeToSmtpAnswer) {
    auto draft = app->CreateItem(outlook::olMailItem);
    draft->SetTo("lead@example.com; stranger@else.example");
    draft->SetCC("Acme Contact");
    draft->SetSubject("s");
    draft->SetBody("b");
    auto safe = mirelink::CreateSafeMailItem();
    EXPECT_THROW(safe->Subject(), platform::Error);
    safe->SetItem(draft);
    EXPECT_EQ(safe->Sender(), nullptr);
    EXPECT_EQ(safe->Body(), "b");
    auto recipients = safe->Recipients();
    ASSERT_EQ(recipients->Count(), 3);
    struct Case {
        std::string name, type, address, smtp;
        int kind;
    };
    const Case cases[] = {
        {"Project Lead", "EX", "/o=Example/ou=Site/cn=Recipients/cn=lead", "lead@example.com", 1},
        {"stranger@else.example", "SMTP", "stranger@else.example", "stranger@else.example", 1},
        {"Acme Contact", "SMTP", "contact@acme.example", "contact@acme.example", 2},
    };
    for (int i = 0; i < 3; ++i) {
        auto r = recipients->Item(i + 1);
        EXPECT_EQ(r->Name(), cases[i].name);
        EXPECT_EQ(r->Type(), cases[i].kind);
        EXPECT_EQ(r->Address(), cases[i].address);
        EXPECT_EQ(r->AddressEntry()->Type(), cases[i].type);
        EXPECT_EQ(mirelink::SmtpAddressOf(r->AddressEntry()), cases[i].smtp);
        // The host engine's helper answers from the same address book.
        EXPECT_EQ(ostrevane::SmtpAddressHelper(draft).GetSMTPAddress(r->AddressEntry()),
                  cases[i].smtp);
    }
    EXPECT_EQ(mirelink::SmtpAddressOf(nullptr), "");
    EXPECT_THROW(recipients->Item(4), platform::Error);
}

TEST_F(MirelinkTest, LogonPicksTheProfileAndFailuresRaise) {
    auto own = mirelink::CreateSession();
    EXPECT_FALSE(own->LoggedOn());
    EXPECT_THROW(own->GetDefaultFolder(5), platform::Error);
    own->Logon();
    EXPECT_TRUE(own->LoggedOn());
    EXPECT_EQ(own->GetDefaultFolder(6)->FolderPath(), "\\\\Personal Folders\\Inbox");

    testkit::ProfileBuilder("Other").Store("Other Store", "O", "o@example.com");
    platform::settings::SaveSetting("HalvoxSoftware", "HalvoxSoftware", "CurrentProfile",
                                    "HalvoxSoftware - Other");
    own->Logon();
    EXPECT_EQ(own->Stores()->Item(1)->Name(), "Other Store");
    own->Logon("Default");
    EXPECT_EQ(own->Stores()->Count(), 3);
    try {
        own->Logon("Missing");
        FAIL();
    } catch (const platform::Error& e) {
        EXPECT_THAT(e.Description(), HasSubstr("Missing"));
    }
    own->Logoff();
    EXPECT_FALSE(own->LoggedOn());
    EXPECT_THROW(own->SetMAPIOBJECT(nullptr), platform::Error);
}

TEST_F(MirelinkTest, CreationByClassNameAndAWithdrawnLibrary) {
    EXPECT_EQ(mirelink::CreateObject("mirelink.kvsafemailitem")->TypeName(), "KVSafeMailItem");
    EXPECT_EQ(mirelink::CreateObject("Mirelink.KVMAPIUtils")->TypeName(), "KVMAPIUtils");
    EXPECT_THROW(mirelink::CreateObject("Mirelink.Other"), platform::Error);
    EXPECT_FALSE(mirelink::SetLibraryWithdrawn(true));
    EXPECT_THROW(mirelink::CreateObject("Mirelink.KVRDOSession"), platform::Error);
    EXPECT_THROW(mirelink::CreateSafeMailItem(), platform::Error);
    EXPECT_TRUE(mirelink::SetLibraryWithdrawn(false));
    EXPECT_NO_THROW(mirelink::CreateMAPIUtils());
}

TEST_F(MirelinkTest, AddressBookAnswersThroughItsHook) {
    auto utils = mirelink::CreateMAPIUtils();
    mirelink::AddressBookRequest request{.title = "Select addresses to associate",
                                         .toLabel = "Add"};
    auto previous = mirelink::InstallAddressBookHook(nullptr);
    EXPECT_THROW(utils->AddressBook(request), platform::Error);

    std::string titleSeen;
    mirelink::InstallAddressBookHook([&](const mirelink::AddressBookRequest& r,
                                         const std::vector<mirelink::AddressEntryPtr>& e) {
        titleSeen = r.title;
        EXPECT_EQ(e.size(), 4u);
        return mirelink::PickAddresses({"lead@example.com", "contact@acme.example"})(r, e);
    });
    auto picked = utils->AddressBook(request);
    EXPECT_EQ(titleSeen, "Select addresses to associate");
    ASSERT_TRUE(picked);
    ASSERT_EQ(picked->Count(), 2);
    EXPECT_EQ(picked->Item(1)->Name(), "Project Lead");
    EXPECT_EQ(picked->Item(1)->AddressEntry()->Type(), "EX");
    EXPECT_EQ(picked->Item(2)->Address(), "contact@acme.example");

    mirelink::InstallAddressBookHook(mirelink::PickAddresses({}));
    EXPECT_EQ(utils->AddressBook(request), nullptr);
    mirelink::InstallAddressBookHook(previous);
}

}  // namespace
