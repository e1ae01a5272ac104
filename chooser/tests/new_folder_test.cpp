// New Folder: the name dialog, the folder and its node.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "chooser/frm_new_outlook_folder.h"
#include "chooser/tests/chooser_fixture.h"

namespace chooser_test {
namespace {

using platform::widgets::Node;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

class NewFolderTest : public ChooserTest {
  protected:
    void SetUp() override {
        BuildIndex();
        ASSERT_TRUE(Ask());
    }
    // Answers the name dialog as soon as it shows: the name typed, then OK,
    // Cancel or the frame's close.
    enum class End { Ok, Cancel, Frame };
    void Answer(const std::string& name, End end) {
        QTimer::singleShot(0, &Form(), [this, name, end] {
            auto* dialog = QApplication::activeModalWidget();
            ASSERT_TRUE(dialog);
            ASSERT_EQ(dialog->objectName(), "frmNewOutlookFolder");
            EXPECT_EQ(dialog->parentWidget(), &Form());
            seenHolds =
                dialog->findChild<QLabel*>("lblNewOutlookFolderHolds")->text().toStdString();
            seenParent =
                dialog->findChild<QLabel*>("lblNewOutlookFolderParent")->text().toStdString();
            dialog->findChild<QLineEdit*>("txtNewOutlookFolderName")
                ->setText(QString::fromStdString(name));
            if (end == End::Frame) {
                dialog->close();
            } else {
                dialog->findChild<QPushButton*>(end == End::Ok ? "cmdOk" : "cmdCancel")->click();
            }
        });
    }
    std::vector<std::string> ChildrenOf(const std::string& path) {
        std::vector<std::string> names;
        for (const auto& f : kit.Profile()->Children(kit.FolderId(path))) {
            names.push_back(f.name);
        }
        return names;
    }
    std::string seenHolds, seenParent;
};

// The folder is made under the node clicked last, as typed; on the
// "&Explore" tab its node becomes the choice, and OK files there.
TEST_F(NewFolderTest, ExploreTabSelectsTheNewFolder) {
    ShowTab(0);
    ClickNode("Personal Folders\\Contacts");
    Answer("  Team list  ", End::Ok);
    Click("cmdNewFolder");
    EXPECT_EQ(seenHolds, "Contact Items");
    EXPECT_EQ(seenParent, "Contacts");
    EXPECT_THAT(ChildrenOf("\\\\Personal Folders\\Contacts"), ElementsAre("  Team list  "));
    auto selected = Tree().SelectedItem();
    ASSERT_TRUE(selected);
    EXPECT_EQ(selected->FullPath(), "Personal Folders\\Contacts\\  Team list  ");
    EXPECT_EQ(selected->Image(), "ContactItems");
    EXPECT_EQ(selected->Tag(), Record(kInbox).StoreID);
    EXPECT_THAT(Lines("NewFolder"), ElementsAre("New folder created"));
    Click("cmdOk");
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_THAT(*answers[0], ElementsAre(Record("\\\\Personal Folders\\Contacts\\  Team list  ")));
}

// On the "&Search" tab the node is added, and the choice stays as it was.
TEST_F(NewFolderTest, SearchTabAddsTheNodeOnly) {
    ShowTab(1);
    Answer("Later", End::Ok);
    Click("cmdNewFolder2");
    EXPECT_EQ(seenParent, "Inbox");
    EXPECT_EQ(seenHolds, "Mail Items");
    EXPECT_TRUE(NodeAt("Personal Folders\\Inbox\\Later"));
    EXPECT_EQ(Tree().SelectedItem()->FullPath(), "Personal Folders\\Inbox");
    EXPECT_THAT(answers, IsEmpty());
}

// A parent whose level was never read (the Inbox selected at the show)
// still shows its own subfolders beside the new one.
TEST_F(NewFolderTest, UnreadParentKeepsItsSubfolders) {
    kit.Folder("\\\\Personal Folders\\Inbox\\Old");
    NewChooser();
    ASSERT_TRUE(Ask());
    ShowTab(0);
    Answer("New", End::Ok);
    Click("cmdNewFolder");
    Node inbox = NodeAt("Personal Folders\\Inbox");
    ASSERT_TRUE(inbox);
    std::vector<std::string> children;
    for (Node child = inbox->Child(); child; child = child->Next()) {
        children.push_back(child->Text());
    }
    EXPECT_THAT(children, ElementsAre("New", "Old"));
    EXPECT_EQ(Tree().SelectedItem()->FullPath(), "Personal Folders\\Inbox\\New");
}

// Cancel, an empty name and the frame's close make nothing, even with a
// name left from an earlier use; a name the store refuses is reported
// with the store's reason.
TEST_F(NewFolderTest, NothingIsMadeWithoutANewName) {
    Answer("First", End::Ok);
    Click("cmdNewFolder");
    ASSERT_THAT(ChildrenOf(kInbox), ElementsAre("First"));
    home.Capture().Clear();
    struct Case {
        const char* name;
        std::string typed;
        End end;
    } cases[] = {{"Cancel", "Second", End::Cancel},
                 {"OK with an empty name", "", End::Ok},
                 {"frame close", "Third", End::Frame}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClickNode("Personal Folders\\Inbox");
        Answer(c.typed, c.end);
        Click("cmdNewFolder");
        EXPECT_THAT(ChildrenOf(kInbox), ElementsAre("First"));
    }
    EXPECT_THAT(Lines("NewFolder"), IsEmpty());
    EXPECT_THAT(Reports(), IsEmpty());

    const struct {
        std::string typed;
        std::string reason;
    } refused[] = {{"First", "a folder named 'First' already exists"},
                   {"Second\\Half", "a folder name cannot hold the character '\\'"}};
    for (const auto& c : refused) {
        SCOPED_TRACE(c.typed);
        home.Capture().Clear();
        ClickNode("Personal Folders\\Inbox");
        Answer(c.typed, End::Ok);
        Click("cmdNewFolder");
        ASSERT_EQ(Reports().size(), 1u);
        EXPECT_THAT(Reports()[0].message,
                    testing::StartsWith("Error occurred at line 6.  Reason: "));
        EXPECT_THAT(Reports()[0].message, testing::HasSubstr(c.reason));
        EXPECT_EQ(Reports()[0].source, "Plovanex.NewFolder");
        EXPECT_THAT(ChildrenOf(kInbox), ElementsAre("First"));
        Node inbox = NodeAt("Personal Folders\\Inbox");
        ASSERT_TRUE(inbox);
        EXPECT_EQ(inbox->Children(), 1);
        EXPECT_TRUE(chooser->Showing());
    }
}

// A chooser let go while its name dialog waits takes the dialog with it: the
// dialog's run ends as a Cancel, nothing is made, and no dialog is left over.
TEST_F(NewFolderTest, AChooserLetGoWhileItsNameDialogWaitsTakesTheDialog) {
    bool asked = false;
    QTimer::singleShot(0, &Form(), [this, &asked] {
        auto* dialog = QApplication::activeModalWidget();
        ASSERT_TRUE(dialog);
        ASSERT_EQ(dialog->objectName(), "frmNewOutlookFolder");
        asked = true;
        chooser.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    Click("cmdNewFolder");
    EXPECT_TRUE(asked);
    EXPECT_THAT(ChildrenOf(kInbox), IsEmpty());
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_NE(w->objectName().toStdString(), "frmNewOutlookFolder");
    }
}

TEST(FolderHoldsTextTest, ItemTypeGivesTheText) {
    const char* texts[] = {"Mail Items",    "Appointment Items", "Contact Items", "Task Items",
                           "Journal Items", "Note Items",        "Post Items"};
    for (int type = 0; type <= 6; ++type) {
        EXPECT_EQ(plovanex::chooser::FolderHoldsText(type), texts[type]);
    }
    EXPECT_EQ(plovanex::chooser::FolderHoldsText(7), "Mail Items");
    EXPECT_EQ(plovanex::chooser::FolderHoldsText(-1), "Mail Items");
}

}  // namespace
}  // namespace chooser_test
