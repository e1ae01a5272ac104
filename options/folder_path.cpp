#include "options/folder_path.h"

#include <exception>

#include "common/error_text.h"
#include "core/globals.h"
#include "core/rdo_lookup.h"
#include "platform/error.h"
#include "platform/outlook/outlook.h"

namespace plovanex {

namespace {

// The Name of an object that is not a folder, read late-bound.
std::string NameOf(const outlook::ObjectPtr& object) {
    if (auto recipient = std::dynamic_pointer_cast<outlook::Recipient>(object)) {
        return recipient->Name();
    }
    if (auto entry = std::dynamic_pointer_cast<outlook::AddressEntry>(object)) {
        return entry->Name();
    }
    if (auto property = std::dynamic_pointer_cast<outlook::ItemProperty>(object)) {
        return property->Name();
    }
    throw platform::Error("Object doesn't support this property or method");
}

}  // namespace

std::string FolderPath(const std::string& olAppVersion, const outlook::ObjectPtr& folder) {
    std::string path;
    Trapped({common::Source("FolderPath"), 1, false}, [&](long&) {
        auto mapiFolder = std::dynamic_pointer_cast<outlook::MAPIFolder>(folder);
        if (Need(folder).Class() != outlook::olFolder || !mapiFolder) {
            path = NameOf(folder);
            return;
        }
        path = mapiFolder->Name();
        if (!olAppVersion.starts_with('1')) {
            auto parent = mapiFolder->Parent();
            if (Need(parent).Class() == outlook::olFolder) {
                path = FolderPath(olAppVersion, parent) + "\\" + path;
            }
            return;
        }
        const std::string text = mapiFolder->FolderPath();
        const auto first = text.find_first_not_of('\\');
        path = first == std::string::npos ? "" : text.substr(first);
    });
    return path;
}

}  // namespace plovanex
