#include "platform/widgets/controls.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <functional>

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

// A box opens over the window of the owner its caller gives, else over the
// modal dialog in front, else over the active window.
TEST(MessageBoxTest, OpensOverTheWindowItIsAbout) {
    using namespace platform::widgets;
    testkit::EnsureQtApplication();
    QWidget form;
    auto* box = new QLineEdit(&form);
    form.show();
    QDialog modal(&form);
    QWidget* seen = &form;
    ScopedMessageBoxHook hook([&seen](const std::string&, int, const std::string&, QWidget* owner) {
        seen = owner;
        return vbOK;
    });
    const auto asked = [](QWidget* owner) { MsgBox("Text", vbOKOnly, "Plovanex", owner); };
    struct Case {
        const char* what;
        std::function<void()> ask;
        QWidget* expected;
    };
    const Case cases[] = {
        {"the owner's window", [&] { asked(box); }, &form},
        {"the modal dialog in front",
         [&] {
             QTimer::singleShot(0, &modal, [&] {
                 asked(nullptr);
                 modal.reject();
             });
             modal.exec();
         },
         &modal},
        {"the caller's owner before the dialog in front",
         [&] {
             QTimer::singleShot(0, &modal, [&] {
                 asked(box);
                 modal.reject();
             });
             modal.exec();
         },
         &form},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        seen = nullptr;
        c.ask();
        EXPECT_EQ(seen, c.expected);
    }
}

}  // namespace
