#include "platform/home.h"

#include <cstdlib>

namespace platform {

std::filesystem::path Home() {
    if (const char* home = std::getenv("OSTREVANE_HOME"); home && *home) {
        return home;
    }
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        return std::filesystem::path(xdg) / "ostrevane";
    }
    const char* user = std::getenv("HOME");
    return std::filesystem::path(user && *user ? user : ".") / ".local" / "share" / "ostrevane";
}

std::filesystem::path EnsureHome() {
    auto home = Home();
    std::filesystem::create_directories(home);
    return home;
}

}  // namespace platform
