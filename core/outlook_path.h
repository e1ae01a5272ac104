#pragma once

#include <string>

#include "platform/outlook/fwd.h"

namespace plovanex {

// The folder's path text as people see it: on Outlook 10 and later the
// folder's own FolderPath without its leading backslashes; on Outlook 9 the
// names from the store's top folder down, each through the helper's
// TransformFolderName, joined by "\". Not a folder: empty text. Reports its
// failures and then gives empty text.
std::string GetFullOutlookPath(std::string& olAppVersion, outlook::ObjectPtr& olFolderItem);

}  // namespace plovanex
