#pragma once

#include <functional>
#include <string>
#include <vector>

class QWidget;

// Every window and dialog of the system, rendered offscreen to a PNG file by
// the program plovanex_screens. Each area registers its windows from a file
// of its own:
//
//   const screens::Registration r("chooser-explore", [](screens::Shot& shot) {
//       auto* form = ...;   // set up as a user would see it
//       shot.Take(form);    // renders and saves <name>.png
//   });
namespace screens {

class Shot {
  public:
    virtual ~Shot() = default;
    // Shows the window offscreen, lets it lay out and paint, and saves it
    // under the registration's name, or with a suffix for a second picture.
    virtual void Take(QWidget* window, const std::string& suffix = "") = 0;
};

using Render = std::function<void(Shot&)>;

struct Registration {
    Registration(std::string name, Render render);
};

struct Screen {
    std::string name;
    Render render;
};
std::vector<Screen>& All();

}  // namespace screens
