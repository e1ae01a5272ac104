// Answering the add-in's folder choosers through their controls, as the
// command line does, on a stand-in chooser with the same control names.

#include "host/chooser_driver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QPointer>
#include <QTabWidget>
#include <QTimer>

#include "chooser/chooser_factory.h"
#include "host/inspector_window.h"
#include "host/tests/fake_chooser.h"
#include "host/tests/windows_fixture.h"
#include "platform/widgets/message_box.h"

namespace host_test {

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Kind = host::ChooserAnswer::Kind;

class ChooserDriverTest : public WindowsTest {
  protected:
    std::unique_ptr<FakeChooser> Chooser(FakeChooser::Setup setup) {
        return std::make_unique<FakeChooser>(app->GetNamespace("MAPI"), std::move(setup));
    }
    std::vector<std::string> notes;
    host::ChooserAnswerer::Tell tell = [this](const std::string& n) { notes.push_back(n); };
};

TEST_F(ChooserDriverTest, ParsesTheAnswer) {
    EXPECT_EQ(host::ChooserAnswer::Parse("cancel").kind, Kind::Cancel);
    EXPECT_EQ(host::ChooserAnswer::Parse("Delete").kind, Kind::Delete);
    auto folder = host::ChooserAnswer::Parse("\\\\Personal Folders\\Inbox");
    EXPECT_EQ(folder.kind, Kind::Folder);
    EXPECT_EQ(folder.path, "\\\\Personal Folders\\Inbox");
}

// Each answer on each kind of chooser: the tree where it reaches the folder,
// the search tab where it does not, and the buttons of whichever tab shows.
TEST_F(ChooserDriverTest, AnswersThroughTheControls) {
    const std::string publicPath = "\\\\Public Folders\\All Public Folders\\Announcements";
    const struct {
        const char* what;
        FakeChooser::Setup setup;
        std::string answer;
        std::string decision;
    } cases[] = {
        {"tree, two levels down",
         {.variant = 4},
         "\\\\Personal Folders\\Clients\\Acme",
         "ok:Personal Folders\\Clients\\Acme"},
        {"tree, case and backslashes as typed",
         {.variant = 4},
         "personal folders\\projects\\ZEPHYR",
         "ok:Personal Folders\\Projects\\Zephyr"},
        {"a store's top folder",
         {.variant = 4},
         "\\\\Mailbox - Team Desk",
         "ok:Mailbox - Team Desk"},
        {"search tab for what the tree lacks",
         {.variant = 4, .storesNotInTree = {"Public Folders"}},
         publicPath,
         "search:" + publicPath},
        {"cancel on the search tab", {.variant = 4}, "cancel", "cancel"},
        {"delete", {.variant = 4}, "delete", "delete"},
        {"lazy modal variant",
         {.variant = 3},
         "\\\\Personal Folders\\Archive\\2025",
         "ok:Personal Folders\\Archive\\2025"},
        {"whole-tree variant, cancel", {.variant = 2}, "cancel", "cancel"},
        {"whole-tree variant, delete", {.variant = 2}, "delete", "delete"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto chooser = Chooser(c.setup);
        chooser->show();
        if (auto* tabs = chooser->findChild<QTabWidget*>()) {
            tabs->setCurrentIndex(1);
        }
        LetRun();
        EXPECT_EQ(host::AnswerChooser(chooser.get(), host::ChooserAnswer::Parse(c.answer)), "");
        EXPECT_THAT(chooser->decisions, ElementsAre(c.decision));
        EXPECT_FALSE(chooser->isVisible());
    }
}

// A path as `folders` writes it picks its own folder, not the one its text
// spells when read raw: `T<TAB>here`, beside `T` that holds `x09here`.
TEST_F(ChooserDriverTest, AnswersWithThePathThatFoldersWrites) {
    const std::string clients = "\\\\Personal Folders\\Clients\\";
    kit.Folder(clients + "Tabhere").Folder(clients + "T\\x09here");
    kit.SetName(clients + "Tabhere", "T\there");
    const std::string path = clients + "T\\\\x09here";

    auto chooser = Chooser({.variant = 4});
    chooser->show();
    LetRun();
    EXPECT_EQ(host::AnswerChooser(chooser.get(), host::ChooserAnswer::Parse(path)), "");
    EXPECT_THAT(chooser->decisions, ElementsAre("ok:Personal Folders\\Clients\\T\there"));

    host::ChooserAnswerer answerer(host::ChooserAnswer::Parse(path), tell);
    auto picked = app->GetNamespace("MAPI")->PickFolder();
    ASSERT_TRUE(picked);
    EXPECT_EQ(picked->Name(), "T\there");
}

TEST_F(ChooserDriverTest, SaysWhatItCannotFind) {
    const std::string publicPath = "\\\\Public Folders\\Favorites";
    const struct {
        const char* what;
        int variant;
    } cases[] = {{"no search tab", 3}, {"not in the search either", 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto chooser = Chooser({.variant = c.variant, .storesNotInTree = {"Public Folders"}});
        chooser->show();
        LetRun();
        auto problem =
            host::AnswerChooser(chooser.get(), host::ChooserAnswer::Parse(publicPath + "\\Gone"));
        EXPECT_THAT(problem, HasSubstr("offers no folder at '" + publicPath + "\\Gone'"));
        EXPECT_TRUE(chooser->decisions.empty());
        EXPECT_TRUE(chooser->isVisible());
    }
}

// A modal chooser waits inside the click that opened it; it is answered in
// that wait.
TEST_F(ChooserDriverTest, AnswersAModalChooserWhileItWaits) {
    auto chooser = Chooser({.variant = 3});
    host::ChooserAnswerer answerer(host::ChooserAnswer::Parse("\\\\Personal Folders\\Inbox"), tell);
    chooser->ShowIt();
    EXPECT_THAT(chooser->decisions, ElementsAre("ok:Personal Folders\\Inbox"));
    answerer.Settle();
    EXPECT_EQ(answerer.Questions(), 1);
    EXPECT_TRUE(answerer.Failures().empty());
    EXPECT_TRUE(notes.empty());
}

TEST_F(ChooserDriverTest, WithoutAnAnswerEachQuestionIsCancelledAfterANote) {
    auto first = Chooser({.variant = 4});
    auto second = Chooser({.variant = 2});
    host::ChooserAnswerer answerer(std::nullopt, tell);
    first->ShowIt();
    second->ShowIt();
    answerer.Settle();
    EXPECT_THAT(first->decisions, ElementsAre("cancel"));
    EXPECT_THAT(second->decisions, ElementsAre("cancel"));
    EXPECT_EQ(answerer.Questions(), 2);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_THAT(notes[0], HasSubstr("without --choose it is answered with Cancel"));
    EXPECT_TRUE(answerer.Failures().empty());
}

// A chooser that neither takes its answer nor Cancel does not hold the
// command: the answerer gives up on it and says so.
TEST_F(ChooserDriverTest, AChooserThatStaysOpenIsAFailureNotAHang) {
    auto chooser = Chooser({.variant = 4, .stubborn = true});
    host::ChooserAnswerer answerer(host::ChooserAnswer::Parse("\\\\Personal Folders\\Inbox"), tell);
    chooser->ShowIt();
    answerer.Settle(500);
    EXPECT_THAT(chooser->decisions, ElementsAre("ok:Personal Folders\\Inbox", "cancel"));
    EXPECT_THAT(answerer.Failures(),
                ElementsAre(HasSubstr("did not take"), HasSubstr("could not be cancelled"),
                            HasSubstr("stayed open")));
    chooser->hide();
}

TEST_F(ChooserDriverTest, AnswersTheMailClientsFolderDialog) {
    auto ns = app->GetNamespace("MAPI");
    const struct {
        std::optional<std::string> answer;
        std::string folder;  // empty: cancelled
        bool noted;
    } cases[] = {
        {"\\\\Personal Folders\\Clients", "Clients", false},
        {"cancel", "", false},
        {"delete", "", true},
        {std::nullopt, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.value_or("none"));
        notes.clear();
        std::optional<host::ChooserAnswer> answer;
        if (c.answer) {
            answer = host::ChooserAnswer::Parse(*c.answer);
        }
        host::ChooserAnswerer answerer(answer, tell);
        auto picked = ns->PickFolder();
        EXPECT_EQ(picked ? picked->Name() : "", c.folder);
        EXPECT_EQ(answerer.Questions(), 1);
        EXPECT_EQ(notes.size(), c.noted ? 1u : 0u);
    }
    EXPECT_THROW(ns->PickFolder(), std::exception);
}

// Closing an item window cancels the question its click opened, and only
// its own: a later click elsewhere that shows the same chooser takes it over.
TEST_F(ChooserDriverTest, ClosingAWindowCancelsItsOwnQuestion) {
    platform::widgets::ScopedMessageBoxHook notSaved(
        [](const std::string&, int, const std::string&) { return platform::widgets::vbNo; });
    auto chooser = Chooser({.variant = 4});
    recorder->onButton = [&] { chooser->ShowIt(); };
    auto open = [&](const std::string& subject) {
        auto window =
            std::make_unique<host::InspectorWindow>(*modules, app->CreateItem(outlook::olMailItem));
        window->Fill({.to = "lead@example.com", .subject = subject});
        window->show();
        return window;
    };
    auto first = open("first");
    auto second = open("second");
    EXPECT_EQ(first->ClickButton(RecordingModule::kButton), std::nullopt);
    EXPECT_EQ(first->OpenQuestion(), chooser.get());
    chooser->hide();
    EXPECT_EQ(first->OpenQuestion(), nullptr);

    EXPECT_EQ(first->ClickButton(RecordingModule::kButton), std::nullopt);
    EXPECT_EQ(second->ClickButton(RecordingModule::kButton), std::nullopt);
    EXPECT_EQ(first->OpenQuestion(), nullptr);
    EXPECT_EQ(second->OpenQuestion(), chooser.get());
    first->close();
    EXPECT_TRUE(chooser->decisions.empty());
    second->close();
    EXPECT_THAT(chooser->decisions, ElementsAre("cancel"));
    EXPECT_FALSE(chooser->isVisible());
}

// A modal chooser waits inside the click; the window closed meanwhile
// cancels it and is deleted only once the click is over.
TEST_F(ChooserDriverTest, ClosingAWindowWhileItsModalQuestionWaits) {
    auto chooser = Chooser({.variant = 3});
    recorder->onButton = [&] { chooser->ShowIt(); };
    platform::widgets::ScopedMessageBoxHook notSaved(
        [](const std::string&, int, const std::string&) { return platform::widgets::vbNo; });
    auto* window = new host::InspectorWindow(*modules, app->CreateItem(outlook::olMailItem));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->Fill({.to = "lead@example.com", .subject = "closed while asked"});
    window->show();
    QPointer<host::InspectorWindow> alive(window);
    QTimer::singleShot(50, window, [window] { window->close(); });
    EXPECT_EQ(window->ClickButton(RecordingModule::kButton), std::nullopt);
    EXPECT_THAT(chooser->decisions, ElementsAre("cancel"));
    EXPECT_TRUE(alive);
    LetRun();
    EXPECT_FALSE(alive);
    EXPECT_EQ(recorder->Count("QvInspectorClose"), 1);
}

// The real modal choosers take the driver's answers by their control names:
// ShowIt returns with the folder picked, or False for Cancel.
TEST_F(ChooserDriverTest, AnswersTheRealModalChoosers) {
    using Variant = plovanex::ChooserVariant;
    const struct {
        Variant variant;
        const char* answer;
        bool ok;
        std::string folder;  // empty: no record
    } cases[] = {
        {Variant::WholeTree, "\\\\Personal Folders\\Clients\\Acme", true, "Acme"},
        {Variant::LazyModal, "\\\\Personal Folders\\Projects\\Apollo", true, "Apollo"},
        {Variant::WholeTree, "delete", true, "Deleted Items"},
        {Variant::LazyModal, "cancel", false, ""},
    };
    const auto factory = plovanex::MakeChooserFactory();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        auto chooser = factory(c.variant);
        chooser->SetApplication(app);
        chooser->SetSingleFolderOnly(true);
        chooser->SetFolderList(std::make_shared<ostrevane::FolderList>());
        host::ChooserAnswerer answerer(host::ChooserAnswer::Parse(c.answer), tell);
        EXPECT_EQ(chooser->ShowIt(), c.ok);
        answerer.Settle();
        EXPECT_EQ(answerer.Questions(), 1);
        EXPECT_TRUE(answerer.Failures().empty());
        const auto list = chooser->folderList();
        ASSERT_TRUE(list);
        if (c.folder.empty()) {
            EXPECT_TRUE(list->empty());
        } else {
            ASSERT_EQ(list->size(), 1u);
            EXPECT_EQ(list->front()->FolderName, c.folder);
        }
        chooser->Terminate();
        chooser->Unload();
        LetRun();
    }
}

}  // namespace

}  // namespace host_test
