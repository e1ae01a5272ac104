#include "platform/widgets/tree_view.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QImage>
#include <QTest>
#include <filesystem>

#include "platform/error.h"
#include "platform/testkit/qt_application.h"
#include "platform/testkit/testkit.h"
#include "platform/widgets/image_list.h"

namespace {

using platform::widgets::ImageList;
using platform::widgets::Node;
using platform::widgets::TreeView;
using platform::widgets::tvwChild;
using platform::widgets::tvwFirst;
using platform::widgets::tvwNext;
using platform::widgets::tvwPrevious;
using ::testing::ElementsAre;

class TreeViewTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { testkit::EnsureQtApplication(); }
    TreeViewTest() {
        tester = std::make_unique<QAbstractItemModelTester>(
            tree.ItemModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }

    // The texts of a node's children as shown, through Child and Next.
    static std::vector<std::string> Shown(const Node& parent) {
        std::vector<std::string> texts;
        for (Node n = parent->Child(); n; n = n->Next()) {
            texts.push_back(n->Text());
        }
        return texts;
    }
    std::vector<std::string> InAddOrder() const {
        std::vector<std::string> texts;
        for (int i = 1; i <= tree.Nodes().Count(); ++i) {
            texts.push_back(tree.Nodes().Item(i)->Text() + "@" +
                            std::to_string(tree.Nodes().Item(i)->Index()));
        }
        return texts;
    }

    TreeView tree;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

// The shape the chooser's loader builds: a store, folders, placeholders; the
// placeholder leaves, the add order closes up, Sorted reorders what is shown.
TEST_F(TreeViewTest, AddOrderAndShownOrderStayApart) {
    auto& nodes = tree.Nodes();
    auto store = nodes.Add("", 0, "S", "Store", "PersonalFolders");
    nodes.Add("S", tvwChild, "C", "Clients");
    nodes.Add("C", tvwChild, "", "Expanding Subfolders...");
    nodes.Add("S", tvwChild, "A", "archive");
    nodes.Add("C", tvwChild, "G", "Globex");
    nodes.Add("C", tvwChild, "M", "Acme");
    EXPECT_THAT(Shown(nodes.Item("C")), ElementsAre("Expanding Subfolders...", "Globex", "Acme"));

    nodes.Remove(3);
    EXPECT_THAT(InAddOrder(),
                ElementsAre("Store@1", "Clients@2", "archive@3", "Globex@4", "Acme@5"));
    nodes.Item("C")->SetSorted(true);
    EXPECT_THAT(Shown(nodes.Item("C")), ElementsAre("Acme", "Globex"));
    nodes.Add("C", tvwChild, "B", "beta");
    EXPECT_THAT(Shown(nodes.Item("C")), ElementsAre("Acme", "beta", "Globex"));
    EXPECT_EQ(nodes.Item("B")->Index(), 6);
    // Case does not count in the order.
    store->SetSorted(true);
    EXPECT_THAT(Shown(store), ElementsAre("archive", "Clients"));
    EXPECT_EQ(nodes.Item("M")->FullPath(), "Store\\Clients\\Acme");
    EXPECT_EQ(nodes.Item("M")->Parent(), nodes.Item("C"));
    EXPECT_EQ(store->Parent(), nullptr);
    EXPECT_EQ(nodes.Item("C")->Children(), 3);
}

TEST_F(TreeViewTest, SiblingRelationshipsPlaceTheNode) {
    auto& nodes = tree.Nodes();
    nodes.Add("", 0, "R", "Root");
    nodes.Add("R", tvwChild, "b", "b");
    nodes.Add("b", tvwFirst, "a", "a");
    nodes.Add("b", tvwNext, "d", "d");
    nodes.Add("d", tvwPrevious, "c", "c");
    EXPECT_THAT(Shown(nodes.Item("R")), ElementsAre("a", "b", "c", "d"));
}

TEST_F(TreeViewTest, KeysAreUniqueAndFoundWithoutAScan) {
    auto& nodes = tree.Nodes();
    nodes.Add("", 0, "K1", "One");
    nodes.Add("K1", tvwChild, "", "Expanding Subfolders...");
    nodes.Add("K1", tvwChild, "", "Expanding Subfolders...");
    struct Case {
        const char* name;
        std::function<void()> call;
        const char* error;
    } cases[] = {
        {"taken key", [&] { nodes.Add("", 0, "K1", "Again"); }, "Key is not unique in collection"},
        {"unknown relative", [&] { nodes.Add("K9", tvwChild, "K2", "Two"); }, "Element not found"},
        {"unknown key", [&] { nodes.Item("K9"); }, "Element not found"},
        {"index 0", [&] { nodes.Item(0); }, "Index out of bounds"},
        {"index past the end", [&] { nodes.Remove(4); }, "Index out of bounds"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.call();
            ADD_FAILURE() << "no error";
        } catch (const platform::Error& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
    }
    EXPECT_EQ(nodes.Count(), 3);
    EXPECT_EQ(nodes.Find("K1"), nodes.Item(1));
    EXPECT_EQ(nodes.Find(""), nullptr);
    EXPECT_EQ(nodes.Find("K9"), nullptr);
}

// Removing a node takes its subtree and its keys; a node that left the tree
// keeps its texts and refuses the rest.
TEST_F(TreeViewTest, RemovedNodesLeaveTheirKeysAndRefuseTreeMembers) {
    auto& nodes = tree.Nodes();
    nodes.Add("", 0, "S", "Store");
    auto clients = nodes.Add("S", tvwChild, "C", "Clients");
    nodes.Add("C", tvwChild, "A", "Acme");
    nodes.Add("S", tvwChild, "P", "Projects");
    clients->SetSelected(true);
    nodes.Remove(clients->Index());
    EXPECT_EQ(nodes.Count(), 2);
    EXPECT_EQ(nodes.Find("A"), nullptr);
    EXPECT_EQ(nodes.Item("P")->Index(), 2);
    EXPECT_NE(tree.SelectedItem(), clients);
    nodes.Add("S", tvwChild, "A", "Acme again");
    EXPECT_FALSE(clients->InTree());
    EXPECT_EQ(clients->Text(), "Clients");
    EXPECT_THROW(clients->Index(), platform::Error);
    EXPECT_THROW(clients->Children(), platform::Error);
    EXPECT_THROW(clients->EnsureVisible(), platform::Error);

    auto kept = nodes.Item("P");
    nodes.Clear();
    EXPECT_EQ(nodes.Count(), 0);
    EXPECT_FALSE(kept->InTree());
    EXPECT_THROW(kept->SetSelected(true), platform::Error);
    nodes.Add("", 0, "S", "Store");
    EXPECT_EQ(nodes.Count(), 1);
}

// EnsureVisible opens every node above, top down, each with its Expand
// event; a user's tick raises NodeCheck, a tick by code does not.
TEST_F(TreeViewTest, EventsComeFromTheViewAndTheUser) {
    auto& nodes = tree.Nodes();
    nodes.Add("", 0, "S", "Store");
    nodes.Add("S", tvwChild, "C", "Clients");
    auto acme = nodes.Add("C", tvwChild, "A", "Acme");
    std::vector<std::string> expanded, checked;
    tree.events.Expand = [&](const Node& n) { expanded.push_back(n->Text()); };
    tree.events.NodeCheck = [&](const Node& n) {
        checked.push_back(n->Text() + (n->Checked() ? "+" : "-"));
    };
    acme->EnsureVisible();
    EXPECT_THAT(expanded, ElementsAre("Store", "Clients"));

    acme->SetChecked(true);
    EXPECT_TRUE(checked.empty());
    EXPECT_FALSE(tree.ItemModel()->setData(tree.IndexOf(acme), Qt::Unchecked, Qt::CheckStateRole));
    tree.SetCheckboxes(true);
    EXPECT_EQ(tree.IndexOf(acme).data(Qt::CheckStateRole), Qt::Checked);
    EXPECT_TRUE(tree.ItemModel()->setData(tree.IndexOf(acme), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_THAT(checked, ElementsAre("Acme-"));

    acme->SetBold(true);
    EXPECT_TRUE(tree.IndexOf(acme).data(Qt::FontRole).value<QFont>().bold());
    acme->SetSelected(true);
    EXPECT_TRUE(acme->Selected());
    EXPECT_EQ(tree.SelectedItem(), acme);
    EXPECT_FALSE(nodes.Item("C")->Selected());
}

// A click selects and raises Click; with SingleSel the clicked node opens
// and the one clicked before closes.
TEST_F(TreeViewTest, ClicksSelectAndSingleSelOpensTheClickedNode) {
    auto& nodes = tree.Nodes();
    nodes.Add("", 0, "S", "Store");
    auto clients = nodes.Add("S", tvwChild, "C", "Clients");
    nodes.Add("C", tvwChild, "A", "Acme");
    auto projects = nodes.Add("S", tvwChild, "P", "Projects");
    nodes.Add("P", tvwChild, "Z", "Zephyr");
    tree.SetSingleSel(true);
    tree.resize(300, 300);
    tree.show();
    tree.expand(tree.IndexOf(nodes.Item("S")));
    int clicks = 0, doubleClicks = 0;
    tree.events.Click = [&] { ++clicks; };
    tree.events.DblClick = [&] { ++doubleClicks; };
    auto click = [&](const Node& n) {
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                          tree.visualRect(tree.IndexOf(n)).center());
    };
    click(clients);
    EXPECT_EQ(tree.SelectedItem(), clients);
    EXPECT_TRUE(tree.isExpanded(tree.IndexOf(clients)));
    click(projects);
    EXPECT_TRUE(tree.isExpanded(tree.IndexOf(projects)));
    EXPECT_FALSE(tree.isExpanded(tree.IndexOf(clients)));
    EXPECT_EQ(clicks, 2);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {},
                       tree.visualRect(tree.IndexOf(projects)).center());
    EXPECT_EQ(doubleClicks, 1);
}

TEST(ImageListTest, PicturesComeFromFilesUnderUniqueKeys) {
    testkit::EnsureQtApplication();
    testkit::TempHome home;
    const auto file = home.Path() / "one.bmp";
    QImage picture(18, 18, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(file.string())));

    ImageList images;
    images.SetImageWidth(18);
    images.SetImageHeight(18);
    images.Add("Inbox", file);
    EXPECT_EQ(images.Count(), 1);
    EXPECT_EQ(images.Key(1), "Inbox");
    EXPECT_FALSE(images.Icon("Inbox").isNull());
    EXPECT_TRUE(images.Icon("Drafts").isNull());
    EXPECT_THROW(images.Add("Inbox", file), platform::Error);
    EXPECT_THROW(images.Add("Drafts", home.Path() / "missing.bmp"), platform::Error);
    EXPECT_EQ(images.Count(), 1);
}

}  // namespace
