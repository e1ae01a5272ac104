#pragma once

#include <QMargins>
#include <QPointer>
#include <QRect>

class QWidget;

namespace platform::widgets {

// The window a dialog or message box opens over: the window of `asked`,
// else the window that asks (ScopedAskingWindow), else the modal dialog in
// front, else the active window; nothing when the program shows no window.
QWidget* OwnerWindow(QWidget* asked = nullptr);

// Names the window that asks for the windows opened during its life whose
// caller has no window of its own to give (the questions that code without
// windows puts), and puts the previous one back at its end.
class ScopedAskingWindow {
  public:
    explicit ScopedAskingWindow(QWidget* asking);
    ~ScopedAskingWindow();
    ScopedAskingWindow(const ScopedAskingWindow&) = delete;
    ScopedAskingWindow& operator=(const ScopedAskingWindow&) = delete;

  private:
    QPointer<QWidget> previous_;
};

// A window's frame made to lie on `room`: no larger than `room`, but not
// smaller than the window's least size `least` with the frame's `margins`
// around it, and moved as little as it takes (to `room`'s top left corner
// when it is still larger).
QRect FittedFrame(QRect frame, QSize least, const QMargins& margins, const QRect& room);

// Moves a window to the middle of `over`'s window, kept on the screen; with
// nothing to go over it stays where it is.
void CentreOver(QWidget* window, QWidget* over);

// Where a frame of `frame`'s size goes so as not to cover `owner`'s frame:
// right of it, else left of it, else below it, where `room` has the space;
// else over its middle. Then fitted to `room` as FittedFrame fits it.
QRect FrameBeside(QRect frame, QSize least, const QMargins& margins, const QRect& owner,
                  const QRect& room);

// Moves a window beside `over`'s window as FrameBeside places it; with
// nothing to go beside it stays where it is.
void PlaceBeside(QWidget* window, QWidget* over);

// Moves a window to the middle of the available geometry of its screen,
// made no larger than that.
void CentreOnScreen(QWidget* window);

// Makes a window's frame lie on the available geometry of its screen, as
// FittedFrame fits it. The frame is the window's own once it has one, else
// as large as `like`'s or another window's shown, else an estimate of what
// the window manager adds. Every window of the program is kept so as it
// shows.
void KeepOnScreen(QWidget* window, const QWidget* like = nullptr);

// Shows a window in front and active, kept on the screen. At its first show
// (while the program has not placed it) it is moved over `over` as
// CentreOver moves it; a window without a parent is kept above `over`'s
// window while it shows.
void ShowInFront(QWidget* window, QWidget* over = nullptr);

// Makes a window show without taking the focus from the window the user is
// in; a click on it still makes it the active one.
void ShowWithoutActivating(QWidget* window);

}  // namespace platform::widgets
