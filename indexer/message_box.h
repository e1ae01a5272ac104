#pragma once

#include <functional>
#include <string>

// The builder's message boxes. Tests answer them through a hook; without a
// hook and without a person (the offscreen and minimal platforms) the box is
// not shown and Cancel is the answer, so no headless run waits.
namespace kestrune {

inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;

using MessageBoxHook =
    std::function<int(const std::string& prompt, int buttons, const std::string& title)>;
// Installs the hook and gives the one it replaces.
MessageBoxHook InstallMessageBoxHook(MessageBoxHook hook);

// Shows the box and gives the button pressed.
int MsgBox(const std::string& prompt, int buttons, const std::string& title);

}  // namespace kestrune
