// The modal choosers end to end: the add-in library loaded by the host, the
// procedures that wait for them called as their callers call them, and the
// real dialog answered through its widgets while it waits. A mail sent
// meanwhile is filed by the rules.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTimer>
#include <functional>

#include "core/plovanex.h"
#include "core/process_one_sent_item.h"
#include "platform/ostrevane/module_loader.h"
#include "platform/widgets/platform_dialogs.h"
#include "plovanex/tests/addin_fixture.h"

namespace {

namespace keys = common::keys;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kWholeTree[] = "frmChooseOutlookFolders2";
constexpr char kLazyModal[] = "frmChooseOutlookFolders3";

class ModalAddInTest : public addin_test::AddInTest {
  protected:
    ModalAddInTest() {
        // One keyword rule, tried first: mail about Acme goes to Acme.
        constexpr int kRule = 101;
        Set(keys::RuleValueName(kRule, keys::Keywords), "Acme");
        Set(keys::RuleValueName(kRule, keys::KeywordFolderCount), "1");
        SetFolder(kAcme, keys::RuleValueName(kRule, keys::KeywordFolderName, 1),
                  keys::RuleValueName(kRule, keys::KeywordFolderEntryId, 1),
                  keys::RuleValueName(kRule, keys::KeywordFolderStoreId, 1));
        Set(keys::Order(1), std::to_string(keys::ModeKeyword));
        home.Capture().Clear();
    }

    plovanex::_CPlovanex& AddIn() {
        auto addIn = std::dynamic_pointer_cast<plovanex::_CPlovanex>(modules->Modules().at(0));
        if (!addIn) {
            throw std::runtime_error("the add-in offers no _CPlovanex");
        }
        return *addIn;
    }

    // Runs call, and doings inside the wait of the dialog it opens. A wait
    // that the doings leave open fails the test and is cancelled.
    bool WhileWaiting(const char* formName, const std::function<void()>& doings,
                      const std::function<bool()>& call) {
        QTimer user;
        user.setSingleShot(true);
        QObject::connect(&user, &QTimer::timeout, [&] {
            ASSERT_TRUE(DialogShown(formName));
            doings();
        });
        user.start(0);
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            ADD_FAILURE() << "the chooser still waits";
            Click(formName, "cmdCancel");
        });
        watchdog.start(20'000);
        return call();
    }

    // A mail sent while the dialog waits: the keyword rule files it.
    void SendMeanwhile() {
        meanwhile = Compose("Acme offer");
        meanwhile->Send();
    }

    outlook::ItemPtr meanwhile;
};

// Send And File through either modal chooser sends the mail into the folder
// picked, whatever MoveWanted says; nothing else sends it. A pick that can
// no longer be filed is reported at its step, and the mail stays unsent.
TEST_F(ModalAddInTest, SendAndFileSendsIntoTheFolderPicked) {
    struct Procedure {
        const char* name;
        const char* form;
        bool (plovanex::_CPlovanex::*call)(outlook::ItemPtr&);
    } procedures[] = {{"SendAndFileOrig", kWholeTree, &plovanex::_CPlovanex::SendAndFileOrig},
                      {"SendAndFile", kLazyModal, &plovanex::_CPlovanex::SendAndFile}};
    const std::string notFiled =
        "Error occurred at line 15.  Reason: Object variable or With block variable not set";
    struct Road {
        const char* name;
        std::function<void(const char* form)> act;
        std::vector<std::string> folders;  // empty: unsent
        std::vector<ostrevane::Report> reports;
    };
    const std::vector<Road> roads = {
        {"tree, a mail sent meanwhile",
         [&](const char* form) {
             SendMeanwhile();
             PickInTree(form, {"Personal Folders", "Clients", "Globex"});
             Click(form, "cmdOk");
         },
         {kGlobex},
         {}},
        {"Cancel", [&](const char* form) { Click(form, "cmdCancel"); }, {}, {}},
        {"MRU entry of empty texts",
         [&](const char* form) {
             auto& box = Control<QLineEdit>(form, "txtMRUFolder15");
             QTest::mouseDClick(&box, Qt::LeftButton);
         },
         {},
         {{notFiled, 1, ""}}},
        {"folder deleted during the wait",
         [&](const char* form) {
             PickInTree(form, {"Personal Folders", "Clients", "Globex"});
             // Gone already when an earlier form's run deleted it.
             if (auto globex = kit.Profile()->FolderByPath(kGlobex)) {
                 kit.Profile()->DeleteFolder(*globex);
             }
             Click(form, "cmdOk");
         },
         {},
         {{notFiled, 1, ""}}},
        {"store gone during the wait",
         [&](const char* form) {
             PickInTree(form, {"Mailbox - Team Desk", "Inbox"});
             for (const auto& store : kit.Profile()->Stores()) {
                 if (store.name == "Mailbox - Team Desk") {
                     kit.Profile()->RemoveStore(store.id);
                 }
             }
             Click(form, "cmdOk");
         },
         {},
         {{notFiled, 1, ""}}},
    };
    for (const auto& road : roads) {
        for (const auto& p : procedures) {
            SCOPED_TRACE(std::string(road.name) + ", " + p.name);
            home.Capture().Clear();
            meanwhile.reset();
            auto item = Compose(p.name);
            const bool result = WhileWaiting(
                p.form, [&] { road.act(p.form); }, [&] { return (AddIn().*p.call)(item); });
            EXPECT_FALSE(result);
            EXPECT_FALSE(DialogShown(p.form));
            EXPECT_EQ(item->Sent(), !road.folders.empty());
            if (item->Sent()) {
                EXPECT_EQ(FoldersOf(item), road.folders);
            }
            if (meanwhile) {
                EXPECT_THAT(FoldersOf(meanwhile), ElementsAre(kAcme));
            }
            auto expected = road.reports;
            for (auto& r : expected) {
                r.source = std::string("Plovanex.") + p.name;
            }
            EXPECT_EQ(home.Capture().Reports(), expected);
        }
        // The profile as it was, for the next road.
        if (!kit.Profile()->FolderByPath(kGlobex)) {
            kit.Profile()->AddFolder(kit.FolderId("\\\\Personal Folders\\Clients"), "Globex");
        }
    }
}

// The host shuts down while the chooser waits: the add-in lets its chooser
// go, the wait ends as a Cancel, and the mail stays unsent. The caller holds
// the add-in object it calls, as every caller does.
TEST_F(ModalAddInTest, HostShutdownWhileTheChooserWaitsIsACancel) {
    struct Procedure {
        const char* form;
        bool (plovanex::_CPlovanex::*call)(outlook::ItemPtr&);
    } procedures[] = {{kWholeTree, &plovanex::_CPlovanex::SendAndFileOrig},
                      {kLazyModal, &plovanex::_CPlovanex::SendAndFile}};
    for (const auto& p : procedures) {
        SCOPED_TRACE(p.form);
        if (modules->Modules().empty()) {
            modules->Startup();
        }
        const auto held = modules->Modules().at(0);
        auto& addIn = AddIn();
        auto item = Compose(p.form);
        const bool result = WhileWaiting(
            p.form, [&] { modules->Shutdown(); }, [&] { return (addIn.*p.call)(item); });
        EXPECT_FALSE(result);
        EXPECT_FALSE(DialogShown(p.form));
        EXPECT_FALSE(item->Sent());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_THAT(home.Capture().Reports(), IsEmpty());
}

// The modal question, asked as the processor's callers ask it about a mail
// in Sent Items: the caller files the mail where the user picked; Cancel
// leaves it where it is.
TEST_F(ModalAddInTest, PickOutlookFolders3FilesWhereTheUserPicked) {
    ostrevane::ModuleLoader loader;
    auto processor = loader.Create<plovanex::_CProcessOneSentItem>("CProcessOneSentItem");
    ASSERT_TRUE(processor);
    processor->SetolApp(app);
    struct Road {
        const char* name;
        std::function<void()> act;
        bool ok;
        std::vector<std::string> folders;
    };
    const std::vector<Road> roads = {
        {"tree, a mail sent meanwhile",
         [&] {
             SendMeanwhile();
             PickInTree(kLazyModal, {"Personal Folders", "Clients", "Globex"});
             Click(kLazyModal, "cmdOk");
         },
         true,
         {kGlobex}},
        {"Cancel", [&] { Click(kLazyModal, "cmdCancel"); }, false, {kSentItems}},
    };
    for (const auto& road : roads) {
        SCOPED_TRACE(road.name);
        meanwhile.reset();
        auto item = Compose(road.name);
        item->Send();
        ASSERT_THAT(FoldersOf(item), ElementsAre(kSentItems));
        auto list = std::make_shared<ostrevane::FolderList>();
        bool multiple = false;
        std::string to = item->To();
        std::string subject = item->Subject();
        const bool ok = WhileWaiting(kLazyModal, road.act, [&] {
            return processor->PickOutlookFolders3(app, multiple, list, to, subject);
        });
        EXPECT_EQ(ok, road.ok);
        EXPECT_FALSE(DialogShown(kLazyModal));
        if (ok && list && !list->empty()) {
            std::string entryId = list->front()->EntryID;
            std::string storeId = list->front()->StoreID;
            std::string who = "User's Folder Choice";
            EXPECT_TRUE(processor->MoveIt(item, entryId, storeId, who));
        }
        EXPECT_EQ(FoldersOf(item), road.folders);
        if (meanwhile) {
            EXPECT_THAT(FoldersOf(meanwhile), ElementsAre(kAcme));
        }
    }
    EXPECT_THAT(home.Capture().Reports(), IsEmpty());
}

// The mail client's own picker asked by the confirmation prompt waits inside
// the item event of the mail it asks about. A mail sent meanwhile reaches
// the add-in inside that event and is filed by the rule of the next mode;
// the question still files the first mail where the user picked.
TEST_F(ModalAddInTest, MailSentWhileThePromptWaitsInsideAnItemEventIsFiled) {
    Set(keys::Order(1), std::to_string(keys::ModeConfirmation));
    Set(keys::Order(2), std::to_string(keys::ModeKeyword));
    Set(keys::PromptOutlookFolder, "True");
    SetHalvox(keys::UseNativeOutlookPickFolders, "1");
    struct PickerHook {
        outlook::PickFolderHook previous;
        ~PickerHook() { outlook::InstallPickFolderHook(previous); }
    } hook{outlook::InstallPickFolderHook([this](outlook::NameSpacePtr ns) -> outlook::FolderPtr {
        platform::widgets::PickFolderDialog dialog(ns);
        QTimer::singleShot(0, &dialog, [&] {
            SendMeanwhile();
            EXPECT_TRUE(dialog.SelectPath(kGlobex));
            dialog.accept();
        });
        return dialog.exec() == QDialog::Accepted ? dialog.SelectedFolder() : nullptr;
    })};
    auto asked = Compose("Asked first");
    asked->Send();
    ASSERT_TRUE(meanwhile);
    EXPECT_THAT(FoldersOf(meanwhile), ElementsAre(kAcme));
    EXPECT_THAT(FoldersOf(asked), ElementsAre(kGlobex));
    EXPECT_THAT(home.Capture().Reports(), IsEmpty());
}

}  // namespace
