#pragma once

#include <functional>
#include <string>

class QWidget;

// The message boxes of every form. Each opens over the window it is about:
// the owner its caller gives, else the window in front. Tests answer them
// through a hook; without a hook and without a person (the offscreen and
// minimal platforms) the box is not shown and Cancel is the answer, so no
// headless run waits.
namespace platform::widgets {

inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

using MessageBoxHook =
    std::function<int(const std::string& prompt, int buttons, const std::string& title)>;
// A hook that is also told the window the box would open over.
using OwnedMessageBoxHook = std::function<int(const std::string& prompt, int buttons,
                                              const std::string& title, QWidget* owner)>;
// Installs the hook and gives the one it replaces.
OwnedMessageBoxHook InstallMessageBoxHook(OwnedMessageBoxHook hook);

// Installs a hook for its own life and puts the previous one back.
class ScopedMessageBoxHook {
  public:
    explicit ScopedMessageBoxHook(OwnedMessageBoxHook hook)
        : previous_(InstallMessageBoxHook(std::move(hook))) {}
    explicit ScopedMessageBoxHook(MessageBoxHook hook)
        : ScopedMessageBoxHook(
              OwnedMessageBoxHook([hook = std::move(hook)](const std::string& prompt, int buttons,
                                                           const std::string& title, QWidget*) {
                  return hook(prompt, buttons, title);
              })) {}
    ~ScopedMessageBoxHook() { InstallMessageBoxHook(std::move(previous_)); }
    ScopedMessageBoxHook(const ScopedMessageBoxHook&) = delete;
    ScopedMessageBoxHook& operator=(const ScopedMessageBoxHook&) = delete;

  private:
    OwnedMessageBoxHook previous_;
};

// Shows the box over `owner`'s window (by default the window in front) and
// gives the button pressed.
int MsgBox(const std::string& prompt, int buttons, const std::string& title,
           QWidget* owner = nullptr);

}  // namespace platform::widgets
