#include "platform/mailstore/profile_impl.h"

#include <sqlite3.h>

namespace mailstore {

size_t RowCache::Size() const {
    return folders.size() + childRows + paths.size() + stores.size() + items.size() +
           folderByEntryId.size() + itemByEntryId.size() + defaultFolders.size();
}

void RowCache::Clear() {
    *this = RowCache();
}

void Profile::Impl::Forget() {
    cache.Clear();
    watch.Forget();
    keptEdits.clear();
    DropUncommittedItemIds();
}

RowCache& Profile::Impl::Cached() {
    const bool changed = watch.Changed();
    if (changed) {
        ++generation;
        listsCheckDue = true;
    }
    if (changed || cache.Size() >= kMaxCached) {
        cache.Clear();
        if (sqlite3_txn_state(db->getHandle(), "main") == SQLITE_TXN_READ) {
            watch.Forget();
        }
    }
    return cache;
}

void Profile::Impl::CheckKeptLists() {
    Cached();
    // With no list kept, the version last read stays: it is older.
    if (schemaVersion && (!listsCheckDue || folderItems.empty())) {
        return;
    }
    listsCheckDue = false;
    auto& s = Stmt("PRAGMA schema_version");
    const auto now = s.executeStep() ? s.getColumn(0).getInt64() : -1;
    // Its read must not look like a statement of the call holding a snapshot.
    s.reset();
    if (schemaVersion && *schemaVersion != now) {
        folderItems.clear();
        keptItemIds = 0;
        keptUncommitted.clear();
        keptEdits.clear();
    }
    schemaVersion = now;
}

std::optional<Id> Profile::Impl::IdByEntryId(
    std::map<std::pair<std::string, Id>, std::optional<Id>> RowCache::*kept,
    const std::string& table, const std::string& entryId, const std::string& storeEntryId) {
    auto store = StoreIdFor(storeEntryId);
    if (!store) {
        return std::nullopt;
    }
    auto& map = Cached().*kept;
    auto key = std::make_pair(entryId, *store);
    if (auto hit = map.find(key); hit != map.end()) {
        return hit->second;
    }
    auto& s = Stmt("SELECT id FROM " + table + " WHERE entry_id=? AND store_id=?");
    s.bind(1, entryId);
    s.bind(2, static_cast<int64_t>(*store));
    std::optional<Id> id;
    if (s.executeStep()) {
        id = s.getColumn(0).getInt64();
    }
    map.emplace(std::move(key), id);
    return id;
}

}  // namespace mailstore
