#include <algorithm>

#include "platform/mailstore/profile_impl.h"

namespace mailstore {

std::int64_t Profile::Impl::FolderSerial(Id folder) {
    auto& s = Stmt("SELECT serial FROM folder_changes WHERE folder_id=?");
    s.bind(1, static_cast<int64_t>(folder));
    return s.executeStep() ? s.getColumn(0).getInt64() : 0;
}

const std::vector<Id>& Profile::Impl::FolderItemIds(Id folder) {
    // The serial is read before the ids: should a commit come between the
    // two reads, the list is kept at a serial older than its own, and the
    // next look reads it again.
    CheckKeptLists();
    const auto serial = FolderSerial(folder);
    if (auto kept = folderItems.find(folder); kept != folderItems.end()) {
        if (kept->second.serial == serial) {
            return kept->second.ids;
        }
        DropItemIds(folder);
    }
    std::vector<Id> ids;
    auto& s = Stmt("SELECT id FROM items WHERE folder_id=? ORDER BY id");
    s.bind(1, static_cast<int64_t>(folder));
    while (s.executeStep()) {
        ids.push_back(s.getColumn(0).getInt64());
    }
    // A list counts one more than its ids, so that many empty ones count too.
    if (keptItemIds + ids.size() + 1 > maxKeptItemIds) {
        folderItems.clear();
        keptItemIds = 0;
    }
    keptItemIds += ids.size() + 1;
    auto& kept = folderItems[folder];
    kept.serial = serial;
    kept.ids = std::move(ids);
    if (!sqlite3_get_autocommit(db->getHandle())) {
        keptUncommitted.push_back(folder);
    }
    return kept.ids;
}

FolderItems* Profile::Impl::CurrentItemIds(Id folder) {
    CheckKeptLists();
    auto kept = folderItems.find(folder);
    if (kept == folderItems.end()) {
        return nullptr;
    }
    if (kept->second.serial != FolderSerial(folder)) {
        DropItemIds(folder);
        return nullptr;
    }
    return &kept->second;
}

void Profile::Impl::DropItemIds(Id folder) {
    if (auto kept = folderItems.find(folder); kept != folderItems.end()) {
        keptItemIds -= kept->second.ids.size() + 1;
        folderItems.erase(kept);
    }
}

void Profile::Impl::DropUncommittedItemIds() {
    for (Id folder : keptUncommitted) {
        DropItemIds(folder);
    }
    keptUncommitted.clear();
}

Profile::Impl::Refile Profile::Impl::BeforeRefile(std::optional<Id> item, std::optional<Id> to) {
    Refile refile;
    refile.to = to;
    if (folderItems.empty()) {
        return refile;
    }
    if (item) {
        auto& s = Stmt("SELECT folder_id FROM items WHERE id=?");
        s.bind(1, static_cast<int64_t>(*item));
        if (s.executeStep()) {
            refile.from = OptionalId(s.getColumn(0));
        }
    }
    if (refile.from) {
        if (auto* kept = CurrentItemIds(*refile.from)) {
            refile.fromSerial = kept->serial;
        }
    }
    if (refile.to) {
        if (auto* kept = CurrentItemIds(*refile.to)) {
            refile.toSerial = kept->serial;
        }
    }
    return refile;
}

void Profile::Impl::AfterRefile(const Refile& refile, Id item) {
    if (refile.fromSerial) {
        keptEdits.push_back(
            {*refile.from, item, false, *refile.fromSerial, FolderSerial(*refile.from)});
    }
    if (refile.toSerial) {
        keptEdits.push_back({*refile.to, item, true, *refile.toSerial, FolderSerial(*refile.to)});
    }
}

void Profile::Impl::ApplyKeptEdits() {
    for (const auto& edit : keptEdits) {
        auto kept = folderItems.find(edit.folder);
        if (kept == folderItems.end()) {
            continue;
        }
        auto& ids = kept->second.ids;
        auto at = std::lower_bound(ids.begin(), ids.end(), edit.item);
        const bool there = at != ids.end() && *at == edit.item;
        // A list that is not as the edit expects is not trusted.
        if (kept->second.serial != edit.before || there == edit.in) {
            DropItemIds(edit.folder);
            continue;
        }
        if (edit.in) {
            ids.insert(at, edit.item);
            ++keptItemIds;
        } else {
            ids.erase(at);
            --keptItemIds;
        }
        kept->second.serial = edit.after;
    }
    keptEdits.clear();
}

}  // namespace mailstore
