// The search chooser end to end: the add-in library loaded by the host, a
// mail composed and sent, and the real dialog answered through its widgets.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <functional>

#include "plovanex/tests/addin_fixture.h"

namespace {

namespace keys = common::keys;
using ::testing::ElementsAre;

class ChooserAddInTest : public addin_test::AddInTest {
  protected:
    static constexpr const char* kForm = "frmChooseOutlookFolders4";

    QWidget& Dialog() { return AddInTest::Dialog(kForm); }
    bool DialogShown() { return AddInTest::DialogShown(kForm); }
    template <class T>
    T& Control(const char* name) {
        return AddInTest::Control<T>(kForm, name);
    }
    void Click(const char* button) { AddInTest::Click(kForm, button); }
    // Types into the search box and picks the line that shows path.
    void SearchAndPick(const std::string& text, const std::string& path) {
        Control<QTabWidget>("vsIndexTab1").setCurrentIndex(1);
        QTest::keyClicks(&Control<QLineEdit>("txtSearchFor"), QString::fromStdString(text));
        auto& list = Control<QListView>("lstSearchResults");
        for (int row = 0; row < list.model()->rowCount(); ++row) {
            const QModelIndex index = list.model()->index(row, 0);
            if (index.data().toString().toStdString() == path) {
                QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                                  list.visualRect(index).center());
                return;
            }
        }
        ADD_FAILURE() << "no line " << path;
    }
    void PickInTree(const std::vector<std::string>& texts) {
        Control<QTabWidget>("vsIndexTab1").setCurrentIndex(0);
        AddInTest::PickInTree(kForm, texts);
    }
};

// Send And File: the folder typed on the search tab receives the sent mail;
// Cancel leaves the mail unsent.
TEST_F(ChooserAddInTest, SendAndFileSendsIntoTheFolderPicked) {
    struct Case {
        const char* name;
        std::function<void()> answer;
        bool sent;
        std::vector<std::string> folders;
    };
    const std::vector<Case> cases = {
        {"search tab",
         [&] {
             SearchAndPick("Apollo", kApollo);
             Click("cmdSelectedFolderOK");
         },
         true,
         {kApollo}},
        {"Cancel", [&] { Click("cmdCancel"); }, false, {}},
        {"frame close", [&] { Dialog().close(); }, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto item = Compose(c.name);
        ASSERT_TRUE(modules->Engine()->ClickButton(app->ActiveInspector(), "Send And File"));
        ASSERT_TRUE(DialogShown());
        EXPECT_EQ(Control<QLineEdit>("txtSubject").text().toStdString(), c.name);
        c.answer();
        EXPECT_FALSE(DialogShown());
        EXPECT_EQ(item->Sent(), c.sent);
        if (c.sent) {
            EXPECT_EQ(FoldersOf(item), c.folders);
        }
    }
    EXPECT_THAT(home.Capture().Reports(), testing::IsEmpty());
}

// The confirmation prompt: the mail that reached Sent Items moves where the
// user picked; Cancel leaves it in Sent Items.
TEST_F(ChooserAddInTest, ConfirmationPromptFilesWhereTheUserPicked) {
    Set(keys::PromptOutlookFolder, "True");
    struct Case {
        const char* name;
        std::function<void()> answer;
        std::vector<std::string> folders;
    };
    const std::vector<Case> cases = {
        {"tree",
         [&] {
             PickInTree({"Personal Folders", "Clients", "Acme"});
             Click("cmdOk");
         },
         {kAcme}},
        {"Cancel", [&] { Click("cmdCancel"); }, {kSentItems}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto item = Compose(c.name);
        item->Send();
        ASSERT_TRUE(DialogShown());
        c.answer();
        EXPECT_FALSE(DialogShown());
        EXPECT_EQ(FoldersOf(item), c.folders);
    }
    EXPECT_THAT(home.Capture().Reports(), testing::IsEmpty());
}

}  // namespace
