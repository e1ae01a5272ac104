// The dialog run of the search chooser: what a show sets up.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QWindow>

#include "chooser/chooser_common.h"
#include "chooser/folder_images.h"
#include "chooser/tests/chooser_fixture.h"
#include "common/settings_keys.h"
#include "core/globals.h"

namespace chooser_test {
namespace {

namespace keys = common::keys;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ShowTest : public ChooserTest {
  protected:
    void SetUp() override { BuildIndex(); }
};

TEST(VersionTextTest, VersionGivesTheTextAndTheIconSet) {
    struct Case {
        const char* version;
        const char* text;
        const char* icons;
    } cases[] = {{"9.0.0.3821", "9", "OL2000"},
                 {"10.0.6626", "10", "OL2002"},
                 {"11.0.8217", "11", "OL2003"},
                 {"12.0.4518", "12", "OL2003"}};
    for (const auto& c : cases) {
        EXPECT_EQ(plovanex::chooser::OutlookVersionText(c.version), c.text);
        EXPECT_EQ(plovanex::chooser::IconSetPrefix(c.text), c.icons);
    }
}

// The mail client's own picker stands in for the whole dialog.
TEST_F(ShowTest, NativePickerReplacesTheDialog) {
    SetHalvox(keys::UseNativeOutlookPickFolders, "1");
    SetMru(1, kGlobex);
    struct Case {
        const char* pick;  // empty: Cancel
        bool result;
        std::vector<ostrevane::FolderRecord> answer;
    } cases[] = {{kAcme, true, {Record(kAcme)}}, {"", false, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pick);
        answers.clear();
        ScopedPicker picker(c.pick);
        EXPECT_EQ(Ask(), c.result);
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_EQ(*answers[0], c.answer);
        EXPECT_FALSE(Form().isVisible());
        EXPECT_FALSE(chooser->Showing());
        EXPECT_EQ(Tree().Nodes().Count(), 0);
        EXPECT_EQ(Get(keys::MRUFolder(1)), kGlobex);
    }
}

// The cache flush empties the tree for this show and is "False" afterwards,
// whatever it held; the Inbox is found again in the new tree.
TEST_F(ShowTest, FlushRebuildsTheTreeOnce) {
    struct Case {
        const char* stored;
        bool rebuilt;
        bool shown;
    } cases[] = {
        {"True", true, true}, {"False", false, true}, {"0", false, true}, {"maybe", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        home.Capture().Clear();
        ASSERT_TRUE(Ask());
        auto before = Tree().Nodes().Item(1);
        Click("cmdCancel");
        SetHalvox(keys::FlushOutlookFolderCachePlovanex, c.stored);
        EXPECT_TRUE(Ask());
        EXPECT_EQ(GetHalvox(keys::FlushOutlookFolderCachePlovanex), "False");
        EXPECT_EQ(before->InTree(), !c.rebuilt);
        EXPECT_EQ(chooser->Showing(), c.shown);
        if (c.shown) {
            auto selected = Tree().SelectedItem();
            ASSERT_TRUE(selected);
            EXPECT_EQ(selected->FullPath(), "Personal Folders\\Inbox");
            EXPECT_TRUE(selected->Bold());
            EXPECT_THAT(Reports(), IsEmpty());
            Click("cmdCancel");
        } else {
            EXPECT_THAT(Reports(), ElementsAre(ostrevane::Report{
                                       "Error occurred at line 14.  Reason: Type mismatch", 1,
                                       "frmChooseOutlookFolders4.ChooseOutlookFolders"}));
        }
    }
}

TEST_F(ShowTest, OpensOnTheTabShownLast) {
    struct Case {
        const char* stored;  // nothing: no value
        int tab;
    } cases[] = {{nullptr, 1}, {"0", 0}, {"1", 1}};
    for (const auto& c : cases) {
        if (c.stored) {
            Set(keys::LastFolderTabShown, c.stored);
        }
        ASSERT_TRUE(Ask());
        EXPECT_EQ(Control<QTabWidget>("vsIndexTab1").currentIndex(), c.tab);
        EXPECT_EQ(Control<QTabWidget>("vsIndexTab1").tabText(c.tab),
                  c.tab == 0 ? "&Explore" : "&Search");
        Click(c.tab == 0 ? "cmdCancel" : "cmdSelectedFolderCancel");
    }
}

// The purge runs before the boxes are filled: both tabs show the entries
// that resolve, moved up, none bold.
TEST_F(ShowTest, BoxesShowThePurgedList) {
    SetMru(1, kGlobex);
    Set(keys::MRUFolder(2), "\\\\Personal Folders\\Gone");
    SetMru(3, kApollo);
    Set(keys::MRUFolder(4), "\\\\No Such Store\\Inbox");
    SetMru(5, kAcme);
    ASSERT_TRUE(Ask());
    const std::vector<std::string> expected = {kGlobex, kApollo, kAcme};
    for (const char* box : {"txtMRUFolder", "txtMRU2Folder"}) {
        for (int n = 1; n <= keys::MRUCount; ++n) {
            SCOPED_TRACE(box + std::to_string(n));
            auto& edit = Control<QLineEdit>((box + std::to_string(n)).c_str());
            const std::string shown = n <= 3 ? expected[static_cast<std::size_t>(n - 1)] : "";
            EXPECT_EQ(edit.text().toStdString(), shown);
            EXPECT_EQ(edit.toolTip().toStdString(), shown);
            EXPECT_FALSE(edit.font().bold());
        }
    }
    EXPECT_EQ(Get(keys::MRUFolder(3)), kAcme);
    EXPECT_EQ(Get(keys::MRUEntryId(3)), Record(kAcme).EntryID);
    EXPECT_EQ(plovanex::GetSetting(keys::MRUFolder(4), ""), "");
    EXPECT_EQ(plovanex::GetSetting(keys::MRUFolder(15), ""), "");
}

// ShowRightsWanted sets both tabs at a show; a click on either box scrolls
// its own tab and saves the choice.
TEST_F(ShowTest, ShowRightsScrollsTheBoxes) {
    SetMru(1, kApollo);
    const int length = static_cast<int>(std::string(kApollo).size());
    for (const char* stored : {"1", "0"}) {
        SCOPED_TRACE(stored);
        Set(keys::ShowRightsWanted, stored);
        ASSERT_TRUE(Ask());
        const bool right = std::string(stored) == "1";
        for (const char* tab : {"", "2"}) {
            EXPECT_EQ(Control<QCheckBox>((std::string("chkShowRights") + tab).c_str()).isChecked(),
                      right);
            auto& box = Control<QLineEdit>((std::string("txtMRU") + tab + "Folder1").c_str());
            // Left: the caret after the first character, not before it.
            EXPECT_EQ(box.cursorPosition(), right ? length : 1);
            EXPECT_FALSE(box.hasSelectedText());
        }
        Click("cmdCancel");
    }
    ASSERT_TRUE(Ask());
    ShowTab(1);
    QTest::mouseClick(&Control<QCheckBox>("chkShowRights2"), Qt::LeftButton);
    EXPECT_EQ(Get(keys::ShowRightsWanted), "1");
    EXPECT_EQ(Control<QLineEdit>("txtMRU2Folder1").cursorPosition(), length);
    EXPECT_EQ(Control<QLineEdit>("txtMRUFolder1").cursorPosition(), 1);
    QTest::mouseClick(&Control<QCheckBox>("chkShowRights2"), Qt::LeftButton);
    EXPECT_EQ(Get(keys::ShowRightsWanted), "0");
}

TEST_F(ShowTest, SingleFolderOnlyTurnsTheTicksOnAndOff) {
    ASSERT_TRUE(Ask(true));
    EXPECT_EQ(Form().windowTitle(), "Plovanex: Choose Where To File The Email");
    EXPECT_FALSE(Tree().Checkboxes());
    EXPECT_TRUE(Tree().SingleSel());
    EXPECT_EQ(Tree().Indentation(), 345);  // 350 twips, in whole pixels
    chooser->SetSingleFolderOnly(false);
    EXPECT_TRUE(Tree().Checkboxes());
    EXPECT_FALSE(Tree().SingleSel());
    EXPECT_EQ(Form().windowTitle(), "Choose Folder(s)");
    chooser->SetSingleFolderOnly(true);
    EXPECT_FALSE(Tree().Checkboxes());
    EXPECT_EQ(Form().windowTitle(), "Choose Folder(s)");
}

// A show fills what the owner set and keeps the tree it loaded.
TEST_F(ShowTest, SecondShowKeepsTheTreeAndShowsTheNewMail) {
    ASSERT_TRUE(Ask());
    EXPECT_EQ(Control<QLineEdit>("txtEmailTo").text(), "Project Lead");
    EXPECT_EQ(Control<QLineEdit>("txtSubject").toolTip(), "Plan");
    EXPECT_THAT(Lines("ShowIt"),
                ElementsAre("Loading folder list...", "...Done loading folder list"));
    auto first = Tree().Nodes().Item(1);
    Click("cmdCancel");
    home.Capture().Clear();
    chooser->SetEmailSubject("Second");
    chooser->ShowIt();
    EXPECT_EQ(Control<QLineEdit>("txtSubject").text(), "Second");
    EXPECT_EQ(Tree().Nodes().Item(1), first);
    EXPECT_THAT(Lines("ShowIt"), IsEmpty());
    // The stores stand in alphabetical order.
    std::vector<std::string> stores;
    for (auto n = Tree().NodeAt(Tree().ItemModel()->index(0, 0, {})); n; n = n->Next()) {
        stores.push_back(n->Text());
    }
    EXPECT_THAT(stores, ElementsAre("Mailbox - Team Desk", "Personal Folders", "Public Folders"));
}

// The first show opens over the window that asked, and the dialog stays
// above it; a later one where the user left the dialog.
TEST_F(ShowTest, FirstShowOpensOverTheWindowThatAsked) {
    QWidget mailWindow;
    mailWindow.setGeometry(30, 40, 760, 560);
    mailWindow.show();
    QApplication::setActiveWindow(&mailWindow);
    ASSERT_EQ(QApplication::activeWindow(), &mailWindow);

    ASSERT_TRUE(Ask());
    // The dialog is wider than the offscreen screen: it stays on it, across
    // the mail window's middle.
    const QRect room = Form().screen()->availableGeometry();
    EXPECT_EQ(Form().frameGeometry().center().y(), mailWindow.frameGeometry().center().y());
    EXPECT_EQ(Form().frameGeometry().left(), room.left());
    EXPECT_EQ(Form().windowHandle()->transientParent(), mailWindow.windowHandle());

    // Made small enough to stand anywhere on the screen.
    Form().resize(400, 300);
    Form().move(Form().pos() + QPoint(25, 15));
    const QPoint left = Form().pos();
    Click("cmdCancel");
    QApplication::setActiveWindow(&mailWindow);
    ASSERT_TRUE(Ask());
    EXPECT_EQ(Form().pos(), left);
}

}  // namespace
}  // namespace chooser_test
