// The lazy folder tree: loading a level, expanding, finding a path, ticks,
// images.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "chooser/chooser_common.h"
#include "chooser/folder_images.h"
#include "chooser/lazy_folder_tree.h"
#include "chooser/tests/chooser_fixture.h"
#include "chooser/tree_choice.h"
#include "platform/error.h"
#include "platform/mirelink/mirelink.h"
#include "platform/widgets/image_list.h"

namespace chooser_test {
namespace {

namespace fs = std::filesystem;
using platform::widgets::Node;
using plovanex::chooser::LazyFolderTree;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

// A folder whose table gives the rows a test wants, standing on the real
// folders the rows name; a store root when its EntryID is set.
class ScriptedFolder : public mirelink::RDOFolder {
  public:
    ScriptedFolder(std::string entryId, std::vector<mirelink::FolderTable::Row> rows)
        : entryId_(std::move(entryId)), rows_(std::move(rows)) {}
    int Class() const override { return 2; }
    std::string TypeName() const override { return "RDOFolder"; }
    std::string Name() override { return "Scripted"; }
    std::string EntryID() override { return entryId_; }
    std::string StoreID() override { return "STORE"; }
    std::string FolderPath() override { return "\\\\Scripted"; }
    int DefaultItemType() override { return 0; }
    int FolderKind() override { return 0; }
    mirelink::FolderPtr Parent() override { return nullptr; }
    mirelink::FoldersPtr Folders() override;

    std::string entryId_;
    std::vector<mirelink::FolderTable::Row> rows_;
};

class ScriptedTable : public mirelink::MAPITable {
  public:
    explicit ScriptedTable(std::vector<mirelink::FolderTable::Row> rows) : rows_(std::move(rows)) {}
    int Class() const override { return 0; }
    std::string TypeName() const override { return "MAPITable"; }
    mirelink::FolderTablePtr ExecSQL(const std::string& sql) override {
        EXPECT_EQ(sql, LazyFolderTree::kFolderTableQuery);
        return std::make_shared<mirelink::FolderTable>(rows_);
    }
    std::vector<mirelink::FolderTable::Row> rows_;
};

class ScriptedFolders : public mirelink::RDOFolders {
  public:
    explicit ScriptedFolders(std::vector<mirelink::FolderTable::Row> rows)
        : rows_(std::move(rows)) {}
    int Class() const override { return 15; }
    std::string TypeName() const override { return "RDOFolders"; }
    int Count() override { return static_cast<int>(rows_.size()); }
    mirelink::FolderPtr Item(int) override { throw platform::Error("not scripted"); }
    mirelink::FolderPtr Add(const std::string&, int) override {
        throw platform::Error("not scripted");
    }
    mirelink::MAPITablePtr MAPITable() override { return std::make_shared<ScriptedTable>(rows_); }
    std::vector<mirelink::FolderTable::Row> rows_;
};

mirelink::FoldersPtr ScriptedFolder::Folders() {
    return std::make_shared<ScriptedFolders>(rows_);
}

class TreeTest : public ChooserTest {
  protected:
    TreeTest()
        : tree(
              view,
              [this] { return plovanex::chooser::NewSession("11", app->GetNamespace("MAPI")); },
              "ChooseOutlookFolders.GetFolderNames(RDO)", LazyFolderTree::StoreWithoutId::Skipped) {
        view.events.Expand = [this](const Node& n) { tree.Expand(n); };
    }
    void LoadStores() {
        auto session = plovanex::chooser::NewSession("11", app->GetNamespace("MAPI"));
        for (int i = 1; i <= session->Stores()->Count(); ++i) {
            auto store = session->Stores()->Item(i);
            tree.GetFolderNames(store->RootFolder(), store->Name(), nullptr);
        }
    }
    Node Find(const std::string& path) { return tree.FindNodeAtPath(path); }
    static std::vector<std::string> Children(const Node& n) {
        std::vector<std::string> texts;
        for (Node c = n->Child(); c; c = c->Next()) {
            texts.push_back(c->Text());
        }
        return texts;
    }
    mirelink::FolderTable::Row Row(const std::string& path) {
        auto r = Record(path);
        return {r.FolderName, r.EntryID, r.StoreID, 0};
    }

    platform::widgets::TreeView view;
    LazyFolderTree tree;
};

// A level: the store's root, one node per folder in table order, and one
// placeholder below each folder that has subfolders.
TEST_F(TreeTest, LevelHasOnePlaceholderBelowEachFolderWithSubfolders) {
    LoadStores();
    Node root = view.Nodes().Item(1);
    EXPECT_EQ(root->Text(), "Personal Folders");
    EXPECT_EQ(root->Image(), "PersonalFolders");
    EXPECT_EQ(root->Tag(), Record(kInbox).StoreID);
    EXPECT_THAT(Children(root),
                ElementsAre("Inbox", "Sent Items", "Deleted Items", "Drafts", "Outbox",
                            "Junk E-mail", "Calendar", "Contacts", "Journal", "Notes", "Tasks",
                            "Unread Mail", "Clients", "Projects", "Archive"));
    Node inbox = root->Child();
    EXPECT_EQ(inbox->Key(), Record(kInbox).EntryID);
    EXPECT_EQ(inbox->Children(), 0);
    Node clients = Find("Personal Folders\\Clients");
    ASSERT_EQ(clients->Children(), 1);
    EXPECT_EQ(clients->Child()->Text(), "Expanding Subfolders...");
    EXPECT_EQ(clients->Child()->Key(), "");
    EXPECT_EQ(clients->Child()->Image(), "TopLevelFolders");
    EXPECT_THAT(Lines("GetFolderNames"), Contains("Now Adding Inbox to Personal Folders"));
}

// Expanding loads a node whose only child is the placeholder, once.
TEST_F(TreeTest, ExpandLoadsOnlyAnUnloadedNode) {
    LoadStores();
    Node clients = Find("Personal Folders\\Clients");
    home.Capture().Clear();
    tree.Expand(clients);
    EXPECT_THAT(Children(clients), ElementsAre("Acme", "Globex"));
    EXPECT_THAT(
        Lines("ChooseOutlookFolders.Expand"),
        ElementsAre("Checking Clients with 1 child subfolder(s)",
                    "Full folder text: \\\\Personal Folders\\Clients", "Expanding Clients"));
    EXPECT_THAT(Lines("GetFolderNames"),
                ElementsAre("Adding Acme to Clients", "Adding Globex to Clients"));
    home.Capture().Clear();
    tree.Expand(clients);
    EXPECT_THAT(Lines("ChooseOutlookFolders.Expand"),
                ElementsAre("Checking Clients with 2 child subfolder(s)"));
    EXPECT_THAT(Lines("GetFolderNames"), IsEmpty());
    // One child that is not the placeholder loads nothing either.
    Node projects = Find("Personal Folders\\Projects");
    projects->Child()->SetText("Something else");
    tree.Expand(projects);
    EXPECT_EQ(projects->Children(), 1);
    EXPECT_THAT(Reports(), IsEmpty());
}

// A folder that its path cannot find keeps its placeholder.
TEST_F(TreeTest, FolderNotFoundByPathKeepsThePlaceholder) {
    auto personal = kit.FolderId("\\\\Personal Folders");
    auto odd = kit.Profile()->AddFolder(personal, "R D");
    kit.Profile()->AddFolder(odd, "Inside");
    kit.SetName("\\\\Personal Folders\\R D", "R\\D");
    LoadStores();
    Node node = view.Nodes().Find(kit.Profile()->Folder(odd).entryId);
    ASSERT_TRUE(node);
    home.Capture().Clear();
    tree.Expand(node);
    EXPECT_THAT(Lines("ChooseOutlookFolders.Expand"),
                Contains("Error occurred: Could not find folder"));
    EXPECT_THAT(Reports(), ElementsAre(ostrevane::Report{
                               "Error occurred at line 10.  Reason: Object variable or With "
                               "block variable not set",
                               0, "ChooseOutlookFolders.GetFolderNames(RDO)"}));
    ASSERT_EQ(node->Children(), 1);
    EXPECT_EQ(node->Child()->Text(), "Expanding Subfolders...");
}

TEST_F(TreeTest, StartNodeIsTheFirstNodeWithTheStartIds) {
    tree.StartEntryID = Record(kAcme).EntryID;
    tree.StartStoreID = Record(kAcme).StoreID;
    LoadStores();
    EXPECT_FALSE(tree.StartNode);
    tree.Expand(Find("Personal Folders\\Clients"));
    ASSERT_TRUE(tree.StartNode);
    EXPECT_EQ(tree.StartNode->FullPath(), "Personal Folders\\Clients\\Acme");
    // Once set it stays, whatever the ids say.
    tree.StartEntryID = Record(kApollo).EntryID;
    tree.Expand(Find("Personal Folders\\Projects"));
    EXPECT_EQ(tree.StartNode->Text(), "Acme");
}

TEST_F(TreeTest, FindNodeAtPath) {
    LoadStores();
    kit.Folder("\\\\Personal Folders\\Inbox\\Later");
    struct Case {
        const char* path;
        const char* found;  // full path; nothing: none
    } cases[] = {
        {"\\\\Personal Folders\\Inbox", "Personal Folders\\Inbox"},
        {"Personal Folders\\Inbox", "Personal Folders\\Inbox"},
        {"P*\\Sent Items", "Personal Folders\\Sent Items"},
        {"?ersonal Folders", "Personal Folders"},
        {"*\\Outbox", "Personal Folders\\Outbox"},
        {"\\\\Mailbox - Team Desk\\Sent Items", "Mailbox - Team Desk\\Sent Items"},
        // Below a folder never opened only the placeholder stands.
        {"\\\\Personal Folders\\Clients\\Acme", nullptr},
        // A folder without nodes below it is loaded on the way.
        {"\\\\Personal Folders\\Inbox\\Later", "Personal Folders\\Inbox\\Later"},
        {"\\\\Personal Folders\\inbox", nullptr},
        {"\\\\Nowhere\\Inbox", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        Node node = Find(c.path);
        if (c.found) {
            ASSERT_TRUE(node);
            EXPECT_EQ(node->FullPath(), c.found);
        } else {
            EXPECT_FALSE(node);
        }
    }
    EXPECT_THAT(Reports(), IsEmpty());
    EXPECT_FALSE(Find("[x\\Inbox"));
    EXPECT_THAT(Reports(), ElementsAre(ostrevane::Report{
                               "Error occurred searching for '[x\\Inbox' .  Reason: Invalid "
                               "pattern string",
                               1, "FindNodeAtPath"}));
}

// Two rows with the same EntryID one after the other are logged; the tree
// refuses the second either way, and the level ends there.
TEST_F(TreeTest, RepeatedEntryIdEndsTheLevel) {
    struct Case {
        const char* name;
        std::vector<const char*> rows;
        bool warned;
        std::vector<std::string> added;
    } cases[] = {
        {"one after the other", {kInbox, kInbox, kApollo}, true, {"Inbox"}},
        {"apart", {kInbox, kApollo, kInbox, kAcme}, false, {"Inbox", "Apollo"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view.Nodes().Clear();
        home.Capture().Clear();
        std::vector<mirelink::FolderTable::Row> rows;
        for (const char* path : c.rows) {
            rows.push_back(Row(path));
        }
        tree.GetFolderNames(std::make_shared<ScriptedFolder>("ROOT", rows), "Scripted", nullptr);
        Node root = view.Nodes().Item(1);
        EXPECT_EQ(Children(root), c.added);
        const auto lines = Lines("GetFolderNames");
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "ENTRYIds ARE NOT UNIQUE"),
                  c.warned ? 1 : 0);
        EXPECT_THAT(Reports(), ElementsAre(ostrevane::Report{
                                   "Error occurred at line 24.  Reason: Key is not unique in "
                                   "collection",
                                   0, "ChooseOutlookFolders.GetFolderNames(RDO)"}));
    }
    // Below a node the warning has its own spelling.
    home.Capture().Clear();
    Node root = view.Nodes().Item(1);
    Node under = view.Nodes().Add(root, platform::widgets::tvwChild, "UNDER", "Under");
    tree.GetFolderNames(
        std::make_shared<ScriptedFolder>("", std::vector{Row(kGlobex), Row(kGlobex)}), "", under);
    EXPECT_THAT(Lines("GetFolderNames"), Contains("ENTRYIDS ARE NOT UNIQUE"));
    // A store root whose EntryID cannot be read gets no node.
    const int count = view.Nodes().Count();
    tree.GetFolderNames(std::make_shared<ScriptedFolder>("", std::vector{Row(kAcme)}), "Gone",
                        nullptr);
    EXPECT_EQ(view.Nodes().Count(), count);
    EXPECT_THAT(Lines("GetFolderNames(RDO)"), ElementsAre("Warning: Couldn't get the folder"));
}

// A store root that cannot be read: the search chooser's loader skips it
// with a trace line, the lazy modal chooser's reports the error of its
// step 4. A root that gives an empty EntryID is the modal loader's root
// without a key, its level below it.
TEST_F(TreeTest, UnreadableStoreRootByLoader) {
    struct Case {
        const char* name;
        LazyFolderTree::StoreWithoutId storeWithoutId;
        const char* source;
        mirelink::FolderPtr root;
        std::vector<std::string> added;  // the root's children; nothing: no root
        std::vector<std::string> warnings;
        std::vector<ostrevane::Report> reports;
    };
    const std::string notSet = "Object variable or With block variable not set";
    const Case cases[] = {
        {"search, unreadable",
         LazyFolderTree::StoreWithoutId::Skipped,
         "ChooseOutlookFolders.GetFolderNames(RDO)",
         nullptr,
         {},
         {"Warning: Couldn't get the folder"},
         {}},
        {"lazy modal, unreadable",
         LazyFolderTree::StoreWithoutId::Reported,
         "ChooseOutlookFolders.GetFolderNames",
         nullptr,
         {},
         {},
         {{"Error occurred at line 4.  Reason: " + notSet, 0,
           "ChooseOutlookFolders.GetFolderNames"}}},
        {"lazy modal, empty EntryID",
         LazyFolderTree::StoreWithoutId::Reported,
         "ChooseOutlookFolders.GetFolderNames",
         std::make_shared<ScriptedFolder>("", std::vector{Row(kAcme)}),
         {"Acme"},
         {},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::widgets::TreeView modalView;
        LazyFolderTree loader(
            modalView,
            [this] { return plovanex::chooser::NewSession("11", app->GetNamespace("MAPI")); },
            c.source, c.storeWithoutId);
        home.Capture().Clear();
        loader.GetFolderNames(c.root, "Gone", nullptr);
        if (c.added.empty()) {
            EXPECT_EQ(modalView.Nodes().Count(), 0);
        } else {
            ASSERT_GE(modalView.Nodes().Count(), 1);
            Node root = modalView.Nodes().Item(1);
            EXPECT_EQ(root->Text(), "Gone");
            EXPECT_EQ(root->Key(), "");
            EXPECT_EQ(Children(root), c.added);
        }
        EXPECT_EQ(Lines("GetFolderNames(RDO)"), c.warnings);
        EXPECT_EQ(Reports(), c.reports);
    }
}

// A tick by the user ticks the subtree in several-folder mode only; an
// untick changes nothing below.
TEST_F(TreeTest, TicksGoDownInSeveralFolderModeOnly) {
    LoadStores();
    Node clients = Find("Personal Folders\\Clients");
    tree.Expand(clients);
    auto below = [&] {
        std::vector<bool> ticks;
        for (Node c = clients->Child(); c; c = c->Next()) {
            ticks.push_back(c->Checked());
        }
        return ticks;
    };
    clients->SetChecked(true);
    plovanex::chooser::NodeCheck(clients, true);
    EXPECT_THAT(below(), ElementsAre(false, false));
    plovanex::chooser::NodeCheck(clients, false);
    EXPECT_THAT(below(), ElementsAre(true, true));
    clients->SetChecked(false);
    plovanex::chooser::NodeCheck(clients, false);
    EXPECT_THAT(below(), ElementsAre(true, true));
}

// A selected node brings its subfolders when its whole subtree is ticked
// and no ticked node stands above an unticked one on its way up.
TEST_F(TreeTest, SubfoldersQualifyByTheTicksAroundTheNode) {
    auto& nodes = view.Nodes();
    Node a = nodes.Add("", 0, "A", "A");
    Node b = nodes.Add("A", platform::widgets::tvwChild, "B", "B");
    Node c = nodes.Add("B", platform::widgets::tvwChild, "C", "C");
    Node d = nodes.Add("C", platform::widgets::tvwChild, "D", "D");
    struct Case {
        const char* name;
        bool a, b, d;
        bool qualifies;
    } cases[] = {
        {"nothing ticked above, subtree ticked", false, false, true, true},
        {"all ticked", true, true, true, true},
        {"ticked above unticked", true, false, true, false},
        {"unticked above ticked", false, true, true, true},
        {"subtree not all ticked", false, false, false, false},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.name);
        a->SetChecked(t.a);
        b->SetChecked(t.b);
        d->SetChecked(t.d);
        EXPECT_EQ(plovanex::chooser::QualifiesForSubfolders(c), t.qualifies);
    }
    EXPECT_TRUE(plovanex::chooser::AllChildrenChecked(d));
    EXPECT_TRUE(tree.NodeExists(""));
    EXPECT_TRUE(tree.NodeExists("C"));
    EXPECT_FALSE(tree.NodeExists("E"));
    nodes.Clear();
    EXPECT_TRUE(tree.NodeExists(""));
}

TEST(FolderImageKeyTest, NameFirstThenItemType) {
    using plovanex::chooser::FolderImageKey;
    struct Case {
        const char* name;
        int type;
        const char* key;
    } cases[] = {
        {"Inbox", 2, "Inbox"},
        {"inbox", 0, "Subfolders"},
        {"Deleted Items", 0, "DeletedItems"},
        {"Junk E-mail", 0, "JunkEmail"},
        {"Sent Items", 0, "SentItems"},
        {"Drafts", 0, "Drafts"},
        {"Outbox", 0, "Outbox"},
        {"Dates", 1, "CalendarItems"},
        {"People", 2, "ContactItems"},
        {"Lists", 7, "ContactItems"},
        {"Log", 4, "JournalItems"},
        {"Memo", 5, "NoteItems"},
        {"To do", 3, "TaskItems"},
        {"Board", 6, "Subfolders"},
        {"Other", 99, "Subfolders"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderImageKey(c.name, c.type), c.key) << c.name;
    }
}

// Every icon set is installed; a set missing a picture fails whole and
// leaves the list empty, so that the next load can succeed.
TEST_F(ChooserTest, FolderImagesComeFromTheInstallFolder) {
    using plovanex::chooser::LoadFolderImages;
    platform::widgets::ImageList images;
    for (const char* version : {"9", "10", "11"}) {
        LoadFolderImages(images, version);
        ASSERT_EQ(images.Count(), 16);
        EXPECT_EQ(images.Key(1), "MailItems");
        EXPECT_EQ(images.Key(16), "TopLevelFolders");
        EXPECT_EQ(images.ImageWidth(), 18);
    }
    const fs::path partial = home.Path() / "Toolbars";
    fs::copy(plovanex::chooser::ToolbarImagesFolder(), partial);
    fs::remove(partial / "OL2003-Journal.bmp");
    EXPECT_THROW(LoadFolderImages(images, "11", partial), platform::Error);
    EXPECT_EQ(images.Count(), 0);
    fs::copy_file(plovanex::chooser::ToolbarImagesFolder() / "OL2003-Journal.bmp",
                  partial / "OL2003-Journal.bmp");
    LoadFolderImages(images, "11", partial);
    EXPECT_EQ(images.Count(), 16);
}

}  // namespace
}  // namespace chooser_test
