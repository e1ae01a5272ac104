#pragma once

#include <string>
#include <vector>

#include "platform/mailstore/profile.h"
#include "platform/outlook/outlook.h"

namespace host {

// The mail client's version the host shows unless --outlook-version names
// another.
inline constexpr const char* kDefaultOutlookVersion = "11.0.8217";

// Opens the profile of that name (raising when there is none) and writes
// `CurrentProfile` for it.
mailstore::ProfilePtr OpenProfile(const std::string& name);
// Creates the profile and writes `CurrentProfile` for it.
mailstore::ProfilePtr CreateProfile(const std::string& name);

// The folder at a path written as listings write it ("\\Store\Folder" or
// "Store\Folder"); raises with the path when it is malformed or there is none.
mailstore::Id FolderAt(mailstore::Profile& profile, const std::string& path);

// The paths, as listings write them, of every folder that holds the item or a copy of it (the same
// Internet message id), each once; raises when the item is gone.
std::vector<std::string> FoldersHolding(mailstore::Profile& profile, const outlook::ItemPtr& item);

}  // namespace host
