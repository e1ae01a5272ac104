#include "host/profile_access.h"

#include <set>

#include "host/listing.h"
#include "platform/error.h"
#include "platform/settings/settings_store.h"

namespace host {

namespace {

void WriteCurrentProfile(const std::string& name) {
    platform::settings::SaveSetting("HalvoxSoftware", "HalvoxSoftware", "CurrentProfile",
                                    "HalvoxSoftware - " + name);
}

}  // namespace

mailstore::ProfilePtr OpenProfile(const std::string& name) {
    auto profile = mailstore::Profile::Open(name);
    WriteCurrentProfile(name);
    return profile;
}

mailstore::ProfilePtr CreateProfile(const std::string& name) {
    auto profile = mailstore::Profile::Create(name);
    WriteCurrentProfile(name);
    return profile;
}

mailstore::Id FolderAt(mailstore::Profile& profile, const std::string& path) {
    auto id = profile.FolderByLevels(ParseListedPath(path));
    if (!id) {
        throw platform::Error("no folder at '" + path + "' in the profile '" + profile.Name() +
                              "'");
    }
    return *id;
}

std::vector<std::string> FoldersHolding(mailstore::Profile& profile, const outlook::ItemPtr& item) {
    auto parent = item->Parent();
    auto id = profile.ItemByEntryId(item->EntryID(), parent ? parent->StoreID() : "");
    if (!id) {
        throw platform::Error("the sent mail is no longer in the profile");
    }
    std::vector<std::string> paths;
    std::set<mailstore::Id> seen;
    for (auto copy : profile.ItemsByMessageId(profile.Item(*id).internetMessageId)) {
        auto folder = profile.Item(copy).folderId;
        if (folder && seen.insert(*folder).second) {
            paths.push_back(ListedPath(profile, *folder));
        }
    }
    return paths;
}

}  // namespace host
