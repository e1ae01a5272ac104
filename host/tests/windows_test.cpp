// The mail client's windows of the host: the explorer's models, the item
// window with the modules' controls, and the explorer window.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <SQLiteCpp/SQLiteCpp.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include <functional>
#include <optional>
#include <stdexcept>

#include "common/error_text.h"
#include "host/explorer_window.h"
#include "host/folder_tree_model.h"
#include "host/inspector_window.h"
#include "host/item_list_model.h"
#include "host/tests/host_kit.h"
#include "host/tests/windows_fixture.h"
#include "platform/mailstore/profile_impl.h"
#include "platform/widgets/message_box.h"

namespace mailstore {

struct ProfileTestAccess {
    static sqlite3* Connection(Profile& p) { return p.impl_->db->getHandle(); }
};

}  // namespace mailstore

namespace host_test {

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using FolderTreeTest = WindowsTest;

TEST_F(FolderTreeTest, StoresFirstAndEachLevelWhenAsked) {
    host::FolderTreeModel model(app->GetNamespace("MAPI"));
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.index(0, 0).data().toString(), "Personal Folders");
    EXPECT_EQ(model.index(2, 0).data().toString(), "Public Folders");
    QModelIndex personal = model.index(0, 0);
    EXPECT_TRUE(model.hasChildren(personal));
    EXPECT_TRUE(model.canFetchMore(personal));
    EXPECT_EQ(model.rowCount(personal), 0);
    model.fetchMore(personal);
    EXPECT_FALSE(model.canFetchMore(personal));
    EXPECT_EQ(model.index(0, 0, personal).data().toString(), "Inbox");
    // The tester walks every level it can fetch.
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    QModelIndex acme = model.IndexOfPath("\\\\Personal Folders\\clients\\ACME");
    ASSERT_TRUE(acme.isValid());
    EXPECT_EQ(model.Folder(acme)->FolderPath(), "\\\\Personal Folders\\Clients\\Acme");
    EXPECT_FALSE(model.hasChildren(acme));
    EXPECT_EQ(model.IndexOfPath("Mailbox - Team Desk\\Sent Items").data().toString(), "Sent Items");
    EXPECT_FALSE(model.IndexOfPath("\\\\Personal Folders\\Nope").isValid());
    EXPECT_FALSE(model.IndexOfPath("\\\\Nope").isValid());
}

class FolderTreeFollowTest : public WindowsTest, protected testkit::DemoPaths {
  protected:
    static std::vector<std::string> Names(const QAbstractItemModel& model,
                                          const QModelIndex& parent) {
        std::vector<std::string> out;
        for (int row = 0; row < model.rowCount(parent); ++row) {
            out.push_back(model.index(row, 0, parent).data().toString().toStdString());
        }
        return out;
    }

    // Another object of the profile's file, as another window or add-in has.
    mailstore::ProfilePtr other = mailstore::Profile::Open("Default");
};

// Every level read so far follows the profile, whoever writes it: this
// process's object model (as a chooser's New Folder does) or another object
// of the file. Nothing is reset, and a look that finds no change sends nothing.
TEST_F(FolderTreeFollowTest, LoadedLevelsFollowAddsRenamesAndRemovals) {
    host::FolderTreeModel model(app->GetNamespace("MAPI"));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    int resets = 0, changes = 0;
    QObject::connect(&model, &QAbstractItemModel::modelAboutToBeReset, [&] { ++resets; });
    QObject::connect(&model, &QAbstractItemModel::layoutAboutToBeChanged, [&] { ++resets; });
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, [&] { ++changes; });
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, [&] { ++changes; });
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&] { ++changes; });
    ASSERT_TRUE(model.IndexOfPath(kAcme).isValid());
    ASSERT_TRUE(model.IndexOfPath(kZephyr).isValid());
    EXPECT_FALSE(model.hasChildren(model.IndexOfPath(kApollo)));
    const mailstore::Id team = other->Folder(kit.FolderId(kTeamInbox)).storeId;

    const struct {
        const char* what;
        std::function<void()> change;
        const char* path;
        std::optional<std::vector<std::string>> names;  // none: the path is gone
    } steps[] = {
        {"New Folder through this process",
         [&] { model.Folder(model.IndexOfPath(kClients))->Folders()->Add("Initech"); },
         kClients,
         {{"Acme", "Globex", "Initech"}}},
        {"a rename",
         [&] { other->RenameFolder(kit.FolderId(kGlobex), "Globex Corp"); },
         kClients,
         {{"Acme", "Globex Corp", "Initech"}}},
        {"a removal",
         [&] { other->DeleteFolder(kit.FolderId(kAcme)); },
         kClients,
         {{"Globex Corp", "Initech"}}},
        {"a folder under one that had none",
         [&] { other->AddFolder(kit.FolderId(kApollo), "Q1"); },
         kApollo,
         {{"Q1"}}},
        {"a folder removed with the levels read below it",
         [&] { other->DeleteFolder(kit.FolderId(kProjects)); }, kApollo, std::nullopt},
        {"a store added",
         [&] { other->AddStore("Archive Mail", mailstore::StoreKind::Personal, "Demo User", ""); },
         "",
         {{"Personal Folders", "Mailbox - Team Desk", "Public Folders", "Archive Mail"}}},
        {"a store removed",
         [&] { other->RemoveStore(team); },
         "",
         {{"Personal Folders", "Public Folders", "Archive Mail"}}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        model.Refresh();
        QModelIndex at = model.IndexOfPath(step.path);
        if (!step.names) {
            EXPECT_FALSE(at.isValid());
            continue;
        }
        ASSERT_TRUE(at.isValid() || std::string(step.path).empty());
        EXPECT_EQ(Names(model, at), *step.names);
    }
    EXPECT_FALSE(model.IndexOfPath(kProjects).isValid());
    EXPECT_EQ(resets, 0);
    const int sent = changes;
    model.Refresh();
    EXPECT_EQ(changes, sent);
}

// A folder deleted and another added under the same folder between two looks
// may share a row id; the new one is a new node, which opens the new folder.
TEST_F(FolderTreeFollowTest, AFolderOnAFreedRowIdIsANewNode) {
    host::FolderTreeModel model(app->GetNamespace("MAPI"));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QModelIndex clients = model.IndexOfPath(kClients);
    const auto gone = other->AddFolder(kit.FolderId(kClients), "Initech");
    model.Refresh();
    const QPersistentModelIndex initech = model.IndexOfPath(std::string(kClients) + "\\Initech");
    ASSERT_TRUE(initech.isValid());

    other->DeleteFolder(gone);
    ASSERT_EQ(other->AddFolder(kit.FolderId(kClients), "Hooli"), gone);
    model.Refresh();
    EXPECT_FALSE(initech.isValid());
    ASSERT_EQ(Names(model, clients), (std::vector<std::string>{"Acme", "Globex", "Hooli"}));
    auto hooli = model.Folder(model.index(2, 0, clients));
    ASSERT_TRUE(hooli);
    EXPECT_EQ(hooli->EntryID(), other->Folder(gone).entryId);
    EXPECT_EQ(hooli->Items()->Count(), 0);
}

// While it lives, the profile's own connection may not read the folders.
class DeniedFolders {
  public:
    explicit DeniedFolders(mailstore::Profile& profile)
        : db_(mailstore::ProfileTestAccess::Connection(profile)) {
        sqlite3_set_authorizer(db_, &Deny, nullptr);
    }
    ~DeniedFolders() { sqlite3_set_authorizer(db_, nullptr, nullptr); }
    DeniedFolders(const DeniedFolders&) = delete;
    DeniedFolders& operator=(const DeniedFolders&) = delete;

  private:
    static int Deny(void*, int action, const char* table, const char*, const char*, const char*) {
        return action == SQLITE_READ && table && std::string(table) == "folders" ? SQLITE_DENY
                                                                                 : SQLITE_OK;
    }
    sqlite3* db_;
};

// A folder whose subfolders could not be counted is read at the next look,
// which shows them.
TEST_F(FolderTreeFollowTest, AFailedCountIsTriedAgainAtTheNextLook) {
    host::FolderTreeModel model(app->GetNamespace("MAPI"));
    const QModelIndex clients = model.IndexOfPath(kClients);
    ASSERT_TRUE(clients.isValid());
    {
        // Nothing in the file changes: only the failure itself may lead the
        // next look to read the level.
        DeniedFolders denied(*kit.Profile());
        EXPECT_FALSE(model.hasChildren(clients));
    }
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.Refresh();
    EXPECT_TRUE(model.hasChildren(clients));
    EXPECT_EQ(Names(model, clients), (std::vector<std::string>{"Acme", "Globex"}));
}

class ItemListTest : public WindowsTest, protected testkit::DemoPaths {
  protected:
    outlook::FolderPtr Folder(const std::string& path) {
        auto& p = *kit.Profile();
        auto row = p.Folder(kit.FolderId(path));
        return app->GetNamespace("MAPI")->GetFolderFromID(row.entryId,
                                                          p.Store(row.storeId).entryId);
    }
    static std::vector<std::string> Subjects(const host::ItemListModel& model) {
        std::vector<std::string> out;
        for (int row = 0; row < model.rowCount(); ++row) {
            out.push_back(
                model.index(row, host::ItemListModel::kSubject).data().toString().toStdString());
        }
        return out;
    }
};

// What arrives through this process shows at once; what leaves shows at the
// next look.
TEST_F(ItemListTest, FollowsTheFolder) {
    auto& profile = *kit.Profile();
    auto first = kit.Add(kAcme, {.subject = "first", .to = "lead@example.com; a@x.example"});
    host::ItemListModel model(kit.Profile());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetFolder(Folder(kAcme));
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.index(0, host::ItemListModel::kTo).data().toString(),
              "Project Lead; a@x.example");
    EXPECT_FALSE(model.index(0, host::ItemListModel::kSent).data().toString().isEmpty());
    EXPECT_EQ(model.headerData(host::ItemListModel::kSent, Qt::Horizontal).toString(), "Sent");

    auto other = kit.Add(kSentItems, {.subject = "moved in"});
    const struct {
        const char* what;
        std::function<void()> change;
        bool look;
        std::vector<std::string> subjects;
    } steps[] = {
        {"a move in",
         [&] { profile.MoveItem(other, kit.FolderId(kAcme)); },
         false,
         {"first", "moved in"}},
        {"a copy in",
         [&] { profile.CopyItem(first, kit.FolderId(kAcme)); },
         false,
         {"first", "moved in", "first"}},
        {"a send",
         [&] {
             auto item = app->CreateItem(outlook::olMailItem);
             item->SetTo("lead@example.com");
             item->SetSubject("sent");
             item->SetSaveSentMessageFolder(Folder(kAcme));
             item->Send();
         },
         false,
         {"first", "moved in", "first", "sent"}},
        {"a move out",
         [&] { profile.MoveItem(first, kit.FolderId(kSentItems)); },
         true,
         {"moved in", "first", "sent"}},
        {"a move back",
         [&] { profile.MoveItem(first, kit.FolderId(kAcme)); },
         false,
         {"first", "moved in", "first", "sent"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        LetRun();
        if (step.look) {
            model.Refresh();
        }
        EXPECT_EQ(Subjects(model), step.subjects);
    }
    model.SetFolder(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
}

class InspectorTest : public WindowsTest {
  protected:
    std::unique_ptr<host::InspectorWindow> Open(const std::string& subject = "") {
        auto window =
            std::make_unique<host::InspectorWindow>(*modules, app->CreateItem(outlook::olMailItem));
        window->Fill({.to = "lead@example.com", .subject = subject});
        return window;
    }
    template <typename T>
    static T* Find(QWidget* window, const char* name) {
        auto* found = window->findChild<T*>(name);
        EXPECT_TRUE(found) << name;
        return found;
    }
};

TEST_F(InspectorTest, ShowsTheAccountsAndTheModulesControls) {
    auto window = Open();
    auto* from = Find<QComboBox>(window.get(), "cboFrom");
    ASSERT_EQ(from->count(), 2);
    EXPECT_EQ(from->itemText(0), "user@example.com");
    EXPECT_EQ(from->itemText(1), "team@example.com");
    EXPECT_EQ(from->currentText(), "user@example.com");

    auto* toolbar = Find<QToolBar>(window.get(), "toolbarModules");
    ASSERT_EQ(toolbar->actions().size(), 1);
    EXPECT_EQ(toolbar->actions()[0]->text(), RecordingModule::kButton);
    QMenu* actions = nullptr;
    for (QAction* entry : window->menuBar()->actions()) {
        if (entry->text() == RecordingModule::kMenu) {
            actions = entry->menu();
        }
    }
    ASSERT_TRUE(actions);
    ASSERT_EQ(actions->actions().size(), 1);
    EXPECT_EQ(actions->actions()[0]->text(), RecordingModule::kEntry);
    actions->actions()[0]->trigger();
    EXPECT_EQ(recorder->Count("QvMenuAction:tag"), 1);
    EXPECT_EQ(recorder->Count("QvInspectorOpen"), 1);
}

// The module works on the item of the window clicked, not the one opened last.
TEST_F(InspectorTest, AClickReachesTheModuleOnItsOwnMail) {
    auto first = Open("first");
    auto second = Open("second");
    Find<QToolBar>(first.get(), "toolbarModules")->actions()[0]->trigger();
    EXPECT_EQ(second->ClickButton(RecordingModule::kButton), std::nullopt);
    EXPECT_THAT(recorder->clickedSubjects, ElementsAre("first", "second"));
    EXPECT_THAT(*first->ClickButton("Nothing Such"), HasSubstr("no button 'Nothing Such'"));
}

TEST_F(InspectorTest, AModuleThatRaisesIsReportedAndTheWindowGoesOn) {
    recorder->onButton = [] { throw std::runtime_error("the button broke"); };
    auto window = Open("still here");
    EXPECT_EQ(window->ClickButton(RecordingModule::kButton), std::nullopt);
    auto reports = home.Capture().Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].source, "Ostrevane.ModuleHost");
    EXPECT_THAT(reports[0].message, HasSubstr("the button broke"));
    EXPECT_EQ(reports[0].code, 1);

    auto item = window->Item();
    Find<QPushButton>(window.get(), "cmdSend")->click();
    LetRun();
    EXPECT_TRUE(item->Sent());
    EXPECT_THAT(FoldersWith("still here"), ElementsAre("\\\\Personal Folders\\Sent Items"));
    EXPECT_EQ(recorder->Count("QvInspectorClose"), 1);
    EXPECT_FALSE(window->isVisible());
}

// Each bad field gives the client's error in a box; the window keeps its
// text and nothing is sent. A name that does not resolve also stops the
// module's button: nobody picks a folder for a mail that cannot go.
TEST_F(InspectorTest, BadFieldsKeepTheWindowOpenWithItsText) {
    const struct {
        const char* what;
        host::InspectorWindow::Fields fields;
        const char* error;
        bool stopsTheModule;
    } cases[] = {
        {"unknown name",
         {.to = "lead@example.com; Bob Smith", .subject = "s"},
         "'Bob Smith' is not recognised",
         true},
        {"a mailbox the profile lacks",
         {.from = "nobody@example.com", .to = "lead@example.com", .subject = "s"},
         "No mailbox of the profile sends as 'nobody@example.com'",
         true},
        {"nobody to send to", {.subject = "s"}, "at least one name", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> boxes;
        platform::widgets::ScopedMessageBoxHook hook(
            [&](const std::string& prompt, int buttons, const std::string&) {
                EXPECT_EQ(buttons, platform::widgets::vbOKOnly);
                boxes.push_back(prompt);
                return platform::widgets::vbOK;
            });
        const int clicks = recorder->Count("QvButtonAction");
        auto window = Open();
        window->Fill(c.fields);
        window->show();
        Find<QPushButton>(window.get(), "cmdSend")->click();
        Find<QToolBar>(window.get(), "toolbarModules")->actions()[0]->trigger();
        LetRun();
        ASSERT_EQ(boxes.size(), c.stopsTheModule ? 2u : 1u);
        EXPECT_THAT(boxes[0], HasSubstr(c.error));
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->Item()->Sent());
        EXPECT_EQ(Find<QLineEdit>(window.get(), "txtTo")->text().toStdString(), c.fields.to);
        EXPECT_EQ(recorder->Count("QvButtonAction") - clicks, c.stopsTheModule ? 0 : 1);
    }
}

TEST_F(InspectorTest, ClosingTellsTheModulesOnceAndDropsTheControls) {
    platform::widgets::ScopedMessageBoxHook notSaved(
        [](const std::string&, int, const std::string&) { return platform::widgets::vbNo; });
    auto window = Open();
    auto inspector = window->Inspector();
    window->show();
    window->close();
    LetRun();
    EXPECT_EQ(recorder->Count("QvInspectorClose"), 1);
    EXPECT_TRUE(modules->Engine()->Controls(inspector).empty());
    EXPECT_EQ(app->ActiveInspector(), nullptr);
    window.reset();
    EXPECT_EQ(recorder->Count("QvInspectorClose"), 1);
}

// A new mail's draft goes with a window closed on it untouched. A mail that
// was typed in, sent, filed or changed by anyone, or that held text when the
// window opened, stays.
TEST_F(InspectorTest, ClosingAnUntouchedNewMailRemovesItsDraft) {
    const auto profile = kit.Profile();
    platform::widgets::ScopedMessageBoxHook boxes(
        [](const std::string&, int buttons, const std::string&) {
            return buttons == platform::widgets::vbYesNoCancel ? platform::widgets::vbYes
                                                               : platform::widgets::vbOK;
        });
    const struct {
        const char* what;
        std::function<void(outlook::Item&)> before;   // before the window opens
        std::function<void(outlook::Item&)> opening;  // by a module as it opens
        std::function<void(host::InspectorWindow&)> meanwhile;
        bool kept;
        const char* folder;
    } cases[] = {
        {"untouched", nullptr, nullptr, nullptr, false, nullptr},
        {"Send pressed with nobody to send to", nullptr, nullptr,
         [](host::InspectorWindow& w) { Find<QPushButton>(&w, "cmdSend")->click(); }, false,
         nullptr},
        {"a box typed in", nullptr, nullptr,
         [](host::InspectorWindow& w) { QTest::keyClicks(Find<QLineEdit>(&w, "txtSubject"), "s"); },
         true, "\\\\Personal Folders\\Drafts"},
        {"another sender picked", nullptr, nullptr,
         [](host::InspectorWindow& w) { Find<QComboBox>(&w, "cboFrom")->setCurrentIndex(1); }, true,
         "\\\\Personal Folders\\Drafts"},
        {"sent", nullptr, nullptr,
         [](host::InspectorWindow& w) {
             w.Fill({.to = "lead@example.com"});
             EXPECT_EQ(w.Send(), std::nullopt);
         },
         true, "\\\\Personal Folders\\Sent Items"},
        {"filed by a module", nullptr, nullptr,
         [&](host::InspectorWindow& w) {
             const auto id = *profile->ItemByEntryId(w.Item()->EntryID());
             profile->MoveItem(id, kit.FolderId("\\\\Personal Folders\\Clients\\Acme"));
         },
         true, "\\\\Personal Folders\\Clients\\Acme"},
        {"changed by a module", nullptr, nullptr,
         [](host::InspectorWindow& w) { w.Item()->SetBillingInformation("billed"); }, true,
         "\\\\Personal Folders\\Drafts"},
        {"a draft that held text", [](outlook::Item& item) { item.SetSubject("saved before"); },
         nullptr, nullptr, true, "\\\\Personal Folders\\Drafts"},
        {"billing written by a module as it opens", nullptr,
         [](outlook::Item& item) { item.SetBillingInformation("billed"); }, nullptr, true,
         "\\\\Personal Folders\\Drafts"},
        {"a property written by a module as it opens", nullptr,
         [](outlook::Item& item) { item.ItemProperties()->Add("Filed", "no"); }, nullptr, true,
         "\\\\Personal Folders\\Drafts"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto item = app->CreateItem(outlook::olMailItem);
        if (c.before) {
            c.before(*item);
        }
        const std::string entryId = item->EntryID();
        recorder->onInspectorOpen = c.opening;
        {
            auto window = std::make_unique<host::InspectorWindow>(*modules, item);
            window->show();
            if (c.meanwhile) {
                c.meanwhile(*window);
            }
            window->close();
            LetRun();
        }
        const auto id = profile->ItemByEntryId(entryId);
        ASSERT_EQ(id.has_value(), c.kept);
        if (c.kept) {
            EXPECT_EQ(profile->FolderPath(*profile->Item(*id).folderId), c.folder);
        }
    }
    EXPECT_EQ(profile->ItemCount(kit.FolderId("\\\\Personal Folders\\Drafts")), 6);
}

// A module may close the window from its click and go on with the mail: the
// new draft stays for it, and the window goes only once the click is over.
TEST_F(InspectorTest, AWindowClosedDuringAModuleClickLeavesTheMailToTheModule) {
    const auto profile = kit.Profile();
    const struct {
        const char* what;
        std::function<void(mailstore::Id)> then;  // after the close, inside the click
        const char* folder;
    } cases[] = {
        {"files it",
         [&](mailstore::Id id) {
             profile->MoveItem(id, kit.FolderId("\\\\Personal Folders\\Clients\\Acme"));
         },
         "\\\\Personal Folders\\Clients\\Acme"},
        {"bills it",
         [&](mailstore::Id id) { profile->SetItemField(id, mailstore::ItemField::Billing, "b"); },
         "\\\\Personal Folders\\Drafts"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto* window = new host::InspectorWindow(*modules, app->CreateItem(outlook::olMailItem));
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        QPointer<host::InspectorWindow> alive(window);
        const auto id = *profile->ItemByEntryId(window->Item()->EntryID());
        recorder->onButton = [&] {
            window->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_TRUE(alive);
            c.then(id);
        };
        EXPECT_EQ(window->ClickButton(RecordingModule::kButton), std::nullopt);
        LetRun();
        EXPECT_FALSE(alive);
        ASSERT_TRUE(profile->FindItem(id));
        EXPECT_EQ(profile->FolderPath(*profile->Item(id).folderId), c.folder);
    }
    EXPECT_TRUE(home.Capture().Reports().empty());
}

// A window closed with its boxes changed asks whether to save them: Yes
// writes every box to the mail, No leaves the mail as it was (a new one
// goes), Cancel keeps the window open. Unchanged, it asks nothing.
TEST_F(InspectorTest, ClosingWithChangesAsksWhetherToSave) {
    using namespace platform::widgets;
    const auto profile = kit.Profile();
    const struct {
        const char* what;
        bool draft;  // opened on a saved draft, else on a new mail
        bool typed;
        int answer;
        bool open;
        std::optional<std::string> subject;  // the stored mail's; none: gone
        size_t recipients;
    } cases[] = {
        {"new, Yes", false, true, vbYes, false, "typed", 2},
        {"new, No", false, true, vbNo, false, std::nullopt, 0},
        {"new, Cancel", false, true, vbCancel, true, "", 0},
        {"draft, Yes", true, true, vbYes, false, "typed", 2},
        {"draft, No", true, true, vbNo, false, "saved before", 0},
        {"draft, Cancel", true, true, vbCancel, true, "saved before", 0},
        {"draft, unchanged", true, false, vbCancel, false, "saved before", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int asked = 0;
        ScopedMessageBoxHook hook(
            [&](const std::string& prompt, int buttons, const std::string& title) {
                ++asked;
                EXPECT_EQ(prompt, common::kSaveChangesQuestion);
                EXPECT_EQ(buttons, vbYesNoCancel);
                EXPECT_EQ(title, "Message");
                return c.answer;
            });
        auto item = app->CreateItem(outlook::olMailItem);
        if (c.draft) {
            item->SetSubject("saved before");
        }
        const auto id = *profile->ItemByEntryId(item->EntryID());
        auto window = std::make_unique<host::InspectorWindow>(*modules, item);
        window->show();
        if (c.typed) {
            window->Fill({.from = "team@example.com",
                          .to = "lead@example.com",
                          .cc = "user@example.com",
                          .subject = "typed",
                          .body = "body text"});
        }
        window->close();
        LetRun();
        EXPECT_EQ(asked, c.typed ? 1 : 0);
        EXPECT_EQ(window->isVisible(), c.open);
        const auto stored = profile->Snapshot(id);
        ASSERT_EQ(stored.has_value(), c.subject.has_value());
        if (stored) {
            EXPECT_EQ(stored->row.subject, *c.subject);
            EXPECT_EQ(stored->recipients.size(), c.recipients);
            EXPECT_EQ(profile->FolderPath(*stored->row.folderId), "\\\\Personal Folders\\Drafts");
            if (c.recipients > 0) {
                EXPECT_EQ(stored->row.body, "body text");
                EXPECT_EQ(stored->row.sendUsing, "team@example.com");
                EXPECT_EQ(stored->recipients[0].type, outlook::olTo);
                EXPECT_EQ(stored->recipients[1].type, outlook::olCC);
            }
        }
    }
}

using ExplorerTest = WindowsTest;

TEST_F(ExplorerTest, MenusFoldersAndNewMail) {
    auto ns = app->GetNamespace("MAPI");
    auto explorer = app->OpenExplorer(ns->GetDefaultFolder(outlook::olFolderInbox));
    kit.Add("\\\\Personal Folders\\Inbox", {.subject = "hello"});
    bool closed = false;
    {
        host::ExplorerWindow window(*modules, explorer);
        window.OnClosed([&] { closed = true; });
        EXPECT_EQ(recorder->Count("QvExplorerOpen"), 1);
        EXPECT_EQ(window.windowTitle(), "Inbox - Ostrevane");
        ASSERT_EQ(window.Items().rowCount(), 1);
        EXPECT_EQ(window.Items().index(0, 0).data().toString(), "hello");

        // Without a property page registered, Tools > Options says so.
        std::vector<std::string> boxes;
        platform::widgets::ScopedMessageBoxHook hook(
            [&](const std::string& prompt, int buttons, const std::string&) {
                boxes.push_back(prompt);
                return buttons == platform::widgets::vbYesNoCancel ? platform::widgets::vbNo
                                                                   : platform::widgets::vbOK;
            });
        auto* options = window.findChild<QAction*>("actOptions");
        ASSERT_TRUE(options);
        options->trigger();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_THAT(boxes[0], HasSubstr("No property page is registered"));
        ASSERT_TRUE(window.findChild<QAction*>("actNewMail"));
        window.setGeometry(40, 30, 720, 540);
        window.show();
        window.findChild<QAction*>("actNewMail")->trigger();
        EXPECT_EQ(recorder->Count("QvInspectorOpen"), 1);
        EXPECT_NE(app->ActiveInspector(), nullptr);
        // The mail window opens over the explorer.
        QWidget* mail = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == "inspector") {
                mail = top;
            }
        }
        ASSERT_TRUE(mail);
        EXPECT_EQ(mail->frameGeometry().center(), window.frameGeometry().center());
        // What is typed goes to To.
        ASSERT_TRUE(QTest::qWaitForWindowActive(mail));
        ASSERT_EQ(QApplication::focusWidget(), mail->findChild<QLineEdit*>("txtTo"));
        QTest::keyClicks(QApplication::focusWidget(), "lead@example.com");
        EXPECT_EQ(mail->findChild<QLineEdit*>("txtTo")->text(), "lead@example.com");

        EXPECT_TRUE(window.ShowFolder("\\\\Personal Folders\\Clients\\Globex"));
        EXPECT_EQ(explorer->CurrentFolder()->Name(), "Globex");
        EXPECT_EQ(window.Items().rowCount(), 0);
        EXPECT_FALSE(window.ShowFolder("\\\\Personal Folders\\Nope"));

        window.ShowReport({"it broke", 1, "Plovanex.Test"});
        EXPECT_EQ(window.statusBar()->currentMessage(), "Plovanex.Test: it broke");

        window.show();
        window.findChild<QAction*>("actExit")->trigger();
        LetRun();
        EXPECT_TRUE(closed);
        EXPECT_EQ(recorder->Count("QvExplorerClose"), 1);
        EXPECT_EQ(recorder->Count("QvInspectorClose"), 1);
        EXPECT_EQ(app->ActiveExplorer(), nullptr);
    }
    EXPECT_EQ(recorder->Count("QvExplorerClose"), 1);
}

// A note shows its first line after its source, if any, in the status bar;
// the tooltip holds it whole until the note goes.
TEST_F(ExplorerTest, NoteInTheStatusBar) {
    auto ns = app->GetNamespace("MAPI");
    host::ExplorerWindow window(*modules,
                                app->OpenExplorer(ns->GetDefaultFolder(outlook::olFolderInbox)));
    auto* bar = window.findChild<QStatusBar*>("statusBar");
    ASSERT_TRUE(bar);
    const struct {
        ostrevane::Report note;
        const char* shown;
        const char* tip;
    } cases[] = {
        {{"it broke", 0, "Plovanex.Test"}, "Plovanex.Test: it broke", "Plovanex.Test: it broke"},
        {{"it broke", 0, ""}, "it broke", "it broke"},
        {{"first\nsecond", 0, "Plovanex.Test"},
         "Plovanex.Test: first",
         "Plovanex.Test: first\nsecond"},
        {{"first\r\nsecond\nthird", 0, ""}, "first", "first\r\nsecond\nthird"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note.message);
        window.ShowReport(c.note);
        EXPECT_EQ(bar->currentMessage().toStdString(), c.shown);
        EXPECT_EQ(bar->toolTip().toStdString(), c.tip);
    }
    bar->clearMessage();
    EXPECT_TRUE(bar->toolTip().isEmpty());
}

// The explorer's tree follows another process and keeps what is selected
// and expanded; when the selected folder goes, or one above it, the folder
// above the rows that go is selected and the item list follows.
TEST_F(FolderTreeFollowTest, ExplorerKeepsSelectionAndExpansion) {
    auto ns = app->GetNamespace("MAPI");
    auto explorer = app->OpenExplorer(ns->GetDefaultFolder(outlook::olFolderInbox));
    kit.Add(kProjects, {.subject = "plan"});
    host::ExplorerWindow window(*modules, explorer);
    auto* tree = window.findChild<QTreeView*>("treeFolders");
    ASSERT_TRUE(tree);
    auto* model = dynamic_cast<host::FolderTreeModel*>(tree->model());
    ASSERT_TRUE(model);
    window.show();
    ASSERT_TRUE(window.ShowFolder(kApollo));
    tree->expand(model->IndexOfPath(kClients));
    const QPersistentModelIndex clients = model->IndexOfPath(kClients);
    const QPersistentModelIndex projects = model->IndexOfPath(kProjects);
    ASSERT_TRUE(tree->isExpanded(projects));
    auto current = [&] {
        auto folder = model->Folder(tree->currentIndex());
        return folder ? folder->FolderPath() : std::string("(none)");
    };

    // Another process adds a folder; the next look shows it.
    ASSERT_EQ(Ostrevane({"folder", "add", kClients, "Initech"}).exitCode, 0);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return Names(*model, clients) == std::vector<std::string>{"Acme", "Globex", "Initech"};
        },
        10000));
    EXPECT_TRUE(tree->isExpanded(clients));

    const struct {
        const char* what;
        const char* select;  // before the change; none: as it is
        std::function<void()> change;
        std::string current;
        std::vector<std::string> items;
    } steps[] = {
        {"a folder above the selection removed",
         nullptr,
         [&] { other->DeleteFolder(kit.FolderId(kClients)); },
         kApollo,
         {}},
        {"the selected folder renamed",
         nullptr,
         [&] { other->RenameFolder(kit.FolderId(kApollo), "Apollo II"); },
         std::string(kProjects) + "\\Apollo II",
         {}},
        {"the selected folder removed",
         nullptr,
         [&] { other->DeleteFolder(kit.FolderId(std::string(kProjects) + "\\Apollo II")); },
         kProjects,
         {"plan"}},
        {"a folder above the selected one removed",
         kZephyr,
         [&] { other->DeleteFolder(kit.FolderId(kProjects)); },
         kPersonal,
         {}},
        {"the selected store removed",
         kTeamInbox,
         [&] { other->RemoveStore(other->Folder(kit.FolderId(kTeamInbox)).storeId); },
         kPersonal,
         {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.select) {
            ASSERT_TRUE(window.ShowFolder(step.select));
        }
        step.change();
        model->Refresh();
        EXPECT_EQ(current(), step.current);
        EXPECT_EQ(explorer->CurrentFolder()->FolderPath(), step.current);
        EXPECT_EQ(window.windowTitle().toStdString(),
                  step.current.substr(step.current.rfind('\\') + 1) + " - Ostrevane");
        std::vector<std::string> items;
        for (int row = 0; row < window.Items().rowCount(); ++row) {
            items.push_back(window.Items().index(row, 0).data().toString().toStdString());
        }
        EXPECT_EQ(items, step.items);
        if (projects.isValid()) {
            EXPECT_TRUE(tree->isExpanded(projects));
        }
    }
    EXPECT_FALSE(projects.isValid());
}

// Exit asks for each changed mail window; Cancel stops it with the windows
// open, and the answers to the next try save one mail and drop the other.
TEST_F(ExplorerTest, ExitAsksForEachChangedMailWindow) {
    using namespace platform::widgets;
    const auto profile = kit.Profile();
    auto ns = app->GetNamespace("MAPI");
    host::ExplorerWindow window(*modules,
                                app->OpenExplorer(ns->GetDefaultFolder(outlook::olFolderInbox)));
    bool closed = false;
    window.OnClosed([&] { closed = true; });
    window.show();
    std::vector<QPointer<host::InspectorWindow>> mails;
    std::vector<mailstore::Id> ids;
    for (const char* subject : {"first", "second"}) {
        auto* mail = window.NewMail();
        ASSERT_TRUE(mail);
        mail->show();
        mail->Fill({.to = "lead@example.com", .subject = subject});
        mails.emplace_back(mail);
        ids.push_back(*profile->ItemByEntryId(mail->Item()->EntryID()));
    }
    std::vector<int> answers = {vbCancel};
    int asked = 0;
    ScopedMessageBoxHook hook([&](const std::string& prompt, int, const std::string&) {
        EXPECT_EQ(prompt, common::kSaveChangesQuestion);
        return answers.at(asked++);
    });
    window.findChild<QAction*>("actExit")->trigger();
    LetRun();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(mails[0] && mails[0]->isVisible());
    EXPECT_TRUE(mails[1] && mails[1]->isVisible());

    answers = {vbCancel, vbYes, vbNo};
    window.close();
    LetRun();
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(mails[0]);
    EXPECT_FALSE(mails[1]);
    EXPECT_EQ(profile->Item(ids[0]).subject, "first");
    EXPECT_EQ(profile->FindItem(ids[1]), std::nullopt);
}

}  // namespace

}  // namespace host_test
