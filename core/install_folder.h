#pragma once

#include <filesystem>

namespace plovanex {

// The folder of the library (or program) that holds the add-in's code: the
// install folder, with FolderList.xml and the index builder beside it.
std::filesystem::path InstallFolder();

}  // namespace plovanex
