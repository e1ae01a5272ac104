#pragma once

// What the filing benchmarks share: the clock, the resident memory, sent
// items made straight in the profile, and filing through the add-in's item
// event.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/plovanex.h"
#include "platform/mailstore/profile.h"
#include "platform/outlook/outlook.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double ResidentMB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

inline double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// n sent items in the folder, "Item <i>" unless `subject` names them, with
// the recipients `to` gives (none when it is empty).
inline std::vector<mailstore::Id> AddSent(mailstore::Profile& profile, mailstore::Id folder, int n,
                                          const std::function<std::string(int)>& subject = {},
                                          const std::function<std::string(int)>& to = {}) {
    std::vector<mailstore::Id> ids;
    auto store = profile.Folder(folder).storeId;
    for (int i = 0; i < n; ++i) {
        mailstore::ItemRow row;
        row.folderId = folder;
        row.storeId = store;
        row.subject = subject ? subject(i) : "Item " + std::to_string(i);
        row.sent = true;
        row.sentOn = mailstore::NowText();
        static int made = 0;
        row.internetMessageId = "<bench" + std::to_string(++made) + "@example.com>";
        auto id = profile.AddItem(row);
        if (to) {
            profile.SetRecipients(id, mailstore::ResolveRecipients(profile, to(i), 1));
        }
        ids.push_back(id);
    }
    return ids;
}

// Hands every item to the add-in's item event as arriving in Sent Items;
// gives the items per second.
inline double FileThroughItemEvent(plovanex::CPlovanex& addin, const outlook::NameSpacePtr& ns,
                                   mailstore::Profile& profile,
                                   const std::vector<mailstore::Id>& ids) {
    auto sentFolder = ns->GetDefaultFolder(outlook::olFolderSentMail);
    std::string sentEntryId = sentFolder->EntryID();
    std::string sentStoreId = sentFolder->StoreID();
    std::vector<outlook::ItemPtr> items;
    for (auto id : ids) {
        items.push_back(ns->GetItemFromID(profile.Item(id).entryId));
    }
    auto start = Clock::now();
    for (auto& item : items) {
        std::int32_t kind = 1;
        bool cancel = false;
        ostrevane::ModuleResult result;
        addin.QvItemEvent(kind, item, cancel, sentEntryId, sentStoreId, result);
        item.reset();
    }
    return static_cast<double>(ids.size()) / Seconds(start);
}

}  // namespace bench
