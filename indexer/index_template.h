#pragma once

#include <filesystem>
#include <optional>

namespace kestrune {

// Copies the index template from the program's folder (or the one given)
// into the data folder when the data folder has none. A failure is
// reported; the build then meets the missing template on its own error road.
void RestoreIndexTemplate(std::optional<std::filesystem::path> programFolder = std::nullopt);

}  // namespace kestrune
