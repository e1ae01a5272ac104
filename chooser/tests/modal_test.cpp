// The two modal choosers driven through their widgets while ShowIt waits:
// the roads out of the dialog, a second question, the owner's shutdown, and
// the bad input they must survive.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

#include "chooser/tests/modal_fixture.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "platform/error.h"
#include "platform/widgets/platform_dialogs.h"

namespace chooser_test {
namespace {

namespace keys = common::keys;
using plovanex::ChooserVariant;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using Records = std::vector<ostrevane::FolderRecord>;

// The tree paths the two variants store in the recently used list.
constexpr const char* kAcmeTree = "Personal Folders\\Clients\\Acme";
constexpr const char* kGlobexTree = "Personal Folders\\Clients\\Globex";
constexpr const char* kApolloTree = "Personal Folders\\Projects\\Apollo";

class ModalRoadsTest : public ModalTest, public ::testing::WithParamInterface<ChooserVariant> {
  protected:
    ModalRoadsTest() : ModalTest(GetParam()) {}
    void SetUp() override {
        SetMruList(before);
        home.Capture().Clear();
    }
    bool WholeTree() const { return GetParam() == ChooserVariant::WholeTree; }

    // The recently used list as the modal variants store their paths.
    const std::vector<std::string> before{kGlobexTree, kApolloTree};
};

// Every road ends the wait at once with its answer: ok, the list (the
// caller's own, untouched, where nothing was chosen) and the recently used
// list as the road leaves them.
TEST_P(ModalRoadsTest, EachRoadEndsTheWaitWithItsAnswer) {
    const ostrevane::FolderRecord apolloEntry{kApolloTree, Record(kApollo).EntryID,
                                              Record(kApollo).StoreID};
    struct Road {
        const char* name;
        std::function<void()> act;
        bool ok;
        std::optional<Records> answer;  // nothing: the caller's list, untouched
        std::vector<std::string> mru;
        bool shownUntilHidden = false;  // the caller's HideIt hides the form
        const char* picker = nullptr;   // the mail client's picker answers instead
    };
    const std::vector<Road> roads = {
        {"OK on the tree",
         [&] {
             ClickNode(kAcmeTree);
             Click("cmdOk");
         },
         true,
         Records{Record(kAcme)},
         {kAcmeTree, kGlobexTree, kApolloTree}},
        {"tree double click",
         [&] { DoubleClickNode(kAcmeTree); },
         true,
         Records{Record(kAcme)},
         {kAcmeTree, kGlobexTree, kApolloTree}},
        {"OK on a folder already listed",
         [&] {
             ClickNode(kApolloTree);
             Click("cmdOk");
         },
         true, Records{Record(kApollo)}, before},
        {"OK with nothing selected",
         [&] {
             Tree().clearSelection();
             Click("cmdOk");
         },
         true, Records{}, before},
        {"MRU double click", [&] { DoubleClick("txtMRUFolder2"); }, true, Records{apolloEntry},
         before, true},
        {"Cancel", [&] { Click("cmdCancel"); }, false, std::nullopt, before},
        {"Delete The Email", [&] { Click("cmdDeleteTheEmail"); }, true, Records{Record(kDeleted)},
         before},
        {"frame close", [&] { Form().close(); }, false, std::nullopt, before},
        {"native picker", [] {}, true, Records{Record(kAcme)}, before, false, kAcme},
        {"native picker cancelled", [] {}, false, std::nullopt, before, false, ""},
    };
    for (const auto& road : roads) {
        SCOPED_TRACE(road.name);
        NewModal();
        SetMruList(before);
        SetHalvox(keys::UseNativeOutlookPickFolders, road.picker ? "1" : "0");
        std::optional<ScopedPicker> picker;
        if (road.picker) {
            picker.emplace(road.picker);
        }
        bool waited = false;
        const bool ok = AskModal([&] {
            waited = true;
            ASSERT_TRUE(Form().isVisible());
            road.act();
        });
        EXPECT_EQ(waited, !road.picker);
        EXPECT_EQ(ok, road.ok);
        if (road.answer) {
            EXPECT_EQ(Chosen(), *road.answer);
        } else {
            EXPECT_EQ(modal->folderList(), callerList);
            EXPECT_THAT(*callerList, IsEmpty());
        }
        EXPECT_EQ(MruList(), road.mru);
        EXPECT_EQ(Form().isVisible(), road.shownUntilHidden);
        modal->HideIt();
        EXPECT_FALSE(Form().isVisible());
        // A stray click after the decision changes nothing.
        Control<QPushButton>("cmdDeleteTheEmail").click();
        if (road.answer) {
            EXPECT_EQ(Chosen(), *road.answer);
        }
        EXPECT_THAT(Reports(), IsEmpty());
        EXPECT_THAT(boxes, IsEmpty());
    }
}

// A question asked while one waits (possible because the wait lets events
// run) is refused at once; the waiting one keeps its mail, its list and its
// dialog, and answers as if nothing had happened.
TEST_P(ModalRoadsTest, ASecondQuestionWhileOneWaitsIsRefused) {
    bool refused = false;
    const bool ok = AskModal([&] {
        auto second = std::make_shared<ostrevane::FolderList>();
        modal->SetFolderList(second);
        modal->SetEmailSubject("Second");
        modal->SetSingleFolderOnly(false);
        refused = !modal->ShowIt();
        modal->HideIt();
        EXPECT_TRUE(Form().isVisible());
        EXPECT_EQ(modal->folderList(), callerList);
        EXPECT_EQ(modal->emailSubject(), "Plan");
        EXPECT_TRUE(modal->SingleFolderOnly());
        EXPECT_FALSE(modal->ErrorOccurred());
        ClickNode(kAcmeTree);
        Click("cmdOk");
    });
    EXPECT_TRUE(refused);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Chosen(), Records{Record(kAcme)});
}

// The mail client's picker, asked what the mail is filed in, fails: no
// answer, and the caller's list stays. The whole-tree chooser reports it as
// its picker's own error; in the lazy one it is an error of the dialog run,
// at the step that starts the session.
TEST_P(ModalRoadsTest, AFailingNativePickerIsReportedAndGivesNoAnswer) {
    SetHalvox(keys::UseNativeOutlookPickFolders, "1");
    std::string prompt;
    struct PickerHook {
        outlook::PickFolderHook previous;
        ~PickerHook() { outlook::InstallPickFolderHook(previous); }
    } hook{outlook::InstallPickFolderHook([&prompt](outlook::NameSpacePtr) -> outlook::FolderPtr {
        prompt = platform::widgets::CurrentFolderRequest().prompt;
        throw platform::Error("The operation failed.");
    })};
    EXPECT_FALSE(AskModal([] { ADD_FAILURE() << "no dialog is shown"; }));
    EXPECT_EQ(prompt, "Choose the folder to file this mail in.");
    EXPECT_EQ(modal->folderList(), callerList);
    EXPECT_THAT(*callerList, IsEmpty());
    EXPECT_EQ(MruList(), before);
    const ostrevane::Report expected =
        WholeTree() ? ostrevane::Report{"Error occurred.  Reason: The operation failed.", 1,
                                        "Plovanex.NativePickFolder"}
                    : ostrevane::Report{"Error occurred at line 10.  Reason: The operation failed.",
                                        1, "frmChooseOutlookFolders3.ChooseOutlookFolders"};
    EXPECT_THAT(Reports(), ElementsAre(expected));
}

// The owner's shutdown while the dialog waits: the form unloads, and the
// waiting ShowIt returns as a Cancel. The owner's next use loads a new form.
TEST_P(ModalRoadsTest, OwnerShutdownWhileWaitingIsACancel) {
    const bool ok = AskModal([&] {
        modal->Terminate();
        modal->Unload();
    });
    EXPECT_FALSE(ok);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_THROW(Form(), std::runtime_error);
    EXPECT_FALSE(modal->folderList());

    EXPECT_TRUE(AskModal([&] { DoubleClickNode(kAcmeTree); }));
    EXPECT_EQ(Chosen(), Records{Record(kAcme)});
    EXPECT_THAT(Reports(), IsEmpty());
}

// The folder chosen last is selected again at the next show. After a cache
// flush the whole-tree variant loads the levels on its path again; the lazy
// one, whose path search loads no level that waits behind a placeholder,
// falls back on the Inbox. On a first use the Inbox is selected and bold.
TEST_P(ModalRoadsTest, TheNextShowSelectsTheFolderChosenLast) {
    AskModal([&] {
        ASSERT_TRUE(Selected());
        EXPECT_EQ(Selected()->FullPath(), "Personal Folders\\Inbox");
        EXPECT_TRUE(Selected()->Bold());
        ClickNode(kAcmeTree);
        Click("cmdOk");
    });
    struct Case {
        const char* flush;
        std::string selected;
    } cases[] = {{"False", kAcmeTree},
                 {"True", WholeTree() ? kAcmeTree : "Personal Folders\\Inbox"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flush);
        SetHalvox(keys::FlushOutlookFolderCachePlovanex, c.flush);
        AskModal([&] {
            ASSERT_TRUE(Selected());
            EXPECT_EQ(Selected()->FullPath(), c.selected);
            Click("cmdCancel");
        });
        EXPECT_EQ(GetHalvox(keys::FlushOutlookFolderCachePlovanex), "False");
    }
    EXPECT_THAT(Reports(), IsEmpty());
}

// The profile changes while the dialog waits, or between two shows: the
// chooser answers with what the user picked, and the caller finds out;
// nothing crashes and nothing is reported here.
TEST_P(ModalRoadsTest, BadInputIsAnsweredWithoutACrash) {
    kit.Profile()->AddFolder(kit.FolderId(kApollo), "Launch");
    const std::string launchTree = "Personal Folders\\Projects\\Apollo\\Launch";
    const auto acme = Record(kAcme);
    const auto teamInbox = Record("\\\\Mailbox - Team Desk\\Inbox");
    struct Case {
        const char* name;
        std::function<void()> before;  // between two shows
        std::function<void()> act;     // inside the wait
        bool ok;
        Records answer;
    };
    const std::vector<Case> cases = {
        {"MRU entry of empty texts",
         [] {},
         [&] { DoubleClick("txtMRUFolder5"); },
         true,
         {{"", "", ""}}},
        {"chosen folder deleted during the wait",
         [] {},
         [&] {
             ClickNode(kAcmeTree);
             kit.Profile()->DeleteFolder(kit.FolderId(kAcme));
             Click("cmdOk");
         },
         true,
         {acme}},
        {"store gone during the wait",
         [] {},
         [&] {
             ClickNode("Mailbox - Team Desk\\Inbox");
             kit.Profile()->RemoveStore(kit.Profile()->Stores()[1].id);
             Click("cmdOk");
         },
         true,
         {teamInbox}},
        {"last folder four levels deep, its middle renamed",
         [&] {
             AskModal([&] {
                 ClickNode(launchTree);
                 Click("cmdOk");
             });
             kit.Profile()->RenameFolder(kit.FolderId(kApollo), "Apollo 2");
             SetHalvox(keys::FlushOutlookFolderCachePlovanex, "True");
         },
         [&] {
             // The whole-tree variant then selects nothing; the lazy one
             // falls back on the Inbox.
             if (WholeTree()) {
                 EXPECT_FALSE(Selected());
             } else {
                 ASSERT_TRUE(Selected());
                 EXPECT_EQ(Selected()->FullPath(), "Personal Folders\\Inbox");
                 EXPECT_TRUE(Selected()->Bold());
                 EXPECT_THAT(Lines("ShowIt"), Contains("Warning: node not found"));
             }
             Click("cmdCancel");
         },
         false,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.before();
        const bool ok = AskModal(c.act);
        EXPECT_EQ(ok, c.ok);
        if (ok) {
            EXPECT_EQ(Chosen(), c.answer);
        }
        EXPECT_THAT(Reports(), IsEmpty());
        EXPECT_THAT(boxes, IsEmpty());
        modal->HideIt();
    }
}

// New Folder makes the folder under the node clicked last and selects its
// node, so that OK files there; the whole-tree variant tags it one level
// below its parent. Before any click the whole-tree variant has no parent
// (the report of step 2); the lazy one takes the Inbox it selected.
TEST_P(ModalRoadsTest, NewFolderIsChosenByOk) {
    struct Case {
        const char* name;
        const char* click;  // nothing: no click before New Folder
        std::string parent;
        bool made;
    } cases[] = {
        {"under the node clicked", "Personal Folders\\Clients", "\\\\Personal Folders\\Clients",
         true},
        {"before any click", nullptr, "\\\\Personal Folders\\Inbox", !WholeTree()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NewModal();
        home.Capture().Clear();
        const std::string path = c.parent + "\\Plans";
        const bool ok = AskModal([&] {
            if (c.click) {
                ClickNode(c.click);
            }
            QTimer answer;
            answer.setSingleShot(true);
            QObject::connect(&answer, &QTimer::timeout, [] {
                auto* dialog = QApplication::activeModalWidget();
                ASSERT_TRUE(dialog);
                dialog->findChild<QLineEdit*>("txtNewOutlookFolderName")->setText("Plans");
                dialog->findChild<QPushButton*>("cmdOk")->click();
            });
            if (c.made) {
                answer.start(0);
            }
            Click("cmdNewFolder");
            if (c.made) {
                ASSERT_TRUE(Selected());
                EXPECT_EQ("\\\\" + Selected()->FullPath(), path);
                const std::string storeId = Record(path).StoreID;
                EXPECT_EQ(Selected()->Tag(), WholeTree() ? "3:" + storeId : storeId);
            }
            Click("cmdOk");
        });
        EXPECT_TRUE(ok);
        if (c.made) {
            EXPECT_EQ(Chosen(), Records{Record(path)});
            EXPECT_THAT(Reports(), IsEmpty());
        } else {
            EXPECT_THAT(Reports(),
                        ElementsAre(ostrevane::Report{
                            "Error occurred at line 2.  Reason: Object variable or With block "
                            "variable not set",
                            1, "Plovanex.NewFolder"}));
        }
        EXPECT_THAT(Lines("NewFolder"), IsEmpty());
    }
}

// The program may delete its windows (the host does at its end): the
// chooser's new-folder dialog among them goes once, and the owner's next
// use loads the chooser again.
TEST_P(ModalRoadsTest, TheProgramMayDeleteItsWindows) {
    AskModal([&] {
        ClickNode("Personal Folders\\Clients");
        QTimer cancel;
        cancel.setSingleShot(true);
        QObject::connect(&cancel, &QTimer::timeout, [] {
            ASSERT_TRUE(QApplication::activeModalWidget());
            QApplication::activeModalWidget()->findChild<QPushButton*>("cmdCancel")->click();
        });
        cancel.start(0);
        Click("cmdNewFolder");
        Click("cmdCancel");
    });
    for (QWidget* w : QApplication::topLevelWidgets()) {
        w->deleteLater();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(AskModal([&] { DoubleClickNode(kAcmeTree); }));
    EXPECT_EQ(Chosen(), Records{Record(kAcme)});
}

INSTANTIATE_TEST_SUITE_P(Variants, ModalRoadsTest,
                         ::testing::Values(ChooserVariant::WholeTree, ChooserVariant::LazyModal),
                         [](const auto& info) {
                             return info.param == ChooserVariant::WholeTree ? "WholeTree"
                                                                            : "LazyModal";
                         });

}  // namespace
}  // namespace chooser_test
