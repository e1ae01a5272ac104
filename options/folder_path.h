#pragma once

#include <string>

#include "platform/outlook/fwd.h"

namespace plovanex {

// The path text that the rule editors and the overrides form show for a
// picked folder. On Outlook 10 and later (a version that begins with "1") it
// is the folder's FolderPath without its leading backslashes; on Outlook 9
// the plain names from the store's top folder down, joined by "\". An object
// that is not a folder gives its Name. A failure is reported and the text
// built so far is given.
std::string FolderPath(const std::string& olAppVersion, const outlook::ObjectPtr& folder);

}  // namespace plovanex
