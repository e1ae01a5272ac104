// The host's windows with the built add-in loaded, as a person uses them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "common/settings_keys.h"
#include "host/chooser_driver.h"
#include "host/explorer_window.h"
#include "host/gui.h"
#include "host/inspector_window.h"
#include "host/item_list_model.h"
#include "host/message_window.h"
#include "host/options_dialog.h"
#include "host/tests/windows_fixture.h"
#include "indexer/global.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/settings/settings_store.h"
#include "platform/widgets/message_box.h"

namespace host_test {

namespace {

namespace fs = std::filesystem;
namespace keys = common::keys;
using ::testing::ElementsAre;

class AddInWindowsTest : public WindowsTest, protected testkit::DemoPaths {
  protected:
    void SetUp() override {
        WindowsTest::SetUp();
        // The built add-in alone.
        host::ShutdownModules(*modules);
        modules = std::make_unique<host::ModuleHost>(app);
        // The index as the builder writes it, so that the search tab has it
        // and no index builder is asked for.
        const fs::path bin = fs::path(PLOVANEX_LIBRARY).parent_path();
        const fs::path data = ostrevane::SettingsHelper().GetDataFolder(0);
        fs::copy_file(bin / "FolderList.xml", data / "FolderList.xml");
        Set(keys::DelayLength, "0");
        Set(keys::KeepGoingWanted, "1");
        kestrune::BuildIndex();
        ASSERT_THAT(host::InstallModule(PLOVANEX_LIBRARY), ElementsAre("CPlovanex"));
        modules->Startup();
        explorer = std::make_unique<host::ExplorerWindow>(
            *modules,
            app->OpenExplorer(app->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox)));
    }
    void TearDown() override {
        explorer.reset();
        WindowsTest::TearDown();
    }
    void Set(const std::string& key, const std::string& value) {
        platform::settings::SaveSetting("Ostrevane", "Plovanex", key, value);
    }
    std::string Get(const std::string& key) {
        return platform::settings::GetSetting("Ostrevane", "Plovanex", key, "");
    }
    void SetFolder(const std::string& path, const std::string& stem) {
        auto& p = *kit.Profile();
        auto row = p.Folder(kit.FolderId(path));
        Set(stem + "Name", p.FolderPath(row.id).substr(2));
        Set(stem + "EntryId", row.entryId);
        Set(stem + "StoreId", p.Store(row.storeId).entryId);
    }
    std::vector<std::string> Listed() {
        std::vector<std::string> out;
        auto& items = explorer->Items();
        for (int row = 0; row < items.rowCount(); ++row) {
            out.push_back(items.index(row, 0).data().toString().toStdString());
        }
        return out;
    }
    host::InspectorWindow* Compose(const std::string& subject) {
        auto* window = explorer->NewMail();
        window->Fill({.to = "lead@example.com", .subject = subject});
        window->show();
        return window;
    }

    // The folder chooser on screen, or nothing.
    static QWidget* Chooser() {
        auto open = host::OpenChoosers();
        return open.empty() ? nullptr : open.front();
    }
    static std::string SubjectAsked(QWidget* chooser) {
        return chooser->findChild<QLineEdit*>("txtSubject")->text().toStdString();
    }
    // Sends the mail of the window by its Send And File button.
    void SendAndFile(host::InspectorWindow* window) {
        ASSERT_EQ(window->ClickButton("Send And File"), std::nullopt);
        ASSERT_TRUE(Chooser());
    }
    int Cancels() {
        auto texts = home.Capture().Texts();
        return static_cast<int>(std::count(texts.begin(), texts.end(),
                                           "IOFoldersCollection.Count: 0 (0 = cancel selected)"));
    }

    std::unique_ptr<host::ExplorerWindow> explorer;
};

// The add-in moves the sent mail to the default folder; the list of the
// folder on show gets it at once, and Sent Items no longer lists it.
TEST_F(AddInWindowsTest, TheListShowsAMailTheAddInMoved) {
    SetFolder(kArchive, "MoveToFolder");
    ASSERT_TRUE(explorer->ShowFolder(kArchive));
    EXPECT_TRUE(Listed().empty());
    auto* window = Compose("Filed by the default folder");
    window->findChild<QPushButton*>("cmdSend")->click();
    LetRun();
    EXPECT_THAT(Listed(), ElementsAre("Filed by the default folder"));
    EXPECT_THAT(FoldersWith("Filed by the default folder"), ElementsAre(kArchive));
    ASSERT_TRUE(explorer->ShowFolder(kSentItems));
    EXPECT_TRUE(Listed().empty());
    EXPECT_TRUE(home.Capture().Reports().empty());
}

// The add-in's menu entry comes below version 12 only; the version is the
// one the host was told.
TEST_F(AddInWindowsTest, TheMenuEntryFollowsTheVersion) {
    const struct {
        const char* version;
        bool menu;
    } cases[] = {{"9.0.0.3821", true}, {"11.0.8217", true}, {"12.0.4518", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        app->SetVersion(c.version);
        auto* window = Compose("versions");
        auto* toolbar = window->findChild<QToolBar*>("toolbarModules");
        ASSERT_TRUE(toolbar);
        ASSERT_EQ(toolbar->actions().size(), 1);
        EXPECT_EQ(toolbar->actions()[0]->text(), "Send And File");
        QMenu* actions = window->findChild<QMenu*>("menuActions");
        EXPECT_EQ(actions != nullptr, c.menu);
        if (actions) {
            EXPECT_EQ(actions->title(), "&Actions");
            ASSERT_EQ(actions->actions().size(), 1);
            EXPECT_EQ(actions->actions()[0]->text(), "Send And File");
        }
        window->close();
        LetRun();
    }
}

// A second question while the first is open gets no dialog: the mode loop
// goes on to its next slot, and the open question still asks about the
// first mail.
TEST_F(AddInWindowsTest, ASecondQuestionWhileOneIsOpenGoesToTheNextMode) {
    Set(keys::PromptOutlookFolder, "True");
    Set(keys::Order(2), std::to_string(keys::ModeKeyword));
    Set(keys::RuleValueName(5, keys::Keywords), "Acme");
    Set(keys::RuleValueName(5, keys::KeywordFolderCount), "1");
    {
        auto& p = *kit.Profile();
        auto row = p.Folder(kit.FolderId(kAcme));
        Set(keys::RuleValueName(5, keys::KeywordFolderName, 1), "Personal Folders\\Clients\\Acme");
        Set(keys::RuleValueName(5, keys::KeywordFolderEntryId, 1), row.entryId);
        Set(keys::RuleValueName(5, keys::KeywordFolderStoreId, 1), p.Store(row.storeId).entryId);
    }
    Compose("first question")->findChild<QPushButton*>("cmdSend")->click();
    LetRun();
    QWidget* chooser = Chooser();
    ASSERT_TRUE(chooser);
    EXPECT_EQ(SubjectAsked(chooser), "first question");

    Compose("Acme second")->findChild<QPushButton*>("cmdSend")->click();
    LetRun();
    EXPECT_THAT(FoldersWith("Acme second"), ElementsAre(kAcme));
    EXPECT_EQ(Chooser(), chooser);
    EXPECT_EQ(SubjectAsked(chooser), "first question");

    EXPECT_EQ(host::AnswerChooser(chooser, host::ChooserAnswer::Parse(kGlobex)), "");
    EXPECT_THAT(FoldersWith("first question"), ElementsAre(kGlobex));
    EXPECT_THAT(FoldersWith("Acme second"), ElementsAre(kAcme));
}

// Closing a mail window whose Send And File question is open cancels the
// question; the mail of the closed window is never sent, not even by the
// answer to a later question.
TEST_F(AddInWindowsTest, ClosingAWindowCancelsItsQuestion) {
    platform::widgets::ScopedMessageBoxHook notSaved(
        [](const std::string&, int, const std::string&) { return platform::widgets::vbNo; });
    auto* closing = Compose("closed window");
    auto item = closing->Item();
    SendAndFile(closing);
    EXPECT_EQ(closing->OpenQuestion(), Chooser());
    closing->close();
    LetRun();
    EXPECT_EQ(Chooser(), nullptr);
    EXPECT_EQ(Cancels(), 1);
    EXPECT_FALSE(item->Sent());

    auto* other = Compose("open window");
    SendAndFile(other);
    EXPECT_EQ(SubjectAsked(Chooser()), "open window");
    EXPECT_EQ(host::AnswerChooser(Chooser(), host::ChooserAnswer::Parse(kAcme)), "");
    LetRun();
    EXPECT_THAT(FoldersWith("open window"), ElementsAre(kAcme));
    EXPECT_FALSE(item->Sent());
    EXPECT_THAT(FoldersWith("closed window"), ElementsAre("\\\\Personal Folders\\Drafts"));
    EXPECT_TRUE(home.Capture().Reports().empty());
}

// A folder made after the chooser loaded that level of its tree is not in
// the tree: the answer is typed on the search tab instead.
TEST_F(AddInWindowsTest, WhatTheTreeLacksIsFoundOnTheSearchTab) {
    SendAndFile(Compose("before"));
    EXPECT_EQ(host::AnswerChooser(Chooser(), host::ChooserAnswer::Parse(kAcme)), "");
    LetRun();
    // OK writes the tab it was pressed on.
    EXPECT_EQ(Get(keys::LastFolderTabShown), "0");
    const std::string initech = "\\\\Personal Folders\\Clients\\Initech";
    auto& p = *kit.Profile();
    p.AddFolder(kit.FolderId("\\\\Personal Folders\\Clients"), "Initech");
    Set(keys::DelayLength, "0");
    Set(keys::KeepGoingWanted, "1");
    kestrune::BuildIndex();

    SendAndFile(Compose("after"));
    EXPECT_EQ(host::AnswerChooser(Chooser(), host::ChooserAnswer::Parse(initech)), "");
    LetRun();
    EXPECT_THAT(FoldersWith("after"), ElementsAre(initech));
    EXPECT_EQ(Get(keys::LastFolderTabShown), "1");
}

// An error of the add-in while the user works in its windows shows in the
// message window, above the window in front: a stored tab that is no number
// keeps the chooser from opening over the mail window, and a new folder with
// a name that is taken closes the name dialog over the chooser.
TEST_F(AddInWindowsTest, AnErrorShowsAboveTheWindowInFront) {
    host::ScopedMessageWindow messages;
    explorer->show();
    const struct {
        const char* name;
        const char* source;
        // Does what fails; gives the window that is then in front.
        std::function<QWidget*()> fail;
    } cases[] = {
        {"stored tab abc", "frmChooseOutlookFolders4.ChooseOutlookFolders",
         [this]() -> QWidget* {
             Set(keys::LastFolderTabShown, "abc");
             auto* mail = Compose("tab abc");
             LetRun();
             EXPECT_EQ(mail->ClickButton("Send And File"), std::nullopt);
             LetRun();
             EXPECT_EQ(Chooser(), nullptr);
             Set(keys::LastFolderTabShown, "0");
             return mail;
         }},
        {"new folder name taken", "Plovanex.NewFolder",
         [this]() -> QWidget* {
             SendAndFile(Compose("name taken"));
             LetRun();
             QWidget* chooser = Chooser();
             auto* tree = chooser->findChild<QAbstractItemView*>("TreeView1");
             EXPECT_TRUE(tree);
             const auto found = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole,
                                                     "Personal Folders", 1, Qt::MatchExactly);
             EXPECT_EQ(found.size(), 1);
             const QModelIndex store = found.value(0);
             tree->scrollTo(store);
             LetRun();
             QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                               tree->visualRect(store).center());
             QTimer::singleShot(0, [] {
                 QWidget* dialog = QApplication::activeModalWidget();
                 ASSERT_TRUE(dialog);
                 dialog->findChild<QLineEdit*>("txtNewOutlookFolderName")->setText("Inbox");
                 dialog->findChild<QPushButton*>("cmdOk")->click();
             });
             chooser->findChild<QPushButton*>("cmdNewFolder")->click();
             LetRun();
             EXPECT_EQ(Chooser(), chooser);
             return chooser;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        home.Capture().Clear();
        QWidget* front = c.fail();
        ASSERT_TRUE(front);
        auto& window = messages.Window();
        EXPECT_TRUE(window.isVisible());
        auto* errors = window.findChild<QListView*>("lstErrors")->model();
        ASSERT_EQ(errors->rowCount(), 1);
        EXPECT_THAT(errors->index(0, 0).data().toString().toStdString(),
                    ::testing::StartsWith(std::string(c.source) + ": "));
        ASSERT_TRUE(window.windowHandle());
        EXPECT_EQ(window.windowHandle()->transientParent(), front->windowHandle());
        ASSERT_EQ(home.Capture().Reports().size(), 1u);
        EXPECT_EQ(home.Capture().Reports()[0].code, 1);
        window.close();
        if (QWidget* chooser = Chooser()) {
            host::AnswerChooser(chooser, host::ChooserAnswer::Parse("cancel"));
        }
        LetRun();
    }
}

// Tools > Options holds the registered options page; a second use shows the
// same dialog, and closing the explorer closes it.
TEST_F(AddInWindowsTest, ToolsOptionsShowsTheRegisteredPages) {
    std::vector<std::string> pages;
    host::InstallModule(fs::path(PLOVANEX_LIBRARY).parent_path() / "libPlovanexProp.so", &pages);
    ASSERT_THAT(pages, ElementsAre("UC1"));
    explorer->show();
    explorer->findChild<QAction*>("actOptions")->trigger();
    host::OptionsDialog* dialog = explorer->ShowOptions();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Pages().size(), 1u);
    EXPECT_EQ(dialog->findChild<QTabWidget*>("tabPages")->count(), 1);
    QPointer<host::OptionsDialog> open(dialog);
    explorer->close();
    LetRun();
    EXPECT_FALSE(open);
}

}  // namespace

}  // namespace host_test
