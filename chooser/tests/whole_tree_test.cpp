// The whole-tree chooser's folder tree, read from the mail client's object
// model: its levels and tags, expanding, and the records of a choice of
// several folders.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <map>

#include "chooser/tests/modal_fixture.h"
#include "chooser/whole_folder_tree.h"
#include "common/settings_keys.h"
#include "platform/error.h"
#include "platform/testkit/forwarding_folder.h"

namespace chooser_test {
namespace {

using platform::widgets::Node;
using plovanex::chooser::WholeFolderTree;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Records = std::vector<ostrevane::FolderRecord>;

// The mail client's folders as they are, but for the subfolders of one
// name, which cannot be read: their EntryID fails, or no folder comes back
// at their position.
struct Unreadable {
    std::string name;
    bool noFolder;
};

class FolderWithUnreadable : public testkit::ForwardingFolder {
  public:
    FolderWithUnreadable(outlook::FolderPtr folder, Unreadable how)
        : ForwardingFolder(std::move(folder)), how_(std::move(how)) {}
    std::string EntryID() override {
        if (Inner().Name() == how_.name) {
            throw platform::Error("The folder cannot be read");
        }
        return Inner().EntryID();
    }
    outlook::FoldersPtr Folders() override;

  private:
    Unreadable how_;
};

class FoldersWithUnreadable : public outlook::Folders {
  public:
    FoldersWithUnreadable(outlook::FoldersPtr folders, Unreadable how)
        : folders_(std::move(folders)), how_(std::move(how)) {}
    int Class() const override { return outlook::olFolders; }
    std::string TypeName() const override { return "Folders"; }
    int Count() override { return folders_->Count(); }
    outlook::FolderPtr Item(int index) override { return Wrap(folders_->Item(index)); }
    outlook::FolderPtr Item(const std::string& name) override { return Wrap(folders_->Item(name)); }
    outlook::FolderPtr Add(const std::string& name, int itemType) override {
        return Wrap(folders_->Add(name, itemType));
    }
    outlook::ObjectPtr Parent() override { return folders_->Parent(); }

  private:
    outlook::FolderPtr Wrap(outlook::FolderPtr folder) {
        if (how_.noFolder && folder->Name() == how_.name) {
            return nullptr;
        }
        return std::make_shared<FolderWithUnreadable>(std::move(folder), how_);
    }
    outlook::FoldersPtr folders_;
    Unreadable how_;
};

outlook::FoldersPtr FolderWithUnreadable::Folders() {
    auto folders = Inner().Folders();
    return folders ? std::make_shared<FoldersWithUnreadable>(std::move(folders), how_) : nullptr;
}

class NameSpaceWithUnreadable : public outlook::NameSpace {
  public:
    NameSpaceWithUnreadable(outlook::NameSpacePtr ns, Unreadable how)
        : ns_(std::move(ns)), how_(std::move(how)) {}
    int Class() const override { return outlook::olNamespace; }
    std::string TypeName() const override { return "NameSpace"; }
    outlook::ApplicationPtr Application() override { return ns_->Application(); }
    outlook::FolderPtr GetDefaultFolder(int folderType) override {
        return Wrap(ns_->GetDefaultFolder(folderType));
    }
    outlook::FolderPtr GetFolderFromID(const std::string& entryId,
                                       const std::string& storeId) override {
        return Wrap(ns_->GetFolderFromID(entryId, storeId));
    }
    outlook::ItemPtr GetItemFromID(const std::string& entryId,
                                   const std::string& storeId) override {
        return ns_->GetItemFromID(entryId, storeId);
    }
    outlook::FoldersPtr Folders() override {
        return std::make_shared<FoldersWithUnreadable>(ns_->Folders(), how_);
    }
    outlook::FolderPtr PickFolder() override { return Wrap(ns_->PickFolder()); }
    outlook::MAPIObject MAPIOBJECT() override { return ns_->MAPIOBJECT(); }
    std::string CurrentUser() override { return ns_->CurrentUser(); }

  private:
    outlook::FolderPtr Wrap(outlook::FolderPtr folder) {
        return folder ? std::make_shared<FolderWithUnreadable>(std::move(folder), how_) : nullptr;
    }
    outlook::NameSpacePtr ns_;
    Unreadable how_;
};

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

// A subfolder that cannot be read is left out with everything below it,
// silently, by the loader and by Expand alike: the expand still loads the
// levels below the other children and sorts them.
TEST_F(WholeTreeTest, UnreadableSubfolderIsLeftOut) {
    for (const bool noFolder : {false, true}) {
        SCOPED_TRACE(noFolder ? "no folder at its position" : "EntryID fails");
        home.Capture().Clear();
        platform::widgets::TreeView view;
        auto ns = std::make_shared<NameSpaceWithUnreadable>(app->GetNamespace("MAPI"),
                                                            Unreadable{"Clients", noFolder});
        WholeFolderTree tree(view, [ns] { return ns; });
        tree.GetFolderNames(ns->Folders(), nullptr);
        Node personal = view.Nodes().Item(1);
        ASSERT_EQ(personal->Text(), "Personal Folders");
        const auto childTexts = ChildTexts(personal);
        EXPECT_THAT(childTexts, ::testing::Not(::testing::Contains("Clients")));
        EXPECT_THAT(childTexts, ::testing::Contains("Archive"));

        tree.Expand(personal);
        std::map<std::string, std::vector<std::string>> below;
        for (Node child = personal->Child(); child; child = child->Next()) {
            if (child->Children() > 0) {
                below[child->Text()] = ChildTexts(child);
            }
        }
        EXPECT_EQ(below, (std::map<std::string, std::vector<std::string>>{
                             {"Archive", {"2025", "2026"}}, {"Projects", {"Apollo", "Zephyr"}}}));
        EXPECT_TRUE(personal->Sorted());
        EXPECT_FALSE(view.Nodes().Find(Record(kAcme).EntryID));
        EXPECT_THAT(Reports(), IsEmpty());
    }
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
