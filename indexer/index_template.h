#pragma once

#include <filesystem>
#include <optional>

namespace kestrune {

// Makes sure the data folder holds an index template that can serve. One
// that is missing, cannot be read or lacks the marker or "<rs:insert>" is
// replaced by the copy in the program's folder (or the one given), when that
// copy can serve. False, after one report of the real cause, when neither
// can.
bool RestoreIndexTemplate(std::optional<std::filesystem::path> programFolder = std::nullopt);

}  // namespace kestrune
