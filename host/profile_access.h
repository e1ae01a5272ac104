#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/mailstore/profile.h"
#include "platform/outlook/outlook.h"

namespace host {

// The mail client's version the host shows until the host lets the user
// choose it.
inline constexpr const char* kDefaultOutlookVersion = "11.0.8217";

// Opens the profile of that name (raising when there is none) and writes
// `CurrentProfile` for it.
mailstore::ProfilePtr OpenProfile(const std::string& name);
// Creates the profile and writes `CurrentProfile` for it.
mailstore::ProfilePtr CreateProfile(const std::string& name);

// The folder at a path ("\\Store\Folder" or "Store\Folder"); raises with the
// path when there is none.
mailstore::Id FolderAt(mailstore::Profile& profile, const std::string& path);

// The paths of every folder that holds the item or a copy of it (the same
// Internet message id), each once; raises when the item is gone.
std::vector<std::string> FoldersHolding(mailstore::Profile& profile, const outlook::ItemPtr& item);

// Without a display, Qt falls back to its offscreen platform.
void UseOffscreenWithoutDisplay();

// Loads the registered modules and drives them through IModuleAPI around one
// send: start-up, explorer open, inspector open, then `send` (the item event
// reaches them through the folders they registered), then, after an index
// build that they started has ended, shut-down.
void DriveSend(const outlook::ApplicationPtr& app, const outlook::ExplorerPtr& explorer,
               const outlook::InspectorPtr& inspector, const std::function<void()>& send);

}  // namespace host
