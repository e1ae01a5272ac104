#pragma once

#include <functional>
#include <string>

// The message boxes of every form. Tests answer them through a hook; without
// a hook and without a person (the offscreen and minimal platforms) the box
// is not shown and Cancel is the answer, so no headless run waits.
namespace platform::widgets {

inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;

using MessageBoxHook =
    std::function<int(const std::string& prompt, int buttons, const std::string& title)>;
// Installs the hook and gives the one it replaces.
MessageBoxHook InstallMessageBoxHook(MessageBoxHook hook);

// Installs a hook for its own life and puts the previous one back.
class ScopedMessageBoxHook {
  public:
    explicit ScopedMessageBoxHook(MessageBoxHook hook)
        : previous_(InstallMessageBoxHook(std::move(hook))) {}
    ~ScopedMessageBoxHook() { InstallMessageBoxHook(std::move(previous_)); }
    ScopedMessageBoxHook(const ScopedMessageBoxHook&) = delete;
    ScopedMessageBoxHook& operator=(const ScopedMessageBoxHook&) = delete;

  private:
    MessageBoxHook previous_;
};

// Shows the box and gives the button pressed.
int MsgBox(const std::string& prompt, int buttons, const std::string& title);

}  // namespace platform::widgets
