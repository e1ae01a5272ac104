#include "platform/widgets/owner_window.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <memory>

#include "platform/testkit/qt_application.h"

namespace {

namespace widgets = platform::widgets;

class OwnerWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { testkit::EnsureQtApplication(); }
    void TearDown() override {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            window->hide();
        }
    }
    static QRect Room() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    static std::unique_ptr<QWidget> Shown(const char* name, const QRect& geometry) {
        auto window = std::make_unique<QWidget>();
        window->setObjectName(name);
        window->setGeometry(geometry);
        window->show();
        return window;
    }
};

// The window that asks goes before the active window, while it shows and
// while its scope lasts; a caller's own window goes before both.
TEST_F(OwnerWindowTest, OwnerIsTheCallersWindowElseTheAskingOneElseTheActiveOne) {
    auto front = Shown("front", {10, 10, 200, 100});
    auto page = Shown("page", {300, 10, 200, 100});
    QWidget control(page.get());
    QApplication::setActiveWindow(front.get());
    ASSERT_EQ(QApplication::activeWindow(), front.get());

    EXPECT_EQ(widgets::OwnerWindow(), front.get());
    {
        const widgets::ScopedAskingWindow asking(&control);
        EXPECT_EQ(widgets::OwnerWindow(), page.get());
        EXPECT_EQ(widgets::OwnerWindow(front.get()), front.get());
        {
            const widgets::ScopedAskingWindow inner(nullptr);
            EXPECT_EQ(widgets::OwnerWindow(), front.get());
        }
        EXPECT_EQ(widgets::OwnerWindow(), page.get());
        page->hide();
        EXPECT_EQ(widgets::OwnerWindow(), front.get());
    }
    page->show();
    EXPECT_EQ(widgets::OwnerWindow(), front.get());
}

// Every window opens whole on the screen: over its owner where there is
// room, else as near to that as the screen allows; without an owner it
// stays where it is unless that is off the screen.
TEST_F(OwnerWindowTest, ShowInFrontOpensOverTheOwnerAndOnTheScreen) {
    const QRect room = Room();
    // Where the frame's top left corner goes, for the frame's size and the
    // owner's frame.
    using Where = std::function<QPoint(QSize frame, QRect owner)>;
    const Where overOwner = [](QSize frame, QRect owner) {
        QRect placed({}, frame);
        placed.moveCenter(owner.center());
        return placed.topLeft();
    };
    const Where roomTopLeft = [room](QSize, QRect) { return room.topLeft(); };
    const Where roomBottomRight = [room](QSize frame, QRect) {
        return room.bottomRight() - QPoint(frame.width() - 1, frame.height() - 1);
    };
    struct Case {
        const char* what;
        QRect owner;   // empty: no owner
        QPoint start;  // where the window stands before it shows
        QSize size;
        Where expected;
    };
    const QSize small(200, 100);
    const Case cases[] = {
        {"centred over its owner", {100, 100, 400, 300}, {}, small, overOwner},
        {"owner at the bottom right",
         {room.right() - 99, room.bottom() - 49, 200, 100},
         {},
         {300, 200},
         roomBottomRight},
        {"owner at the top left",
         {room.left() - 50, room.top() - 50, 100, 100},
         {},
         small,
         roomTopLeft},
        {"larger than the screen",
         {100, 100, 200, 100},
         {},
         room.size() + QSize(40, 40),
         roomTopLeft},
        {"no owner, on the screen",
         {},
         {30, 40},
         small,
         [](QSize, QRect) { return QPoint(30, 40); }},
        {"no owner, past the right edge",
         {},
         {room.right() - 50, 40},
         small,
         [room](QSize frame, QRect) { return QPoint(room.right() - frame.width() + 1, 40); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<QWidget> owner;
        if (!c.owner.isEmpty()) {
            owner = Shown("owner", c.owner);
        }
        QWidget window;
        window.resize(c.size);
        if (!owner) {
            window.move(c.start);
        }
        widgets::ShowInFront(&window, owner.get());
        const QRect frame = window.frameGeometry();
        EXPECT_EQ(frame.topLeft(),
                  c.expected(frame.size(), owner ? owner->frameGeometry() : QRect()));
        EXPECT_EQ(window.windowHandle()->transientParent(),
                  owner ? owner->windowHandle() : nullptr);
    }
}

// Only the first show goes over the owner; a later one keeps the place the
// window was left at, and only comes back onto the screen.
TEST_F(OwnerWindowTest, LaterShowsKeepThePlace) {
    const QRect room = Room();
    auto owner = Shown("owner", {100, 100, 400, 300});
    QWidget window;
    window.resize(200, 100);
    widgets::ShowInFront(&window, owner.get());
    ASSERT_EQ(window.frameGeometry().center(), owner->frameGeometry().center());
    window.hide();
    window.move(20, 30);
    widgets::ShowInFront(&window, owner.get());
    EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(20, 30));
    window.hide();
    window.move(room.right() - 10, room.bottom() - 10);
    widgets::ShowInFront(&window, owner.get());
    EXPECT_EQ(window.frameGeometry().bottomRight(), room.bottomRight());
}

// A frame, title bar included, is made to fit the screen, down to the
// window's least size, and moved wholly onto it.
TEST(FittedFrameTest, TheFrameFitsTheScreenDownToTheLeastSize) {
    // A title bar of 20 and borders of 1, 5 at the bottom.
    const QMargins margins(1, 20, 1, 5);
    struct Case {
        const char* what;
        QRect room;
        QRect frame;
        QSize least;
        QRect expected;
    };
    const Case cases[] = {
        {"fits as it is", {0, 0, 1280, 800}, {100, 50, 602, 645}, {200, 100}, {100, 50, 602, 645}},
        {"options dialog on 1024x600",
         {0, 0, 1024, 600},
         {211, -22, 602, 645},
         {400, 300},
         {211, 0, 602, 600}},
        {"builder on 400x240",
         {0, 0, 400, 240},
         {-31, -22, 462, 285},
         {300, 200},
         {0, 0, 400, 240}},
        {"least size larger than the screen",
         {0, 0, 400, 240},
         {50, 50, 462, 285},
         {420, 250},
         {0, 0, 422, 275}},
        {"room below a panel",
         {0, 30, 1024, 570},
         {300, 500, 402, 225},
         {100, 100},
         {300, 375, 402, 225}},
        {"second screen",
         {1280, 0, 1024, 600},
         {2200, 100, 302, 225},
         {100, 100},
         {2002, 100, 302, 225}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(widgets::FittedFrame(c.frame, c.least, margins, c.room), c.expected);
    }
}

// A window shown by any means is made to fit the screen and opens on it.
TEST_F(OwnerWindowTest, AnyWindowShownFitsTheScreen) {
    const QRect room = Room();
    QWidget window;
    window.setMinimumSize(200, 100);
    window.setGeometry(room.left() + 40, room.top() + 40, room.width() + 100, room.height() + 50);
    window.show();
    EXPECT_EQ(window.frameGeometry(), room);
    window.hide();
    window.setMinimumSize(room.width() + 10, 100);
    window.show();
    EXPECT_EQ(window.frameGeometry().topLeft(), room.topLeft());
    EXPECT_EQ(window.width(), room.width() + 10);
}

// A window that goes beside another takes the first side with room: right,
// left, then below; over its middle when none has.
TEST(FrameBesideTest, RightElseLeftElseBelowElseOver) {
    const QMargins margins(1, 20, 1, 5);
    const QSize frame(402, 225);
    const QSize least(100, 100);
    struct Case {
        const char* what;
        QRect room;
        QRect owner;
        QRect expected;
    };
    const Case cases[] = {
        {"right", {0, 0, 1280, 800}, {100, 100, 600, 400}, {700, 100, 402, 225}},
        {"right, moved up", {0, 0, 1280, 800}, {100, 700, 600, 100}, {700, 575, 402, 225}},
        {"left", {0, 0, 1280, 800}, {600, 100, 600, 400}, {198, 100, 402, 225}},
        {"below", {0, 0, 1024, 800}, {100, 100, 800, 400}, {100, 500, 402, 225}},
        {"below, moved left", {0, 0, 700, 800}, {320, 100, 380, 400}, {298, 500, 402, 225}},
        {"over the middle", {0, 0, 1024, 600}, {211, 0, 602, 600}, {311, 187, 402, 225}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(widgets::FrameBeside(QRect({}, frame), least, margins, c.owner, c.room),
                  c.expected);
    }
}

}  // namespace
