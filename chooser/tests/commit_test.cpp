// The roads out of the search chooser, and the bad input it must survive.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QListView>
#include <QTabWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "chooser/tests/chooser_fixture.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "platform/settings/settings_store.h"

namespace chooser_test {
namespace {

namespace keys = common::keys;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Eq;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class CommitTest : public ChooserTest {
  protected:
    void SetUp() override {
        BuildIndex();
        SetMru(1, kGlobex);
        SetMru(2, kApollo);
        home.Capture().Clear();
    }
};

// Every road raises FoldersChosen once, hides the form, and leaves the tab
// and the recently used list as its road says.
TEST_F(CommitTest, EachRoadRaisesOneDecision) {
    using Records = std::vector<ostrevane::FolderRecord>;
    const ostrevane::FolderRecord apolloEntry{kApollo, Record(kApollo).EntryID,
                                              Record(kApollo).StoreID};
    struct Road {
        const char* name;
        std::function<void()> act;
        Records answer;
        const char* tab;  // LastFolderTabShown afterwards
        std::vector<std::string> mru;
    };
    const std::vector<std::string> before{kGlobex, kApollo};
    const std::vector<Road> roads = {
        {"OK on the tree",
         [&] {
             ShowTab(0);
             ClickNode("Personal Folders\\Clients\\Acme");
             Click("cmdOk");
         },
         {Record(kAcme)},
         "0",
         {kAcme, kGlobex, kApollo}},
        {"tree double click",
         [&] {
             ShowTab(0);
             DoubleClickNode("Personal Folders\\Clients\\Acme");
         },
         {Record(kAcme)},
         "0",
         {kAcme, kGlobex, kApollo}},
        {"OK on the search tab",
         [&] {
             ShowTab(1);
             TypeSearch("acme");
             PickLine(kAcme);
             Click("cmdSelectedFolderOK");
         },
         {Record(kAcme)},
         "1",
         {kAcme, kGlobex, kApollo}},
        {"search double click",
         [&] {
             ShowTab(1);
             TypeSearch("Acme");
             PickLine(kAcme, true);
         },
         {Record(kAcme)},
         "1",
         {kAcme, kGlobex, kApollo}},
        {"MRU double click, first tab",
         [&] {
             ShowTab(0);
             DoubleClick("txtMRUFolder2");
         },
         {apolloEntry},
         "0",
         before},
        {"MRU double click, second tab",
         [&] {
             ShowTab(1);
             DoubleClick("txtMRU2Folder2");
         },
         {apolloEntry},
         "1",
         before},
        {"Cancel", [&] { Click("cmdCancel"); }, {}, "<absent>", before},
        {"Cancel on the search tab",
         [&] {
             ShowTab(1);
             Click("cmdSelectedFolderCancel");
         },
         {},
         "<absent>",
         before},
        {"Delete The Email",
         [&] { Click("cmdDeleteTheEmail"); },
         {Record(kDeleted)},
         "<absent>",
         before},
        {"Delete The Email, search tab",
         [&] {
             ShowTab(1);
             Click("cmdDeleteTheEmail2");
         },
         {Record(kDeleted)},
         "<absent>",
         before},
        {"frame close", [&] { Form().close(); }, {}, "<absent>", before},
    };
    for (const auto& road : roads) {
        SCOPED_TRACE(road.name);
        NewChooser();
        answers.clear();
        auto& store = platform::settings::Default();
        const auto appName = plovanex::Helper().SettingsAppName();
        if (store.Find(appName, keys::SectionPlovanex, keys::LastFolderTabShown)) {
            store.Delete(appName, keys::SectionPlovanex, keys::LastFolderTabShown);
        }
        SetMru(1, kGlobex);
        SetMru(2, kApollo);
        for (int n = 3; n <= keys::MRUCount; ++n) {
            Set(keys::MRUFolder(n), "");
        }
        ASSERT_TRUE(Ask());
        ASSERT_TRUE(chooser->Showing());
        road.act();
        ASSERT_EQ(answers.size(), 1u);
        ASSERT_TRUE(answers[0]);
        EXPECT_EQ(*answers[0], road.answer);
        EXPECT_FALSE(Form().isVisible());
        EXPECT_FALSE(chooser->Showing());
        EXPECT_EQ(Get(keys::LastFolderTabShown), road.tab);
        EXPECT_EQ(MruList(), road.mru);
        EXPECT_THAT(Reports(), IsEmpty());
        EXPECT_THAT(boxes, IsEmpty());
        // A stray click after the decision raises nothing.
        Click("cmdCancel");
        EXPECT_EQ(answers.size(), 1u);
    }
}

// An owner may let the chooser go inside its own FoldersChosen.
TEST_F(CommitTest, OwnerMayDropTheChooserInsideItsHandler) {
    chooser->SetFoldersChosenHandler([this](ostrevane::FolderListPtr& list) {
        answers.emplace_back(std::vector<ostrevane::FolderRecord>{});
        EXPECT_TRUE(list);
        chooser.reset();
    });
    ASSERT_TRUE(Ask());
    QWidget* form = &Form();
    Click("cmdCancel");
    EXPECT_EQ(answers.size(), 1u);
    EXPECT_FALSE(chooser);
    EXPECT_FALSE(form->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(QApplication::topLevelWidgets().indexOf(form) < 0);
}

TEST_F(CommitTest, OkOnTheSearchTabWithoutALineCommitsTheTree) {
    ASSERT_TRUE(Ask());
    ShowTab(1);
    TypeSearch("Acme");
    Click("cmdSelectedFolderOK");
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_THAT(*answers[0], ElementsAre(Record(kInbox)));
    EXPECT_EQ(Get(keys::LastFolderTabShown), "1");
    EXPECT_EQ(MruList(), (std::vector<std::string>{kInbox, kGlobex, kApollo}));
}

// A pick already listed keeps the order, and is the node found again at
// the next show.
TEST_F(CommitTest, PickOfAListedFolderKeepsTheOrderAndIsSelectedNextTime) {
    ASSERT_TRUE(Ask());
    // The user has opened the branch: the next show finds the node again.
    ASSERT_TRUE(NodeAt("Personal Folders\\Projects\\Apollo"));
    ShowTab(1);
    TypeSearch("Apollo");
    PickLine(kApollo, true);
    EXPECT_EQ(MruList(), (std::vector<std::string>{kGlobex, kApollo}));
    EXPECT_THAT(Lines("ChooseOutlookFolder"),
                ElementsAre(std::string("Comparing ") + kApollo + " and " + kGlobex,
                            std::string("Comparing ") + kApollo + " and " + kApollo,
                            "Found it in the list"));
    ShowTab(0);
    Ask();
    EXPECT_THAT(Lines("ShowIt"), testing::Contains(std::string("Last folder chosen: ") + kApollo));
    ASSERT_TRUE(Tree().SelectedItem());
    EXPECT_EQ(Tree().SelectedItem()->FullPath(), "Personal Folders\\Projects\\Apollo");
}

// With no node selected OK gives the owner an empty list and leaves the
// recently used list as it was.
TEST_F(CommitTest, OkWithoutASelectedNodeSparesTheList) {
    ASSERT_TRUE(Ask());
    ShowTab(0);
    Tree().SetSelectedItem(nullptr);
    Click("cmdOk");
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_THAT(*answers[0], IsEmpty());
    EXPECT_EQ(MruList(), (std::vector<std::string>{kGlobex, kApollo}));
}

// In several-folder mode a selected folder whose subtree is all ticked and
// has no nodes below it brings its direct subfolders after its own record.
TEST_F(CommitTest, SeveralFoldersBringDirectSubfolders) {
    ASSERT_TRUE(Ask(false));
    EXPECT_EQ(Form().windowTitle(), "Choose Folder(s)");
    kit.Folder("\\\\Personal Folders\\Inbox\\Later")
        .Folder("\\\\Personal Folders\\Inbox\\Later\\Deep");
    kit.Folder("\\\\Personal Folders\\Inbox\\Soon");
    auto inbox = NodeAt("Personal Folders\\Inbox");
    ASSERT_TRUE(inbox);
    ASSERT_EQ(inbox->Children(), 0);
    inbox->SetChecked(true);
    Click("cmdOk");
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_THAT(*answers[0],
                ElementsAre(Record(kInbox), Record("\\\\Personal Folders\\Inbox\\Later"),
                            Record("\\\\Personal Folders\\Inbox\\Soon")));
}

TEST_F(CommitTest, FirstTabCommitsAnEntryWithoutLookingItUp) {
    Set(keys::MRUEntryId(2), "DEADBEEF");
    ASSERT_TRUE(Ask());
    ShowTab(0);
    DoubleClick("txtMRUFolder2");
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_THAT(*answers[0],
                ElementsAre(ostrevane::FolderRecord{kApollo, "DEADBEEF", Record(kApollo).StoreID}));
    EXPECT_THAT(boxes, IsEmpty());
}

// Bad input gives its report or warning, raises nothing of itself, and
// leaves the dialog to end by Cancel with one empty decision.
TEST_F(CommitTest, BadInputLeavesTheDialogUsable) {
    using Reports_ = std::vector<ostrevane::Report>;
    const std::string closed = "Operation is not allowed when the object is closed.";
    auto loadFailure = [&](long step, const std::string& reason) {
        return Reports_{{"Error occurred at line " + std::to_string(step) + ".  Reason: " + reason,
                         1, "Plovanex.LoadFolderList"},
                        {"Error occurred.  Reason: " + closed, 1, "Plovanex.txtSearchFor_Change"}};
    };
    const std::string file = IndexPath();
    const std::string fullIndex = [&] {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    const std::string firstRow = "<z:row FullName='Inbox'";
    struct Case {
        const char* name;
        std::function<void()> before;  // ahead of the show
        std::function<void()> act;     // with the dialog open
        std::function<void(const Reports_&)> reports;
        std::vector<std::string> boxes{};
        std::vector<std::string> warnings{};  // ShowIt's log lines
    };
    auto expectReports = [](Reports_ expected) {
        return [expected](const Reports_& got) { EXPECT_EQ(got, expected); };
    };
    auto expectLoadParse = [&](const Reports_& got) {
        ASSERT_EQ(got.size(), 2u);
        EXPECT_THAT(got[0].message, HasSubstr("Error occurred at line 4.  Reason: Recordset "
                                              "cannot be created"));
        EXPECT_EQ(got[0].source, "Plovanex.LoadFolderList");
        EXPECT_EQ(got[1], loadFailure(4, "")[1]);
    };
    auto typeSomething = [&] {
        ShowTab(1);
        TypeSearch("a");
        EXPECT_THAT(SearchLines(), IsEmpty());
    };
    const std::string notFound =
        "Plovanex: Folder not found or permission not granted.  Please select another folder or "
        "choose Cancel and manually file this email.";
    std::vector<Case> cases = {
        {"index missing", [&] { std::filesystem::remove(file); }, typeSomething,
         expectReports(loadFailure(4, "The file \"" + file + "\" could not be opened."))},
        {"index empty", [&] { WriteIndex(""); }, typeSomething, expectLoadParse},
        {"index damaged", [&] { WriteIndex("<xml><rs:data>\x01\x02</xml"); }, typeSomething,
         expectLoadParse},
        {"index truncated in a row",
         [&] { WriteIndex(fullIndex.substr(0, fullIndex.find(firstRow) + firstRow.size() - 4)); },
         typeSomething, expectLoadParse},
        {"index without rows",
         [&] {
             std::filesystem::copy_file(
                 std::filesystem::path(file).parent_path() / "FolderList.xml", file,
                 std::filesystem::copy_options::overwrite_existing);
         },
         [&] {
             // The recordset is open, only empty: a search finds nothing.
             ShowTab(1);
             TypeSearch("a");
             EXPECT_THAT(SearchLines(), IsEmpty());
         },
         expectReports({loadFailure(
             5, "Either BOF or EOF is True: the operation requires a current record.")[0]})},
        {"index lists a folder that is gone",
         [&] {
             std::string text = fullIndex;
             text.replace(text.find("Clients\\Acme'"), 12, "Clients\\Gone");
             WriteIndex(text);
         },
         [&] {
             ShowTab(1);
             TypeSearch("Acme");
             PickLine("\\\\Personal Folders\\Clients\\Gone", true);
         },
         expectReports({{"Error occurred.  Could not retrieve folder from path "
                         "'\\\\Personal Folders\\Clients\\Gone'",
                         1, "Plovanex.cmdSelectedFolderOK"}}),
         {notFound}},
        {"folder name holding a backslash",
         [&] {
             // Past the profile's checks, as an older profile may hold it.
             kit.Folder("\\\\Personal Folders\\R D").SetName("\\\\Personal Folders\\R D", "R\\D");
             BuildIndex();
         },
         [&] {
             ShowTab(1);
             TypeSearch("R\\D");
             EXPECT_THAT(SearchLines(), ElementsAre("\\\\Personal Folders\\R\\D"));
             PickLine("\\\\Personal Folders\\R\\D", true);
         },
         expectReports({{"Error occurred.  Could not retrieve folder from path "
                         "'\\\\Personal Folders\\R\\D'",
                         1, "Plovanex.cmdSelectedFolderOK"}}),
         {notFound}},
        {"MRU entry whose ids name a deleted folder",
         [&] { Set(keys::MRUEntryId(2), "DEADBEEF"); },
         [&] {
             ShowTab(1);
             DoubleClick("txtMRU2Folder2");
         },
         expectReports(
             {{std::string("Error occurred.  Could not retrieve folder from MRU List: '") +
                   kApollo + "'",
               1, "Plovanex.cmdSelectedFolderOK"}}),
         {"Plovanex: Folder permission not granted or folder not found.  Please select another "
          "folder or choose Cancel and manually file this email."}},
    };
    // The profile changes under the form: the store of the last folder is
    // gone when the tree is loaded again.
    testkit::ProfileBuilder other("Other");
    other.Store("Personal Folders", "Other", "other@example.com")
        .Folder("\\\\Personal Folders\\Inbox", 0, mailstore::role::kInbox);
    const auto mainApp = app;
    cases.push_back(
        {"last folder's store gone",
         [&, this] {
             ASSERT_TRUE(Ask());
             ShowTab(0);
             ClickNode("Mailbox - Team Desk\\Inbox");
             Click("cmdOk");
             app = outlook::CreateApplication(other.Profile(), "11.0.8217");
             SetHalvox(keys::FlushOutlookFolderCachePlovanex, "True");
         },
         [&, this] {
             auto selected = Tree().SelectedItem();
             ASSERT_TRUE(selected);
             EXPECT_EQ(selected->FullPath(), "Personal Folders\\Inbox");
             EXPECT_TRUE(selected->Bold());
             EXPECT_EQ(
                 selected->Key(),
                 other.Profile()->Folder(other.FolderId("\\\\Personal Folders\\Inbox")).entryId);
         },
         expectReports({}),
         {},
         {"Last folder chosen: \\\\Mailbox - Team Desk\\Inbox", "Warning: node not found"}});
    for (const char* text : {"*", "?", "[", "%", "'", "]*[", "'%'"}) {
        cases.push_back({text, [] {},
                         [this, text] {
                             ShowTab(1);
                             TypeSearch(text);
                             EXPECT_THAT(SearchLines(), IsEmpty());
                         },
                         expectReports({})});
    }
    cases.push_back({"300 characters", [] {},
                     [this] {
                         ShowTab(1);
                         TypeSearch(std::string(300, 'x'));
                         EXPECT_THAT(SearchLines(), IsEmpty());
                         TypeSearch("");
                         EXPECT_FALSE(SearchLines().empty());
                     },
                     expectReports({})});

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BuildIndex();
        SetMru(2, kApollo);
        NewChooser();
        c.before();
        home.Capture().Clear();
        answers.clear();
        boxes.clear();
        boxOwners.clear();
        ASSERT_TRUE(Ask());
        c.act();
        EXPECT_THAT(answers, IsEmpty());
        c.reports(Reports());
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_THAT(boxOwners, Each(Eq(&Form())));
        for (const auto& warning : c.warnings) {
            EXPECT_THAT(Lines("ShowIt"), testing::Contains(warning));
        }
        ASSERT_TRUE(chooser->Showing());
        Click("cmdCancel");
        ASSERT_EQ(answers.size(), 1u);
        ASSERT_TRUE(answers[0]);
        EXPECT_THAT(*answers[0], IsEmpty());
        app = mainApp;
    }
}

}  // namespace
}  // namespace chooser_test
