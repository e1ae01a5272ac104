#pragma once

// What the tests of the host program share.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/testkit/testkit.h"

namespace host_test {

// A run of the host program on the test's home.
inline testkit::ProgramResult Ostrevane(const std::vector<std::string>& args) {
    return testkit::RunProgram(OSTREVANE_BIN, args);
}

// An index in the home's data folder, so that no run starts the index builder.
inline void PutIndex(const std::filesystem::path& home) {
    std::filesystem::create_directories(home / "data");
    std::ofstream(home / "data" / "MyFolderList.xml") << "index";
}

}  // namespace host_test
