#include "core/outlook_path.h"

#include <exception>

#include "common/error_text.h"
#include "core/globals.h"
#include "core/rdo_lookup.h"
#include "platform/outlook/outlook.h"

namespace plovanex {

std::string GetFullOutlookPath(std::string& olAppVersion, outlook::ObjectPtr& olFolderItem) {
    // Numbered, and the step is always 0.
    return Trapped({common::Source("GetFullOutlookPath")}, [&](long&) -> std::string {
        if (Need(olFolderItem).Class() != outlook::olFolder) {
            return "";
        }
        auto folder = std::dynamic_pointer_cast<outlook::MAPIFolder>(olFolderItem);
        Need(folder);
        if (!olAppVersion.empty() && olAppVersion[0] == '1') {
            auto path = folder->FolderPath();
            auto first = path.find_first_not_of('\\');
            return first == std::string::npos ? "" : path.substr(first);
        }
        auto element = Helper().TransformFolderName(folder->Name(), "-");
        auto parent = folder->Parent();
        if (Need(parent).Class() == outlook::olFolder) {
            return GetFullOutlookPath(olAppVersion, parent) + "\\" + element;
        }
        return element;
    });
}

}  // namespace plovanex
