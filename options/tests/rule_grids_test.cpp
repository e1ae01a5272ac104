// The rule grids: what they show, their menu, and Add, Edit and Delete
// through the rule editors.

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTableView>

#include "common/settings_keys.h"
#include "options/prop_library.h"
#include "options/rule_grid.h"
#include "options/tests/page_fixture.h"

namespace options_test {
namespace {

namespace keys = common::keys;
using Rows = std::vector<std::vector<std::string>>;

constexpr int kKeywordTab = 2;
constexpr int kContactTab = 3;

class RuleGridsTest : public PageTest {
  protected:
    QTableView* Grid(const char* name) { return Find<QTableView>(name); }
    // Every row of a grid: key, folders, list.
    Rows RowsOf(const char* name) {
        Rows rows;
        auto* model = Grid(name)->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            std::vector<std::string> row;
            for (int c = 0; c < 3; ++c) {
                row.push_back(model->index(r, c).data().toString().toStdString());
            }
            rows.push_back(row);
        }
        return rows;
    }
    void ShowTab(int tab) {
        Show();
        Find<QTabWidget>("vsFlexGridTab")->setCurrentIndex(tab);
    }
    // Selects these grid rows (from 1), the last one current.
    void Select(const char* grid, const std::vector<int>& rows) {
        auto* view = Grid(grid);
        view->clearSelection();
        for (int row : rows) {
            view->selectionModel()->setCurrentIndex(
                view->model()->index(row - 1, 1),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    std::string Folder(const std::string& path) { return path.substr(2); }
};

TEST_F(RuleGridsTest, GridsShowTheStoredRules) {
    StoreContactRule(31, {"Ann", "Bob"}, "");
    StoreContactRule(32, {"*"}, kApollo);
    StoreKeywordRule(41, "invoice,receipt", kAcme);
    Show();
    EXPECT_EQ(RowsOf("vsFlexGridAssociate"),
              (Rows{{"31", "", "Ann;Bob"}, {"32", Folder(kApollo), "*"}}));
    EXPECT_EQ(RowsOf("grdKeywords"), (Rows{{"41", Folder(kAcme), "invoice,receipt"}}));
    EXPECT_TRUE(Grid("grdKeywords")->isColumnHidden(0));
    EXPECT_EQ(plovanex::CurrentGridRow(*Grid("vsFlexGridAssociate")), 1);
    EXPECT_EQ(plovanex::SelectedGridRows(*Grid("grdKeywords")), std::vector<int>{1});
    QAbstractItemModelTester tester(Grid("grdKeywords")->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(RuleGridsTest, RightButtonShowsTheMenu) {
    ShowTab(kKeywordTab);
    auto* viewport = Grid("grdKeywords")->viewport();
    auto* menu = Find<QMenu>("mnuPopup");
    for (auto button : {Qt::LeftButton, Qt::RightButton}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(20, 20),
                          viewport->mapToGlobal(QPointF(20, 20)), button, button, Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        EXPECT_EQ(menu->isVisible(), button == Qt::RightButton);
    }
    menu->hide();
}

// On the General Settings and Confirmation Mode tabs the commands do nothing.
TEST_F(RuleGridsTest, MenuDoesNothingOffTheRuleTabs) {
    StoreKeywordRule(41, "kept", kAcme);
    Boxes boxes;
    for (int tab : {0, 1}) {
        ShowTab(tab);
        for (const char* command : {"mnuAdd", "mnuEdit", "mnuDelete"}) {
            NoModalExpected();
            Click(command);
        }
    }
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(Stored("41Keywords"), "kept");
}

TEST_F(RuleGridsTest, AddKeywordRuleThroughTheEditor) {
    ShowTab(kKeywordTab);
    ScopedRuleKeyDraws draws({DrawFor(4242)});
    ScopedPickFolder picker(kAcme);
    WhenModal([](QWidget& editor) {
        EXPECT_EQ(editor.objectName(), "KeywordForm");
        EXPECT_EQ(editor.windowTitle(), "Associate Keywords");
        editor.findChild<QLineEdit*>("KeywordNames")->setText("Acme, Initech");
        Press(editor, "ChooseFolderButton");
        EXPECT_EQ(editor.findChild<QListWidget*>("lstFolderNames")->item(0)->text(),
                  "Personal Folders\\Clients\\Acme");
        Press(editor, "cmdOK");
    });
    Click("mnuAdd");
    EXPECT_EQ(RowsOf("grdKeywords"), (Rows{{"4242", Folder(kAcme), "Acme, Initech"}}));
    // Shown at once; the rule tables learn of it at the next rebuild.
    EXPECT_EQ(plovanex::Prop().keywordRows->count(), 0);
    const auto ids = IdsOf(kAcme);
    EXPECT_EQ(Stored("4242Keywords"), "Acme, Initech");
    EXPECT_EQ(Stored("4242KeywordFolderCount"), "1");
    EXPECT_EQ(Stored("4242KeywordFolderName1"), Folder(kAcme));
    EXPECT_EQ(Stored("4242KeywordFolderEntryId1"), ids.entryId);
    EXPECT_EQ(Stored("4242KeywordFolderStoreId1"), ids.storeId);
    EXPECT_TRUE(page->Dirty());
}

TEST_F(RuleGridsTest, AddContactRuleThroughTheAddressBook) {
    ShowTab(kContactTab);
    ScopedRuleKeyDraws draws({DrawFor(77)});
    ScopedPickFolder picker(kApollo);
    ScopedAddressBook book(mirelink::PickAddresses({"lead@example.com"}));
    WhenModal([](QWidget& editor) {
        EXPECT_EQ(editor.objectName(), "AssociateContactForm");
        Press(editor, "ContactButton");
        Press(editor, "ChooseFolderButton");
        Press(editor, "cmdOK");
    });
    Click("mnuAdd");
    EXPECT_EQ(RowsOf("vsFlexGridAssociate"), (Rows{{"77", Folder(kApollo), "Project Lead"}}));
    EXPECT_EQ(Stored("77AssocContactCount"), "1");
    EXPECT_EQ(Stored("77AssocContactName1"), "Project Lead");
    EXPECT_EQ(Stored("77AssocContactTag1"), "/o=Example/ou=Site/cn=Recipients/cn=lead");
    EXPECT_EQ(Stored("77AssocFolderCount"), "1");
}

TEST_F(RuleGridsTest, EditOpensTheCurrentRowAndRebuilds) {
    StoreKeywordRule(41, "first", kAcme);
    StoreKeywordRule(42, "second", kGlobex);
    ShowTab(kKeywordTab);
    Select("grdKeywords", {2});
    WhenModal([](QWidget& editor) {
        auto* box = editor.findChild<QLineEdit*>("KeywordNames");
        EXPECT_EQ(box->text(), "second");
        EXPECT_EQ(editor.findChild<QListWidget*>("lstFolderNames")->count(), 1);
        box->setText("changed");
        Press(editor, "cmdOK");
    });
    Click("mnuEdit");
    EXPECT_EQ(Stored("42Keywords"), "changed");
    EXPECT_EQ(RowsOf("grdKeywords"),
              (Rows{{"41", Folder(kAcme), "first"}, {"42", Folder(kGlobex), "changed"}}));
    EXPECT_EQ(plovanex::Prop().keywordRows->count(), 2);
}

// A rule text that holds a tab shows whole in its grid cell, so an Edit
// confirmed unchanged writes back what was stored.
TEST_F(RuleGridsTest, EditKeepsATabInTheRuleText) {
    struct Case {
        int tab;
        const char* grid;
        const char* stored;
    };
    StoreKeywordRule(41, "Acme\tInitech", kAcme);
    StoreContactRule(51, {"Ann\tLee"}, kApollo);
    for (const auto& c : {Case{kKeywordTab, "grdKeywords", "41Keywords"},
                          Case{kContactTab, "vsFlexGridAssociate", "51AssocContactName1"}}) {
        SCOPED_TRACE(c.grid);
        const std::string text = Stored(c.stored);
        ShowTab(c.tab);
        Select(c.grid, {1});
        EXPECT_EQ(RowsOf(c.grid).at(0).at(2), text);
        WhenModal([&c](QWidget& editor) { Press(editor, "cmdOK"); });
        Click("mnuEdit");
        EXPECT_EQ(Stored(c.stored), text);
        Hide();
    }
}

TEST_F(RuleGridsTest, EditNeedsExactlyOneRow) {
    StoreKeywordRule(41, "first", kAcme);
    StoreKeywordRule(42, "second", kGlobex);
    StoreContactRule(51, {"Ann"}, kApollo);
    StoreContactRule(52, {"Bob"}, kApollo);
    struct Case {
        int tab;
        const char* grid;
        std::vector<int> rows;
        const char* message;
    };
    for (const auto& c : {
             Case{kKeywordTab,
                  "grdKeywords",
                  {1, 2},
                  "Please only select one row at a time for editing."},
             Case{kKeywordTab, "grdKeywords", {}, "Please select a keyword row."},
             Case{kContactTab,
                  "vsFlexGridAssociate",
                  {1, 2},
                  "Please only select one row at a time for editing."},
             Case{kContactTab, "vsFlexGridAssociate", {}, "Please select a row."},
         }) {
        SCOPED_TRACE(c.message);
        ShowTab(c.tab);
        Select(c.grid, c.rows);
        Boxes boxes;
        NoModalExpected();
        Click("mnuEdit");
        EXPECT_EQ(boxes.Shown(), (std::vector<Box>{{c.message, "Plovanex"}}));
        Hide();
    }
}

TEST_F(RuleGridsTest, DeleteRemovesTheSelectedRulesAndRebuildsOnce) {
    for (int key : {61, 62, 63, 64}) {
        StoreKeywordRule(key, "rule " + std::to_string(key), kAcme);
    }
    ShowTab(kKeywordTab);
    Select("grdKeywords", {1, 3, 4});
    int rebuilds = 0;
    QObject::connect(Grid("grdKeywords")->model(), &QAbstractItemModel::modelReset,
                     [&rebuilds] { ++rebuilds; });
    Click("mnuDelete");
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(RowsOf("grdKeywords"), (Rows{{"62", Folder(kAcme), "rule 62"}}));
    for (int key : {61, 63, 64}) {
        for (const char* stem : {"Keywords", "KeywordFolderCount", "KeywordFolderName1",
                                 "KeywordFolderEntryId1", "KeywordFolderStoreId1"}) {
            EXPECT_EQ(Stored(std::to_string(key) + stem), "<absent>") << key << stem;
        }
    }
    EXPECT_EQ(Stored("62Keywords"), "rule 62");
}

// Deletion goes by the stored counts: folder values beyond a missing count
// stay; contact names and tags go whatever the count says.
TEST_F(RuleGridsTest, DeleteByTheStoredCounts) {
    Store({{"8Keywords", "no count"}, {"8KeywordFolderName1", "Somewhere"}});
    StoreContactRule(9, {"Ann", "Bob", "Cy"}, kApollo);
    Store({{"9AssocContactCount", "2"}});
    ShowTab(kKeywordTab);
    Click("mnuDelete");
    EXPECT_EQ(Stored("8Keywords"), "<absent>");
    EXPECT_EQ(Stored("8KeywordFolderCount"), "<absent>");
    EXPECT_EQ(Stored("8KeywordFolderName1"), "Somewhere");

    Find<QTabWidget>("vsFlexGridTab")->setCurrentIndex(kContactTab);
    Click("mnuDelete");
    for (const char* stem :
         {"AssocContactCount", "AssocContactName1", "AssocContactTag1", "AssocContactName3",
          "AssocContactTag3", "AssocFolderCount", "AssocFolderName1", "AssocFolderStoreId1"}) {
        EXPECT_EQ(Stored(std::string("9") + stem), "<absent>") << stem;
    }
    EXPECT_TRUE(RowsOf("vsFlexGridAssociate").empty());
    EXPECT_TRUE(Reports().empty());
}

TEST_F(RuleGridsTest, DeleteNeedsASelectedRow) {
    Boxes boxes;
    ShowTab(kKeywordTab);
    Click("mnuDelete");
    EXPECT_TRUE(boxes.Shown().empty());
    StoreKeywordRule(41, "kept", kAcme);
    Hide();
    ShowTab(kKeywordTab);
    Grid("grdKeywords")->clearSelection();
    Click("mnuDelete");
    EXPECT_EQ(boxes.Shown(), (std::vector<Box>{{"Please select at least one row.", "Plovanex"}}));
    EXPECT_EQ(Stored("41Keywords"), "kept");
}

}  // namespace
}  // namespace options_test
