#pragma once

// What the filing benchmarks share: the clock, the resident memory, sent
// items made straight in the profile, and filing through the add-in's item
// event.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <ctime>
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

// The processor time the process has used, in seconds.
inline double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Items per second of the clock on the wall, and per second of processor
// time: the second holds on a machine that other work keeps busy.
struct Rate {
    double perSecond = 0;
    double perCpuSecond = 0;
};

// Times a stretch of work from its making.
class Stopwatch {
  public:
    Stopwatch() : wall_(Clock::now()), cpu_(CpuSeconds()) {}
    Rate RateOf(double items) const {
        return {items / Seconds(wall_), items / (CpuSeconds() - cpu_)};
    }

  private:
    Clock::time_point wall_;
    double cpu_;
};

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
inline Rate FileThroughItemEvent(plovanex::CPlovanex& addin, const outlook::NameSpacePtr& ns,
                                 mailstore::Profile& profile,
                                 const std::vector<mailstore::Id>& ids) {
    auto sentFolder = ns->GetDefaultFolder(outlook::olFolderSentMail);
    std::string sentEntryId = sentFolder->EntryID();
    std::string sentStoreId = sentFolder->StoreID();
    std::vector<outlook::ItemPtr> items;
    for (auto id : ids) {
        items.push_back(ns->GetItemFromID(profile.Item(id).entryId));
    }
    Stopwatch stopwatch;
    for (auto& item : items) {
        std::int32_t kind = 1;
        bool cancel = false;
        ostrevane::ModuleResult result;
        addin.QvItemEvent(kind, item, cancel, sentEntryId, sentStoreId, result);
        item.reset();
    }
    return stopwatch.RateOf(static_cast<double>(ids.size()));
}

}  // namespace bench
