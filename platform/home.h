#pragma once

#include <filesystem>

namespace platform {

// The one folder of per-user state: OSTREVANE_HOME, else
// $XDG_DATA_HOME/ostrevane, else ~/.local/share/ostrevane. Read afresh at
// every call, so a test can point it elsewhere.
std::filesystem::path Home();

// Home() after creating it (and its parents) when missing.
std::filesystem::path EnsureHome();

}  // namespace platform
