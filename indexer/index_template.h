#pragma once

#include <filesystem>

namespace kestrune {

// The folder of the running program, where the index template ships; empty
// when it cannot be told.
std::filesystem::path ProgramFolder();

// Copies the index template from that folder into the data folder when the
// data folder has none. A failure is reported; the build then meets the
// missing template on its own error road.
void RestoreIndexTemplate(const std::filesystem::path& programFolder = ProgramFolder());

}  // namespace kestrune
