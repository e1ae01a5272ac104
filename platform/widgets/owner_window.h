#pragma once

class QWidget;

namespace platform::widgets {

// The window a dialog or message box opens over: the window of `asked`,
// else the modal dialog in front, else the active window; nothing when the
// program shows no window.
QWidget* OwnerWindow(QWidget* asked = nullptr);

// Moves a window that has an owner to the middle of its owner's window,
// kept on that screen. A window without an owner stays where it is.
void CentreOverOwner(QWidget* window);

// Moves a window to the middle of `over`'s window, kept on that screen; with
// nothing to go over it stays where it is.
void CentreOver(QWidget* window, QWidget* over);

}  // namespace platform::widgets
