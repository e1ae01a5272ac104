#include "platform/widgets/offscreen.h"

#include <cstdlib>

namespace platform::widgets {

void UseOffscreenWithoutDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    if (!set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
}

}  // namespace platform::widgets
