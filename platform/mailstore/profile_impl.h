#pragma once

// The inside of a mail profile, shared by the files that implement it: the
// schema (profile_schema.cpp), the statement cache and the retrying call
// (profile_statements.cpp), the row cache (profile_rows.cpp), the folders'
// kept item lists (profile_folder_items.cpp), the arrival
// notices (profile_arrivals.cpp) and the reads and writes of stores,
// folders, items, recipients and the address book (one file each).

#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/mailstore/profile.h"
#include "platform/sqlite_change.h"
#include "platform/sqlite_retry.h"

namespace mailstore {

inline constexpr int kBusyTimeoutMs = 30000;
// Rows kept between calls; past this many the keeping starts afresh.
inline constexpr size_t kMaxCached = 65536;

inline std::optional<Id> OptionalId(const SQLite::Column& c) {
    if (c.isNull()) {
        return std::nullopt;
    }
    return c.getInt64();
}

inline void BindOptional(SQLite::Statement& s, int index, const std::optional<Id>& value) {
    if (value) {
        s.bind(index, static_cast<int64_t>(*value));
    } else {
        s.bind(index);
    }
}

// `value` as `digits` upper-case hexadecimal digits.
std::string Hex(std::uint64_t value, int digits);

// Rows read before, the truth while the file has not changed since (see
// Profile::Impl::Cached).
struct RowCache {
    std::unordered_map<Id, std::optional<FolderRow>> folders;
    std::unordered_map<Id, std::vector<FolderRow>> children;
    std::unordered_map<Id, std::string> paths;
    std::unordered_map<Id, StoreRow> stores;
    std::optional<std::vector<StoreRow>> allStores;
    std::optional<std::optional<StoreRow>> defaultStore;
    std::unordered_map<Id, std::optional<ItemRow>> items;
    std::map<std::pair<std::string, Id>, std::optional<Id>> folderByEntryId;
    std::map<std::pair<std::string, Id>, std::optional<Id>> itemByEntryId;
    std::map<std::pair<Id, int>, std::optional<Id>> defaultFolders;
    size_t childRows = 0;

    size_t Size() const;
    void Clear();
};

// Item ids kept in folder lists over all folders, each list counting one
// more for itself; past this many, reading a list afresh drops the others.
inline constexpr size_t kMaxKeptItemIds = size_t{1} << 20;

// A folder's item ids in id order as they were at the folder's serial in
// folder_changes; the truth while that serial is the same.
struct FolderItems {
    std::int64_t serial = 0;
    std::vector<Id> ids;
};

// Listeners of item arrivals, shared by every Profile object of a process
// that opens the same file, so both object models hear each other's moves.
class ArrivalHub {
  public:
    static ArrivalHub& Instance();
    Subscription Add(const std::string& file, Id folder, std::function<void(Id)> fn);
    void Fire(const std::string& file, Id folder, Id item);

  private:
    void Remove(std::uint64_t key);

    struct Listener {
        std::string file;
        Id folder;
        std::function<void(Id)> fn;
    };
    std::mutex mutex_;
    std::uint64_t next_ = 1;
    std::map<std::uint64_t, Listener> listeners_;
};

struct Profile::Impl {
    std::string name;
    std::filesystem::path file;
    std::string hubKey;
    std::recursive_mutex mutex;
    std::unique_ptr<SQLite::Database> db;
    std::map<std::string, std::unique_ptr<SQLite::Statement>> statements;
    // Statements stepped by the current call; reset at its end, so no read
    // transaction outlives a call (it would pin an old snapshot).
    std::vector<SQLite::Statement*> used;
    int depth = 0;
    std::mt19937_64 random;
    bool wal = false;
    platform::sqlite::ChangeWatch watch;
    RowCache cache;
    std::uint64_t generation = 0;  // counts the looks that found a change
    // The file's schema_version when the kept lists were last checked: a
    // backup put back over the file moves it, and brings old serials back.
    // They are checked when a look found a change since.
    std::optional<std::int64_t> schemaVersion;
    bool listsCheckDue = false;
    // Kept apart from the row cache: this object's own writes keep them
    // current, where they would empty the row cache.
    std::unordered_map<Id, FolderItems> folderItems;
    size_t keptItemIds = 0;
    size_t maxKeptItemIds = kMaxKeptItemIds;
    // Lists kept inside the write transaction under way, at serials it has
    // not committed: dropped unless it commits.
    std::vector<Id> keptUncommitted;
    // An edit of a kept list by the write transaction under way, made when
    // it commits: `item` goes in or out, the serial goes from `before` to
    // `after`.
    struct KeptEdit {
        Id folder;
        Id item;
        bool in;
        std::int64_t before, after;
    };
    std::vector<KeptEdit> keptEdits;

    [[noreturn]] void Fail(const std::string& what) const {
        throw platform::Error("Mail profile " + file.string() + ": " + what);
    }

    // ---- the file and its schema (profile_schema.cpp)

    void Open(bool create);
    [[noreturn]] void FailCannotWrite() const;

    // ---- the statement cache (profile_statements.cpp)

    // The prepared statement of that text, reset and unbound.
    SQLite::Statement& Stmt(const std::string& sql);

    // Runs `fn` under the lock, retrying while another process holds the
    // file, and turns every database failure into platform::Error.
    struct Scope {
        Impl& impl;
        explicit Scope(Impl& i) : impl(i) { ++impl.depth; }
        ~Scope() {
            if (--impl.depth == 0) {
                impl.ResetUsed();
                impl.keptEdits.clear();
                impl.DropUncommittedItemIds();
            }
        }
    };

    template <typename Fn>
    auto Run(Fn&& fn) {
        std::lock_guard lock(mutex);
        Scope scope(*this);
        auto attempt = [&] {
            try {
                return fn();
            } catch (...) {
                // A transaction rolled back: rows read inside it may be gone.
                // A retry of the whole call starts on a fresh snapshot.
                Forget();
                if (depth == 1) {
                    ResetUsed();
                }
                throw;
            }
        };
        try {
            return platform::sqlite::Retrying(attempt, std::chrono::milliseconds(kBusyTimeoutMs));
        } catch (const SQLite::Exception& e) {
            // A file this process may not write is open for reading alone.
            if ((e.getErrorCode() & 0xFF) == SQLITE_READONLY) {
                FailCannotWrite();
            }
            Fail(e.what());
        }
    }

    // Commits with every statement of the call reset first: a statement
    // still stepping holds a read transaction, and the checkpoint that
    // follows a commit fails while one is open, so the log would only grow.
    // Then makes the transaction's edits of the kept item lists.
    void Commit(SQLite::Transaction& tx);
    void ResetUsed();

    // ---- the row cache (profile_rows.cpp)

    // Drops what a failed call may have left: the rows kept, the kept edits
    // and the lists kept inside a transaction that rolled back.
    void Forget();
    // The rows kept, emptied first when the file may have changed since the
    // last look. A look that finds a change while a statement of this call
    // still holds an older snapshot keeps the next look from trusting what
    // is read under it.
    RowCache& Cached();
    // Drops every kept list when the schema_version moved since they were
    // last checked: the serials they were kept at may have come back.
    void CheckKeptLists();
    // The row id of a folder or an item by its EntryID in the default store
    // or the store of that StoreID, kept as the other rows are.
    std::optional<Id> IdByEntryId(
        std::map<std::pair<std::string, Id>, std::optional<Id>> RowCache::*kept,
        const std::string& table, const std::string& entryId, const std::string& storeEntryId);

    // ---- stores (profile_stores.cpp)

    std::string StoreUid(Id store);
    std::string NewEntryId(Id store);
    std::optional<StoreRow> DefaultStore();
    const std::vector<StoreRow>& Stores();
    std::optional<StoreRow> FindStore(Id id);
    std::optional<Id> StoreIdFor(const std::string& storeEntryId);

    // ---- folders (profile_folders.cpp)

    std::optional<FolderRow> FindFolder(Id id);
    FolderRow Folder(Id id);
    const std::vector<FolderRow>& Children(Id folder);
    // The folder and every folder above it, its store's root first, in one
    // statement. Raises for a folder that is its own ancestor or lies deeper
    // than kMaxFolderDepth.
    std::vector<FolderRow> Ancestry(Id folder);
    // Two backslashes, the store's name, then a backslash and a name per
    // level; from kept rows, else from the folder's ancestry.
    std::string FolderPath(Id folder);
    // Raises, naming a folder, when a store's root lies inside a folder, a
    // folder is its own ancestor, or one lies deeper than kMaxFolderDepth.
    void CheckFolderTree();
    [[noreturn]] void FailOwnAncestor(const std::string& folderName) const;
    [[noreturn]] void FailTooDeep(const std::string& folderName) const;
    // Raises for a name that a folder cannot take: empty, one that no path
    // could reach, or one with a control character (U+0000-U+001F, U+007F).
    void CheckFolderName(const std::string& name) const;
    Id StoreOfFolder(Id folder);

    // ---- the folders' kept item lists (profile_folder_items.cpp)

    std::int64_t FolderSerial(Id folder);
    // The folder's item ids in id order: the kept ones while the folder has
    // not changed, else read afresh and kept.
    const std::vector<Id>& FolderItemIds(Id folder);
    // The folder's kept list while it is current; a stale one is dropped.
    FolderItems* CurrentItemIds(Id folder);
    // A write of this object that files one item in `to`, in its write
    // transaction: BeforeRefile before the write, AfterRefile after it, and
    // the lists kept of the folders the item leaves and enters stay current
    // once the transaction commits. `item` is none for an item the write
    // makes.
    struct Refile {
        std::optional<Id> from, to;
        std::optional<std::int64_t> fromSerial, toSerial;
    };
    Refile BeforeRefile(std::optional<Id> item, std::optional<Id> to);
    void AfterRefile(const Refile& refile, Id item);
    void ApplyKeptEdits();
    void DropItemIds(Id folder);
    void DropUncommittedItemIds();

    // ---- items (profile_items.cpp)

    std::optional<ItemRow> FindItem(Id id);
    void RequireItem(Id item);
    // Deletes the items that `where` (a condition on the items' columns with
    // one parameter) selects, with their recipients and properties.
    void DeleteItemsWhere(const std::string& where, Id value);
    std::vector<std::pair<std::string, std::string>> Properties(Id item);

    // ---- recipients (profile_recipients.cpp)

    void InsertRecipients(Id item, const std::vector<RecipientRow>& recipients, int first);
    std::vector<RecipientRow> Recipients(Id item);
    void ReplaceRecipients(Id item, const std::vector<RecipientRow>& recipients);
};

}  // namespace mailstore
