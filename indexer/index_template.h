#pragma once

#include <filesystem>
#include <optional>

namespace kestrune {

// Raises, with the cause, when the add-in's recordset cannot open the index
// in file.
void CheckWholeIndex(const std::filesystem::path& file);

// Makes sure the data folder holds an index template that can serve. One
// that is missing, cannot be read (no regular file), lacks the marker or
// "<rs:insert>", or filled with a row makes no whole index is
// replaced by the copy in the program's folder (or the one given), when that
// copy can serve, with ordinary permissions. False, after one report of the real cause, when
// neither can.
bool RestoreIndexTemplate(std::optional<std::filesystem::path> programFolder = std::nullopt);

}  // namespace kestrune
