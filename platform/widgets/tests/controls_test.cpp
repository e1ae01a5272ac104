#include "platform/widgets/controls.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include "platform/testkit/qt_application.h"
#include "platform/widgets/message_box.h"

namespace {

using platform::widgets::MakeControl;

// Each kind of control shows its caption where that kind shows text.
TEST(MakeControlTest, NamesTheControlAndShowsItsCaption) {
    testkit::EnsureQtApplication();
    QWidget form;
    platform::widgets::NameForm(&form, "frmTest", "Plovanex: Test");
    auto* button = MakeControl<QPushButton>(&form, "cmdOk", "&OK");
    auto* label = MakeControl<QLabel>(&form, "lblTo", "To:");
    auto* check = MakeControl<QCheckBox>(&form, "chkShowRights", "Show right");
    auto* text = MakeControl<QLineEdit>(&form, "txtEmailTo");
    auto* frame = MakeControl<QGroupBox>(&form, "Frame1", "Recently Used Folders");
    auto* tree = MakeControl<QTreeView>(&form, "TreeView1");

    EXPECT_EQ(form.objectName(), "frmTest");
    EXPECT_EQ(form.windowTitle(), "Plovanex: Test");
    EXPECT_EQ(form.findChild<QPushButton*>("cmdOk"), button);
    EXPECT_EQ(button->text(), "&OK");
    EXPECT_EQ(label->text(), "To:");
    EXPECT_EQ(check->text(), "Show right");
    EXPECT_EQ(form.findChild<QLineEdit*>("txtEmailTo"), text);
    EXPECT_TRUE(text->text().isEmpty());
    EXPECT_EQ(frame->title(), "Recently Used Folders");
    EXPECT_EQ(form.findChild<QTreeView*>("TreeView1"), tree);
}

// A hook answers for its scope only; without one, nobody is asked offscreen.
TEST(MessageBoxTest, ScopedHookAnswersAndIsRemoved) {
    testkit::EnsureQtApplication();
    using namespace platform::widgets;
    {
        std::string seen;
        ScopedMessageBoxHook hook(
            [&seen](const std::string& prompt, int, const std::string& title) {
                seen = title + ": " + prompt;
                return vbOK;
            });
        EXPECT_EQ(MsgBox("Text", vbOKCancel, "Plovanex"), vbOK);
        EXPECT_EQ(seen, "Plovanex: Text");
    }
    EXPECT_EQ(MsgBox("Text", vbOKOnly, "Plovanex"), vbCancel);
}

}  // namespace
