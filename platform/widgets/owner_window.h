#pragma once

class QWidget;

namespace platform::widgets {

// The window a dialog or message box opens over: the window of `asked`,
// else the modal dialog in front, else the active window; nothing when the
// program shows no window.
QWidget* OwnerWindow(QWidget* asked = nullptr);

// Moves a window to the middle of `over`'s window, kept on that screen; with
// nothing to go over it stays where it is.
void CentreOver(QWidget* window, QWidget* over);

// Shows a window in front and active, first moved over `over` as
// CentreOver moves it.
void ShowInFront(QWidget* window, QWidget* over = nullptr);

// Makes a window show without taking the focus from the window the user is
// in; a click on it still makes it the active one.
void ShowWithoutActivating(QWidget* window);

}  // namespace platform::widgets
