#pragma once

#include <memory>

class QApplication;

namespace host {

class ModuleHost;

// The application object of a command that shows windows. `offscreen`
// keeps every window off the screen, for commands that ask nobody.
class Gui {
  public:
    explicit Gui(bool offscreen);
    ~Gui();
    Gui(const Gui&) = delete;
    Gui& operator=(const Gui&) = delete;

    // Whether the windows can reach a person: not on the offscreen or
    // minimal platform.
    static bool OnScreen();

  private:
    std::unique_ptr<QApplication> app_;
};

// Shuts the modules down, then deletes the windows they let go, while their
// libraries are still loaded.
void ShutdownModules(ModuleHost& modules);

}  // namespace host
