// The whole-tree chooser's folder tree, read from the mail client's object
// model: its levels and tags, expanding, and the records of a choice of
// several folders.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemModel>

#include "chooser/tests/modal_fixture.h"
#include "chooser/whole_folder_tree.h"
#include "common/settings_keys.h"
#include "platform/error.h"

namespace chooser_test {
namespace {

using platform::widgets::Node;
using plovanex::chooser::WholeFolderTree;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Records = std::vector<ostrevane::FolderRecord>;

class WholeTreeTest : public ModalTest {
  protected:
    WholeTreeTest() : ModalTest(plovanex::ChooserVariant::WholeTree) {}

    // The texts of a node's children, as the tree shows them.
    std::vector<std::string> ChildTexts(const Node& node) {
        std::vector<std::string> texts;
        for (Node child = node->Child(); child; child = child->Next()) {
            texts.push_back(child->Text());
        }
        return texts;
    }
    // The node of a folder, by its EntryID, opening nothing.
    Node NodeOf(const std::string& path) { return Tree().Nodes().Find(Record(path).EntryID); }
    Node Top(const std::string& text) {
        auto& nodes = Tree().Nodes();
        for (int i = 1; i <= nodes.Count(); ++i) {
            if (!nodes.Item(i)->Parent() && nodes.Item(i)->Text() == text) {
                return nodes.Item(i);
            }
        }
        return nullptr;
    }
    void Expand(const Node& node) { Tree().expand(Tree().IndexOf(node)); }
    // Ticks or unticks a node's box as the user does.
    void Tick(const Node& node, bool on) {
        Tree().ItemModel()->setData(Tree().IndexOf(node), on ? Qt::Checked : Qt::Unchecked,
                                    Qt::CheckStateRole);
    }
};

TEST(TagReadersTest, LevelBeforeTheFirstColonStoreIdAfterIt) {
    struct Case {
        const char* tag;
        const char* level;  // nothing: raises
        const char* storeId;
    } cases[] = {{"1:00AB", "1", "00AB"},
                 {"12:00AB:CD", "12", "00AB:CD"},
                 {":00AB", "", "00AB"},
                 {"00AB", nullptr, "00AB"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        if (c.level) {
            EXPECT_EQ(WholeFolderTree::LevelFromTag(c.tag), c.level);
        } else {
            EXPECT_THROW(WholeFolderTree::LevelFromTag(c.tag), platform::Error);
        }
        EXPECT_EQ(WholeFolderTree::StoreIdFromTag(c.tag), c.storeId);
    }
}

// The tree holds every store's top folder (level 1) and the folders below
// it (level 2), each tagged with its level and StoreID; a level-2 node has
// no children until its parent is expanded (the Inbox's store is, when the
// Inbox is shown). Expanding loads the level below the children, once; a
// subfolder that came after its level was loaded has no node and is left
// out, never made a top node. Expanding works in every store, not only in
// the default one.
TEST_F(WholeTreeTest, ExpandLoadsTheLevelBelowTheChildren) {
    auto& profile = *kit.Profile();
    profile.AddFolder(kit.FolderId("\\\\Mailbox - Team Desk\\Inbox"), "Escalations");
    AskModal([&] {
        auto& nodes = Tree().Nodes();
        std::vector<std::string> tops;
        for (int i = 1; i <= nodes.Count(); ++i) {
            Node node = nodes.Item(i);
            const auto path = "\\\\" + node->FullPath();
            int level = 1;
            for (Node up = node->Parent(); up; up = up->Parent()) {
                ++level;
            }
            EXPECT_EQ(node->Tag(), std::to_string(level) + ":" + Record(path).StoreID) << path;
            if (level == 1) {
                tops.push_back(node->Text() + " " + node->Image());
            }
        }
        EXPECT_THAT(tops, ElementsAre("Personal Folders PersonalFolders",
                                      "Mailbox - Team Desk TopLevelFolders",
                                      "Public Folders TopLevelFolders"));
        Node allPublic = NodeOf("\\\\Public Folders\\All Public Folders");
        ASSERT_TRUE(allPublic);
        EXPECT_EQ(allPublic->Children(), 0);

        const auto later = profile.AddFolder(profile.Stores()[2].rootId, "Later");
        profile.AddFolder(later, "Sub");
        const int before = nodes.Count();
        Node publicFolders = Top("Public Folders");
        Expand(publicFolders);
        EXPECT_THAT(ChildTexts(allPublic), ElementsAre("Announcements"));
        EXPECT_EQ(allPublic->Child()->Tag(),
                  "3:" + Record("\\\\Public Folders\\All Public Folders").StoreID);
        EXPECT_EQ(nodes.Count(), before + 1);
        EXPECT_FALSE(Top("Later"));
        EXPECT_FALSE(NodeAt("Public Folders\\Later"));

        Tree().collapse(Tree().IndexOf(publicFolders));
        Expand(publicFolders);
        EXPECT_EQ(nodes.Count(), before + 1);

        Expand(Top("Mailbox - Team Desk"));
        EXPECT_THAT(ChildTexts(NodeAt("Mailbox - Team Desk\\Inbox")), ElementsAre("Escalations"));
        Click("cmdCancel");
    });
    EXPECT_THAT(Reports(), IsEmpty());
}

// In several-folder mode only the selected node is chosen, ticks alone
// choose nothing. A node without nodes below it (its folder had no
// subfolders when its level was loaded) brings its folder's direct
// subfolders when its subtree is ticked and no ticked node stands above an
// unticked one on its way up.
TEST_F(WholeTreeTest, SeveralFolderChoiceAddsTheSubfoldersOfAQualifyingNode) {
    const auto acme = Record(kAcme);
    struct Case {
        const char* name;
        bool personalTicked, clientsTicked;
        bool subfolders;
    } cases[] = {
        {"nothing ticked", false, false, true},
        {"all ticked above", true, true, true},
        {"ticked above unticked", true, false, false},
        {"unticked above ticked", false, true, true},
    };
    const std::string orders = std::string(kAcme) + "\\Orders";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NewModal();
        const bool ok = AskModal(
            [&] {
                ClickNode("Personal Folders\\Clients\\Acme");
                // Made after Acme's level was loaded: Acme has no node below it.
                kit.Profile()->AddFolder(kit.FolderId(kAcme), "Orders");
                EXPECT_EQ(NodeOf(kAcme)->Children(), 0);
                Tick(Top("Personal Folders"), c.personalTicked);
                Tick(NodeOf("\\\\Personal Folders\\Clients"), c.clientsTicked);
                Click("cmdOk");
            },
            false);
        EXPECT_TRUE(ok);
        Records answer{acme};
        if (c.subfolders) {
            answer.push_back(Record(orders));
        }
        EXPECT_EQ(Chosen(), answer);
        kit.Profile()->DeleteFolder(kit.FolderId(orders));
    }
    EXPECT_THAT(Reports(), IsEmpty());
}

}  // namespace
}  // namespace chooser_test
