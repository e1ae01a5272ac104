#include "platform/testkit/testkit.h"

#include <cstdlib>
#include <random>

namespace testkit {

TempHome::TempHome() {
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    do {
        path_ = base / ("plovanex-test-" + std::to_string(rd()));
    } while (std::filesystem::exists(path_));
    std::filesystem::create_directories(path_);
    if (const char* old = std::getenv("OSTREVANE_HOME")) {
        hadHome_ = true;
        previousHome_ = old;
    }
    setenv("OSTREVANE_HOME", path_.c_str(), 1);
    capture_ = std::make_shared<ostrevane::CaptureSink>();
    previousSink_ = ostrevane::InstallSink(capture_);
}

TempHome::~TempHome() {
    ostrevane::InstallSink(previousSink_);
    if (hadHome_) {
        setenv("OSTREVANE_HOME", previousHome_.c_str(), 1);
    } else {
        unsetenv("OSTREVANE_HOME");
    }
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace testkit
