#include "platform/mailstore/profile.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <unordered_map>

#include "platform/error.h"
#include "platform/home.h"
#include "platform/sqlite_change.h"
#include "platform/sqlite_retry.h"

namespace mailstore {

namespace {

constexpr int kSchemaVersion = 1;
constexpr int kApplicationId = 0x4F535450;  // "OSTP"
constexpr int kBusyTimeoutMs = 30000;
// Rows kept between calls; past this many the keeping starts afresh.
constexpr size_t kMaxCached = 65536;

const char* const kSchema[] = {
    "CREATE TABLE stores ("
    " id INTEGER PRIMARY KEY, entry_id TEXT NOT NULL UNIQUE, uid TEXT NOT NULL,"
    " name TEXT NOT NULL, kind INTEGER NOT NULL, is_default INTEGER NOT NULL,"
    " owner_name TEXT NOT NULL, owner_smtp TEXT NOT NULL, root_id INTEGER)",
    "CREATE TABLE folders ("
    " id INTEGER PRIMARY KEY, entry_id TEXT NOT NULL UNIQUE,"
    " store_id INTEGER NOT NULL REFERENCES stores(id), parent_id INTEGER REFERENCES folders(id),"
    " name TEXT NOT NULL, role INTEGER NOT NULL, item_type INTEGER NOT NULL,"
    " kind INTEGER NOT NULL)",
    "CREATE INDEX folders_parent ON folders(parent_id)",
    "CREATE TABLE items ("
    " id INTEGER PRIMARY KEY, entry_id TEXT NOT NULL UNIQUE,"
    " folder_id INTEGER REFERENCES folders(id), store_id INTEGER NOT NULL,"
    " item_class INTEGER NOT NULL, message_class TEXT NOT NULL, subject TEXT NOT NULL,"
    " body TEXT NOT NULL, billing TEXT NOT NULL, sent INTEGER NOT NULL, sent_on TEXT NOT NULL,"
    " message_id TEXT NOT NULL, save_sent_folder INTEGER, sender_name TEXT NOT NULL,"
    " sender_address TEXT NOT NULL, sender_entry INTEGER, sent_on_behalf TEXT NOT NULL,"
    " send_using TEXT NOT NULL)",
    "CREATE INDEX items_folder ON items(folder_id)",
    "CREATE INDEX items_message ON items(message_id)",
    "CREATE TABLE recipients ("
    " item_id INTEGER NOT NULL, pos INTEGER NOT NULL, name TEXT NOT NULL,"
    " address TEXT NOT NULL, address_type TEXT NOT NULL, type INTEGER NOT NULL,"
    " entry INTEGER, PRIMARY KEY (item_id, pos))",
    "CREATE TABLE item_props ("
    " item_id INTEGER NOT NULL, name TEXT NOT NULL COLLATE NOCASE, value TEXT NOT NULL,"
    " PRIMARY KEY (item_id, name))",
    "CREATE TABLE address_book ("
    " id INTEGER PRIMARY KEY, entry_id TEXT NOT NULL UNIQUE, name TEXT NOT NULL,"
    " type TEXT NOT NULL, address TEXT NOT NULL, smtp TEXT NOT NULL)",
};

const char* const kItemColumns =
    "id, entry_id, folder_id, store_id, item_class, message_class, subject, body, billing,"
    " sent, sent_on, message_id, save_sent_folder, sender_name, sender_address, sender_entry,"
    " sent_on_behalf, send_using";

const char* const kStoreColumns =
    "id, entry_id, name, kind, is_default, owner_name, owner_smtp, root_id";

const char* const kFolderColumns = "id, entry_id, store_id, parent_id, name, role, item_type, kind";

std::optional<Id> OptionalId(const SQLite::Column& c) {
    if (c.isNull()) {
        return std::nullopt;
    }
    return c.getInt64();
}

void BindOptional(SQLite::Statement& s, int index, const std::optional<Id>& value) {
    if (value) {
        s.bind(index, static_cast<int64_t>(*value));
    } else {
        s.bind(index);
    }
}

StoreRow ReadStore(SQLite::Statement& s) {
    StoreRow r;
    r.id = s.getColumn(0).getInt64();
    r.entryId = s.getColumn(1).getString();
    r.name = s.getColumn(2).getString();
    r.kind = static_cast<StoreKind>(s.getColumn(3).getInt());
    r.isDefault = s.getColumn(4).getInt() != 0;
    r.ownerName = s.getColumn(5).getString();
    r.ownerSmtp = s.getColumn(6).getString();
    r.rootId = s.getColumn(7).getInt64();
    return r;
}

FolderRow ReadFolder(SQLite::Statement& s) {
    FolderRow r;
    r.id = s.getColumn(0).getInt64();
    r.entryId = s.getColumn(1).getString();
    r.storeId = s.getColumn(2).getInt64();
    r.parentId = OptionalId(s.getColumn(3));
    r.name = s.getColumn(4).getString();
    r.role = s.getColumn(5).getInt();
    r.itemType = s.getColumn(6).getInt();
    r.kind = static_cast<FolderKind>(s.getColumn(7).getInt());
    return r;
}

ItemRow ReadItem(SQLite::Statement& s) {
    ItemRow r;
    r.id = s.getColumn(0).getInt64();
    r.entryId = s.getColumn(1).getString();
    r.folderId = OptionalId(s.getColumn(2));
    r.storeId = s.getColumn(3).getInt64();
    r.itemClass = s.getColumn(4).getInt();
    r.messageClass = s.getColumn(5).getString();
    r.subject = s.getColumn(6).getString();
    r.body = s.getColumn(7).getString();
    r.billing = s.getColumn(8).getString();
    r.sent = s.getColumn(9).getInt() != 0;
    r.sentOn = s.getColumn(10).getString();
    r.internetMessageId = s.getColumn(11).getString();
    r.saveSentFolderId = OptionalId(s.getColumn(12));
    r.senderName = s.getColumn(13).getString();
    r.senderAddress = s.getColumn(14).getString();
    r.senderEntry = OptionalId(s.getColumn(15));
    r.sentOnBehalfOf = s.getColumn(16).getString();
    r.sendUsing = s.getColumn(17).getString();
    return r;
}

AddressEntryRow ReadEntry(SQLite::Statement& s) {
    AddressEntryRow r;
    r.id = s.getColumn(0).getInt64();
    r.entryId = s.getColumn(1).getString();
    r.name = s.getColumn(2).getString();
    r.type = s.getColumn(3).getString();
    r.address = s.getColumn(4).getString();
    r.smtp = s.getColumn(5).getString();
    return r;
}

const char* FieldColumn(ItemField field) {
    switch (field) {
        case ItemField::Subject:
            return "subject";
        case ItemField::Body:
            return "body";
        case ItemField::Billing:
            return "billing";
        case ItemField::MessageClass:
            return "message_class";
        case ItemField::SentOnBehalfOf:
            return "sent_on_behalf";
        case ItemField::SendUsing:
            return "send_using";
    }
    return "subject";
}

// Listeners of item arrivals, shared by every Profile object of a process
// that opens the same file, so both object models hear each other's moves.
class ArrivalHub {
  public:
    static ArrivalHub& Instance() {
        static ArrivalHub hub;
        return hub;
    }

    Subscription Add(const std::string& file, Id folder, std::function<void(Id)> fn) {
        std::lock_guard lock(mutex_);
        auto key = next_++;
        listeners_[key] = Listener{file, folder, std::move(fn)};
        return Subscription(new std::uint64_t(key), [](void* p) {
            auto* k = static_cast<std::uint64_t*>(p);
            ArrivalHub::Instance().Remove(*k);
            delete k;
        });
    }

    void Fire(const std::string& file, Id folder, Id item) {
        std::vector<std::function<void(Id)>> calls;
        {
            std::lock_guard lock(mutex_);
            for (const auto& [key, l] : listeners_) {
                if (l.folder == folder && l.file == file) {
                    calls.push_back(l.fn);
                }
            }
        }
        for (const auto& fn : calls) {
            fn(item);
        }
    }

  private:
    void Remove(std::uint64_t key) {
        std::lock_guard lock(mutex_);
        listeners_.erase(key);
    }

    struct Listener {
        std::string file;
        Id folder;
        std::function<void(Id)> fn;
    };
    std::mutex mutex_;
    std::uint64_t next_ = 1;
    std::map<std::uint64_t, Listener> listeners_;
};

std::string Hex(std::uint64_t value, int digits) {
    static const char* const kDigits = "0123456789ABCDEF";
    std::string out(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        out[static_cast<size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return out;
}

}  // namespace

std::string NowText() {
    auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
    return buf;
}

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

    size_t Size() const {
        return folders.size() + childRows + paths.size() + stores.size() + items.size() +
               folderByEntryId.size() + itemByEntryId.size() + defaultFolders.size();
    }
    void Clear() { *this = RowCache(); }
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
    platform::sqlite::ChangeWatch watch;  // attached in WAL mode only
    RowCache cache;

    [[noreturn]] void Fail(const std::string& what) const {
        throw platform::Error("Mail profile " + file.string() + ": " + what);
    }

    SQLite::Statement& Stmt(const std::string& sql) {
        auto& slot = statements[sql];
        if (!slot) {
            slot = std::make_unique<SQLite::Statement>(*db, sql);
        } else {
            slot->reset();
            slot->clearBindings();
        }
        used.push_back(slot.get());
        return *slot;
    }

    // Runs `fn` under the lock, retrying while another process holds the
    // file, and turns every database failure into platform::Error.
    struct Scope {
        Impl& impl;
        explicit Scope(Impl& i) : impl(i) { ++impl.depth; }
        ~Scope() {
            if (--impl.depth == 0) {
                impl.ResetUsed();
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
            Fail(e.what());
        }
    }

    // Commits with every statement of the call reset first: a statement
    // still stepping holds a read transaction, and the checkpoint that
    // follows a commit fails while one is open, so the log would only grow.
    void Commit(SQLite::Transaction& tx) {
        ResetUsed();
        tx.commit();
    }

    void ResetUsed() {
        for (auto* s : used) {
            s->tryReset();
        }
        used.clear();
    }

    void Forget() {
        cache.Clear();
        watch.Forget();
    }

    // The rows kept, emptied first when the file may have changed since the
    // last look. A look that finds a change while a statement of this call
    // still holds an older snapshot keeps the next look from trusting what
    // is read under it.
    // The row id of a folder or an item by its EntryID in the default store
    // or the store of that StoreID, kept as the other rows are.
    std::optional<Id> IdByEntryId(
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

    RowCache& Cached() {
        if (watch.Changed() || cache.Size() >= kMaxCached) {
            cache.Clear();
            if (sqlite3_txn_state(db->getHandle(), "main") == SQLITE_TXN_READ) {
                watch.Forget();
            }
        }
        return cache;
    }

    void Open(bool create) {
        try {
            int flags = SQLite::OPEN_READWRITE | (create ? SQLite::OPEN_CREATE : 0);
            db = std::make_unique<SQLite::Database>(file.string(), flags);
            db->setBusyTimeout(kBusyTimeoutMs);
        } catch (const SQLite::Exception& e) {
            Fail(std::string("cannot be opened: ") + e.what());
        }
        Run([&] {
            try {
                wal = db->execAndGet("PRAGMA journal_mode=WAL").getString() == "wal";
            } catch (const SQLite::Exception& e) {
                if (platform::sqlite::IsTransient(e)) {
                    throw;
                }
                Fail(std::string("the file is damaged or not a mail profile: ") + e.what());
            }
            db->exec("PRAGMA synchronous=NORMAL");
            db->exec("PRAGMA foreign_keys=ON");
            SQLite::Transaction tx(*db, SQLite::TransactionBehavior::IMMEDIATE);
            int version = db->execAndGet("PRAGMA user_version").getInt();
            int app = db->execAndGet("PRAGMA application_id").getInt();
            int tables =
                db->execAndGet("SELECT count(*) FROM sqlite_master WHERE type='table'").getInt();
            if (tables == 0 && version == 0 && app == 0) {
                for (const char* sql : kSchema) {
                    db->exec(sql);
                }
                db->exec("PRAGMA application_id=" + std::to_string(kApplicationId));
                db->exec("PRAGMA user_version=" + std::to_string(kSchemaVersion));
            } else if (app != kApplicationId) {
                Fail("the file holds another program's database");
            } else if (version != kSchemaVersion) {
                Fail("unknown schema version " + std::to_string(version));
            }
            Commit(tx);
            return 0;
        });
        if (wal) {
            watch.Attach(db->getHandle());
        }
        std::random_device rd;
        random.seed((static_cast<std::uint64_t>(rd()) << 32) ^ rd() ^
                    static_cast<std::uint64_t>(getpid()) ^
                    static_cast<std::uint64_t>(
                        std::chrono::steady_clock::now().time_since_epoch().count()));
    }

    std::string StoreUid(Id store) {
        auto& s = Stmt("SELECT uid FROM stores WHERE id=?");
        s.bind(1, static_cast<int64_t>(store));
        if (!s.executeStep()) {
            Fail("no store " + std::to_string(store));
        }
        return s.getColumn(0).getString();
    }

    std::string NewEntryId(Id store) { return "00000000" + StoreUid(store) + Hex(random(), 16); }

    std::optional<FolderRow> FindFolder(Id id) {
        auto& c = Cached();
        if (auto hit = c.folders.find(id); hit != c.folders.end()) {
            return hit->second;
        }
        static const std::string sql =
            std::string("SELECT ") + kFolderColumns + " FROM folders WHERE id=?";
        auto& s = Stmt(sql);
        s.bind(1, static_cast<int64_t>(id));
        std::optional<FolderRow> row;
        if (s.executeStep()) {
            row = ReadFolder(s);
        }
        c.folders.emplace(id, row);
        return row;
    }

    const std::vector<FolderRow>& Children(Id folder) {
        auto& c = Cached();
        if (auto hit = c.children.find(folder); hit != c.children.end()) {
            return hit->second;
        }
        static const std::string sql =
            std::string("SELECT ") + kFolderColumns + " FROM folders WHERE parent_id=? ORDER BY id";
        auto& s = Stmt(sql);
        s.bind(1, static_cast<int64_t>(folder));
        std::vector<FolderRow> rows;
        while (s.executeStep()) {
            rows.push_back(ReadFolder(s));
            c.folders.emplace(rows.back().id, rows.back());
        }
        c.childRows += rows.size();
        return c.children.emplace(folder, std::move(rows)).first->second;
    }

    // Two backslashes, the store's name, then a backslash and a name per
    // level; from kept rows, else the rows of every level in one statement.
    std::string FolderPath(Id folder) {
        auto& c = Cached();
        if (auto hit = c.paths.find(folder); hit != c.paths.end()) {
            return hit->second;
        }
        if (auto row = c.folders.find(folder); row != c.folders.end() && row->second) {
            const auto& f = *row->second;
            if (!f.parentId) {
                return c.paths.emplace(folder, "\\\\" + f.name).first->second;
            }
            if (auto parent = c.paths.find(*f.parentId); parent != c.paths.end()) {
                return c.paths.emplace(folder, parent->second + "\\" + f.name).first->second;
            }
        }
        static const std::string sql =
            "WITH RECURSIVE up(id, depth) AS ("
            " SELECT id, 0 FROM folders WHERE id=?"
            " UNION ALL SELECT f.parent_id, up.depth + 1"
            " FROM folders f JOIN up ON f.id = up.id WHERE f.parent_id IS NOT NULL)"
            " SELECT " +
            std::string(kFolderColumns) + " FROM up JOIN folders USING (id) ORDER BY up.depth DESC";
        auto& s = Stmt(sql);
        s.bind(1, static_cast<int64_t>(folder));
        std::string path;
        bool any = false;
        while (s.executeStep()) {
            auto f = ReadFolder(s);
            path += (any ? "\\" : "\\\\") + f.name;
            any = true;
            c.paths.emplace(f.id, path);
            c.folders.emplace(f.id, std::move(f));
        }
        if (!any) {
            Fail("the folder no longer exists");
        }
        return path;
    }

    FolderRow Folder(Id id) {
        auto f = FindFolder(id);
        if (!f) {
            Fail("the folder no longer exists");
        }
        return *f;
    }

    std::optional<ItemRow> FindItem(Id id) {
        auto& c = Cached();
        if (auto hit = c.items.find(id); hit != c.items.end()) {
            return hit->second;
        }
        static const std::string sql =
            std::string("SELECT ") + kItemColumns + " FROM items WHERE id=?";
        auto& s = Stmt(sql);
        s.bind(1, static_cast<int64_t>(id));
        std::optional<ItemRow> row;
        if (s.executeStep()) {
            row = ReadItem(s);
        }
        c.items.emplace(id, row);
        return row;
    }

    std::optional<StoreRow> DefaultStore() {
        auto& c = Cached();
        if (c.defaultStore) {
            return *c.defaultStore;
        }
        static const std::string sql = std::string("SELECT ") + kStoreColumns +
                                       " FROM stores ORDER BY is_default DESC, id LIMIT 1";
        auto& s = Stmt(sql);
        std::optional<StoreRow> row;
        if (s.executeStep()) {
            row = ReadStore(s);
        }
        c.defaultStore = row;
        return row;
    }

    const std::vector<StoreRow>& Stores() {
        auto& c = Cached();
        if (!c.allStores) {
            static const std::string sql =
                std::string("SELECT ") + kStoreColumns + " FROM stores ORDER BY id";
            auto& s = Stmt(sql);
            std::vector<StoreRow> rows;
            while (s.executeStep()) {
                rows.push_back(ReadStore(s));
                c.stores.emplace(rows.back().id, rows.back());
            }
            c.allStores = std::move(rows);
        }
        return *c.allStores;
    }

    std::optional<StoreRow> FindStore(Id id) {
        auto& c = Cached();
        if (auto hit = c.stores.find(id); hit != c.stores.end()) {
            return hit->second;
        }
        for (const auto& row : Stores()) {
            if (row.id == id) {
                return row;
            }
        }
        return std::nullopt;
    }

    std::optional<Id> StoreIdFor(const std::string& storeEntryId) {
        if (storeEntryId.empty()) {
            auto store = DefaultStore();
            return store ? std::optional<Id>(store->id) : std::nullopt;
        }
        for (const auto& row : Stores()) {
            if (row.entryId == storeEntryId) {
                return row.id;
            }
        }
        return std::nullopt;
    }

    void InsertRecipients(Id item, const std::vector<RecipientRow>& recipients, int first) {
        int pos = first;
        for (const auto& r : recipients) {
            auto& s = Stmt(
                "INSERT INTO recipients (item_id, pos, name, address, address_type, type, entry)"
                " VALUES (?, ?, ?, ?, ?, ?, ?)");
            s.bind(1, static_cast<int64_t>(item));
            s.bind(2, pos++);
            s.bind(3, r.name);
            s.bind(4, r.address);
            s.bind(5, r.addressType);
            s.bind(6, r.type);
            BindOptional(s, 7, r.entry);
            s.exec();
        }
    }

    Id StoreOfFolder(Id folder) { return Folder(folder).storeId; }

    void RequireItem(Id item) {
        auto& s = Stmt("SELECT 1 FROM items WHERE id=?");
        s.bind(1, static_cast<int64_t>(item));
        if (!s.executeStep()) {
            Fail("the item no longer exists");
        }
    }
};

Profile::Profile(std::string name, std::filesystem::path file, bool create)
    : impl_(std::make_unique<Impl>()) {
    impl_->name = std::move(name);
    impl_->file = std::move(file);
    impl_->Open(create);
    std::error_code ec;
    auto canonical = std::filesystem::weakly_canonical(impl_->file, ec);
    impl_->hubKey = ec ? impl_->file.string() : canonical.string();
}

Profile::~Profile() = default;

std::filesystem::path Profile::FileFor(const std::string& name) {
    if (name.empty() || name.find_first_of("/\\") != std::string::npos || name == "." ||
        name == "..") {
        throw platform::Error("Mail profile name '" + name + "' is not valid");
    }
    return platform::Home() / "profiles" / (name + ".db");
}

bool Profile::Exists(const std::string& name) {
    return std::filesystem::exists(FileFor(name));
}

std::shared_ptr<Profile> Profile::Create(const std::string& name) {
    auto file = FileFor(name);
    if (std::filesystem::exists(file)) {
        throw platform::Error("Mail profile " + file.string() + ": the profile '" + name +
                              "' already exists");
    }
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
        throw platform::Error("Mail profile " + file.string() + ": " + ec.message());
    }
    return std::shared_ptr<Profile>(new Profile(name, file, true));
}

std::shared_ptr<Profile> Profile::Open(const std::string& name) {
    auto file = FileFor(name);
    if (!std::filesystem::exists(file)) {
        throw platform::Error("Mail profile " + file.string() + ": there is no profile '" + name +
                              "'");
    }
    return std::shared_ptr<Profile>(new Profile(name, file, false));
}

const std::string& Profile::Name() const {
    return impl_->name;
}
const std::filesystem::path& Profile::File() const {
    return impl_->file;
}

std::string Profile::NewEntryId(Id store) {
    return impl_->Run([&] { return impl_->NewEntryId(store); });
}

Id Profile::AddStore(const std::string& name, StoreKind kind, const std::string& ownerName,
                     const std::string& ownerSmtp, bool isDefault) {
    if (name.empty()) {
        impl_->Fail("a store needs a name");
    }
    return impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        bool first = impl_->db->execAndGet("SELECT count(*) FROM stores").getInt() == 0;
        if (isDefault) {
            impl_->db->exec("UPDATE stores SET is_default=0");
        }
        std::string uid = Hex(impl_->random(), 16) + Hex(impl_->random(), 16);
        auto& s = impl_->Stmt(
            "INSERT INTO stores (entry_id, uid, name, kind, is_default, owner_name, owner_smtp)"
            " VALUES (?, ?, ?, ?, ?, ?, ?)");
        s.bind(1, "0000000053544F52" + uid);
        s.bind(2, uid);
        s.bind(3, name);
        s.bind(4, static_cast<int>(kind));
        s.bind(5, (isDefault || first) ? 1 : 0);
        s.bind(6, ownerName);
        s.bind(7, ownerSmtp);
        s.exec();
        Id store = impl_->db->getLastInsertRowid();
        auto& f = impl_->Stmt(
            "INSERT INTO folders (entry_id, store_id, parent_id, name, role, item_type, kind)"
            " VALUES (?, ?, NULL, ?, 0, 0, 0)");
        f.bind(1, impl_->NewEntryId(store));
        f.bind(2, static_cast<int64_t>(store));
        f.bind(3, name);
        f.exec();
        Id root = impl_->db->getLastInsertRowid();
        auto& u = impl_->Stmt("UPDATE stores SET root_id=? WHERE id=?");
        u.bind(1, static_cast<int64_t>(root));
        u.bind(2, static_cast<int64_t>(store));
        u.exec();
        impl_->Commit(tx);
        return store;
    });
}

std::vector<StoreRow> Profile::Stores() {
    return impl_->Run([&] { return impl_->Stores(); });
}

StoreRow Profile::Store(Id id) {
    return impl_->Run([&] {
        auto row = impl_->FindStore(id);
        if (!row) {
            impl_->Fail("the store no longer exists");
        }
        return *row;
    });
}

std::optional<StoreRow> Profile::DefaultStore() {
    return impl_->Run([&] { return impl_->DefaultStore(); });
}

std::optional<StoreRow> Profile::StoreByEntryId(const std::string& entryId) {
    return impl_->Run([&]() -> std::optional<StoreRow> {
        auto& s =
            impl_->Stmt(std::string("SELECT ") + kStoreColumns + " FROM stores WHERE entry_id=?");
        s.bind(1, entryId);
        if (!s.executeStep()) {
            return std::nullopt;
        }
        return ReadStore(s);
    });
}

std::optional<StoreRow> Profile::StoreOfOwner(const std::string& who) {
    if (who.empty()) {
        return std::nullopt;
    }
    return impl_->Run([&]() -> std::optional<StoreRow> {
        auto& s = impl_->Stmt(
            std::string("SELECT ") + kStoreColumns +
            " FROM stores s WHERE s.owner_name<>'' AND (s.owner_name=?1 COLLATE NOCASE"
            " OR s.owner_smtp=?1 COLLATE NOCASE OR EXISTS (SELECT 1 FROM address_book a"
            " WHERE a.smtp=s.owner_smtp COLLATE NOCASE AND a.address=?1 COLLATE NOCASE))"
            " ORDER BY s.is_default DESC, s.id LIMIT 1");
        s.bind(1, who);
        if (!s.executeStep()) {
            return std::nullopt;
        }
        return ReadStore(s);
    });
}

Id Profile::AddFolder(Id parent, const std::string& name, int itemType, int folderRole,
                      FolderKind kind) {
    if (name.empty()) {
        impl_->Fail("a folder needs a name");
    }
    return impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        auto parentRow = impl_->Folder(parent);
        auto& dup =
            impl_->Stmt("SELECT 1 FROM folders WHERE parent_id=? AND name=? COLLATE NOCASE");
        dup.bind(1, static_cast<int64_t>(parent));
        dup.bind(2, name);
        if (dup.executeStep()) {
            impl_->Fail("a folder named '" + name + "' already exists in '" + parentRow.name + "'");
        }
        auto& s = impl_->Stmt(
            "INSERT INTO folders (entry_id, store_id, parent_id, name, role, item_type, kind)"
            " VALUES (?, ?, ?, ?, ?, ?, ?)");
        s.bind(1, impl_->NewEntryId(parentRow.storeId));
        s.bind(2, static_cast<int64_t>(parentRow.storeId));
        s.bind(3, static_cast<int64_t>(parent));
        s.bind(4, name);
        s.bind(5, folderRole);
        s.bind(6, itemType);
        s.bind(7, static_cast<int>(kind));
        s.exec();
        Id id = impl_->db->getLastInsertRowid();
        impl_->Commit(tx);
        return id;
    });
}

void Profile::RenameFolder(Id folder, const std::string& name) {
    if (name.empty()) {
        impl_->Fail("a folder needs a name");
    }
    impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        auto row = impl_->Folder(folder);
        if (!row.parentId) {
            impl_->Fail("a store's root folder takes the store's name");
        }
        auto& dup = impl_->Stmt(
            "SELECT 1 FROM folders WHERE parent_id=? AND name=? COLLATE NOCASE AND id<>?");
        dup.bind(1, static_cast<int64_t>(*row.parentId));
        dup.bind(2, name);
        dup.bind(3, static_cast<int64_t>(folder));
        if (dup.executeStep()) {
            impl_->Fail("a folder named '" + name + "' already exists there");
        }
        auto& s = impl_->Stmt("UPDATE folders SET name=? WHERE id=?");
        s.bind(1, name);
        s.bind(2, static_cast<int64_t>(folder));
        s.exec();
        impl_->Commit(tx);
        return 0;
    });
}

namespace {

// The items of the folders `scope` selects (a query of folder ids with one
// parameter), and what hangs on them.
void DeleteItemsOf(SQLite::Database& db, const std::string& scope, Id key) {
    const std::string items = "SELECT id FROM items WHERE folder_id IN (" + scope + ")";
    for (const char* table : {"item_props", "recipients"}) {
        SQLite::Statement s(
            db, std::string("DELETE FROM ") + table + " WHERE item_id IN (" + items + ")");
        s.bind(1, static_cast<int64_t>(key));
        s.exec();
    }
    SQLite::Statement s(db, "DELETE FROM items WHERE folder_id IN (" + scope + ")");
    s.bind(1, static_cast<int64_t>(key));
    s.exec();
}

}  // namespace

void Profile::DeleteFolder(Id folder) {
    impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        if (!impl_->Folder(folder).parentId) {
            impl_->Fail("a store's root folder cannot be deleted");
        }
        const std::string subtree =
            "WITH RECURSIVE t(id) AS (SELECT ?1 UNION ALL SELECT f.id FROM folders f JOIN t ON "
            "f.parent_id=t.id) SELECT id FROM t";
        impl_->ResetUsed();
        DeleteItemsOf(*impl_->db, subtree, folder);
        SQLite::Statement s(*impl_->db, "DELETE FROM folders WHERE id IN (" + subtree + ")");
        s.bind(1, static_cast<int64_t>(folder));
        s.exec();
        impl_->Commit(tx);
        return 0;
    });
}

void Profile::RemoveStore(Id store) {
    impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        auto row = impl_->FindStore(store);
        if (!row) {
            impl_->Fail("the store no longer exists");
        }
        if (row->isDefault) {
            impl_->Fail("the default store cannot be removed");
        }
        impl_->ResetUsed();
        const std::string folders = "SELECT id FROM folders WHERE store_id=?1";
        DeleteItemsOf(*impl_->db, folders, store);
        for (const char* sql :
             {"DELETE FROM folders WHERE store_id=?", "DELETE FROM stores WHERE id=?"}) {
            SQLite::Statement s(*impl_->db, sql);
            s.bind(1, static_cast<int64_t>(store));
            s.exec();
        }
        impl_->Commit(tx);
        return 0;
    });
}

FolderRow Profile::Folder(Id id) {
    return impl_->Run([&] { return impl_->Folder(id); });
}

std::optional<FolderRow> Profile::FindFolder(Id id) {
    return impl_->Run([&] { return impl_->FindFolder(id); });
}

std::optional<Id> Profile::FolderByEntryId(const std::string& entryId,
                                           const std::string& storeEntryId) {
    return impl_->Run([&] {
        return impl_->IdByEntryId(&RowCache::folderByEntryId, "folders", entryId, storeEntryId);
    });
}

std::vector<FolderRow> Profile::Children(Id folder) {
    return impl_->Run([&] { return impl_->Children(folder); });
}

int Profile::ChildCount(Id folder) {
    return impl_->Run([&] { return static_cast<int>(impl_->Children(folder).size()); });
}

std::optional<Id> Profile::DefaultFolder(Id store, int folderRole) {
    return impl_->Run([&]() -> std::optional<Id> {
        auto& c = impl_->Cached();
        auto key = std::make_pair(store, folderRole);
        if (auto hit = c.defaultFolders.find(key); hit != c.defaultFolders.end()) {
            return hit->second;
        }
        auto& s = impl_->Stmt("SELECT id FROM folders WHERE store_id=? AND role=? ORDER BY id");
        s.bind(1, static_cast<int64_t>(store));
        s.bind(2, folderRole);
        std::optional<Id> id;
        if (s.executeStep()) {
            id = s.getColumn(0).getInt64();
        }
        c.defaultFolders.emplace(key, id);
        return id;
    });
}

std::string Profile::FolderPath(Id folder) {
    return impl_->Run([&] { return impl_->FolderPath(folder); });
}

std::optional<Id> Profile::FolderByPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = path.find_first_not_of('\\');
    if (start == std::string::npos) {
        return std::nullopt;
    }
    std::string rest = path.substr(start);
    size_t pos = 0;
    while (true) {
        size_t next = rest.find('\\', pos);
        parts.push_back(rest.substr(pos, next - pos));
        if (next == std::string::npos) {
            break;
        }
        pos = next + 1;
    }
    return impl_->Run([&]() -> std::optional<Id> {
        auto& r = impl_->Stmt(
            "SELECT id FROM folders WHERE parent_id IS NULL AND name=? COLLATE NOCASE"
            " ORDER BY (name=?) DESC, id LIMIT 1");
        r.bind(1, parts[0]);
        r.bind(2, parts[0]);
        if (!r.executeStep()) {
            return std::nullopt;
        }
        Id current = r.getColumn(0).getInt64();
        for (size_t i = 1; i < parts.size(); ++i) {
            auto& c = impl_->Stmt(
                "SELECT id FROM folders WHERE parent_id=? AND name=? COLLATE NOCASE"
                " ORDER BY (name=?) DESC, id LIMIT 1");
            c.bind(1, static_cast<int64_t>(current));
            c.bind(2, parts[i]);
            c.bind(3, parts[i]);
            if (!c.executeStep()) {
                return std::nullopt;
            }
            current = c.getColumn(0).getInt64();
        }
        return current;
    });
}

std::vector<FolderTableRow> Profile::FolderTable(Id folder) {
    return impl_->Run([&] {
        impl_->Folder(folder);
        std::vector<FolderTableRow> out;
        auto& s = impl_->Stmt(
            "SELECT f.name, f.entry_id, s.entry_id,"
            " (SELECT count(*) FROM folders c WHERE c.parent_id = f.id)"
            " FROM folders f JOIN stores s ON s.id = f.store_id WHERE f.parent_id=? ORDER BY f.id");
        s.bind(1, static_cast<int64_t>(folder));
        while (s.executeStep()) {
            out.push_back({s.getColumn(0).getString(), s.getColumn(1).getString(),
                           s.getColumn(2).getString(), s.getColumn(3).getInt()});
        }
        return out;
    });
}

Id Profile::AddItem(const ItemRow& item, const std::vector<RecipientRow>& recipients) {
    Id id = impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        Id store = item.storeId;
        if (item.folderId) {
            store = impl_->StoreOfFolder(*item.folderId);
        } else if (store == 0) {
            auto def = impl_->DefaultStore();
            if (!def) {
                impl_->Fail("the profile has no store");
            }
            store = def->id;
        }
        auto& s = impl_->Stmt(
            "INSERT INTO items (entry_id, folder_id, store_id, item_class, message_class, subject,"
            " body, billing, sent, sent_on, message_id, save_sent_folder, sender_name,"
            " sender_address, sender_entry, sent_on_behalf, send_using)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        s.bind(1, item.entryId.empty() ? impl_->NewEntryId(store) : item.entryId);
        BindOptional(s, 2, item.folderId);
        s.bind(3, static_cast<int64_t>(store));
        s.bind(4, item.itemClass);
        s.bind(5, item.messageClass);
        s.bind(6, item.subject);
        s.bind(7, item.body);
        s.bind(8, item.billing);
        s.bind(9, item.sent ? 1 : 0);
        s.bind(10, item.sentOn);
        s.bind(11, item.internetMessageId);
        BindOptional(s, 12, item.saveSentFolderId);
        s.bind(13, item.senderName);
        s.bind(14, item.senderAddress);
        BindOptional(s, 15, item.senderEntry);
        s.bind(16, item.sentOnBehalfOf);
        s.bind(17, item.sendUsing);
        s.exec();
        Id newId = impl_->db->getLastInsertRowid();
        impl_->InsertRecipients(newId, recipients, 1);
        impl_->Commit(tx);
        return newId;
    });
    if (item.folderId) {
        ArrivalHub::Instance().Fire(impl_->hubKey, *item.folderId, id);
    }
    return id;
}

ItemRow Profile::Item(Id id) {
    return impl_->Run([&] {
        auto item = impl_->FindItem(id);
        if (!item) {
            impl_->Fail("the item no longer exists");
        }
        return *item;
    });
}

std::optional<ItemRow> Profile::FindItem(Id id) {
    return impl_->Run([&] { return impl_->FindItem(id); });
}

std::optional<Id> Profile::ItemByEntryId(const std::string& entryId,
                                         const std::string& storeEntryId) {
    return impl_->Run([&] {
        return impl_->IdByEntryId(&RowCache::itemByEntryId, "items", entryId, storeEntryId);
    });
}

int Profile::ItemCount(Id folder) {
    return impl_->Run([&] {
        auto& s = impl_->Stmt("SELECT count(*) FROM items WHERE folder_id=?");
        s.bind(1, static_cast<int64_t>(folder));
        s.executeStep();
        return s.getColumn(0).getInt();
    });
}

std::optional<Id> Profile::ItemAt(Id folder, int index) {
    if (index < 0) {
        return std::nullopt;
    }
    return impl_->Run([&]() -> std::optional<Id> {
        auto& s =
            impl_->Stmt("SELECT id FROM items WHERE folder_id=? ORDER BY id LIMIT 1 OFFSET ?");
        s.bind(1, static_cast<int64_t>(folder));
        s.bind(2, index);
        if (!s.executeStep()) {
            return std::nullopt;
        }
        return s.getColumn(0).getInt64();
    });
}

std::vector<Id> Profile::ItemsIn(Id folder) {
    return impl_->Run([&] {
        std::vector<Id> out;
        auto& s = impl_->Stmt("SELECT id FROM items WHERE folder_id=? ORDER BY id");
        s.bind(1, static_cast<int64_t>(folder));
        while (s.executeStep()) {
            out.push_back(s.getColumn(0).getInt64());
        }
        return out;
    });
}

std::vector<Id> Profile::ItemsByMessageId(const std::string& internetMessageId) {
    if (internetMessageId.empty()) {
        return {};
    }
    return impl_->Run([&] {
        std::vector<Id> out;
        auto& s = impl_->Stmt("SELECT id FROM items WHERE message_id=? ORDER BY id");
        s.bind(1, internetMessageId);
        while (s.executeStep()) {
            out.push_back(s.getColumn(0).getInt64());
        }
        return out;
    });
}

void Profile::SetItemField(Id item, ItemField field, const std::string& value) {
    impl_->Run([&] {
        auto& s =
            impl_->Stmt(std::string("UPDATE items SET ") + FieldColumn(field) + "=? WHERE id=?");
        s.bind(1, value);
        s.bind(2, static_cast<int64_t>(item));
        if (s.exec() == 0) {
            impl_->Fail("the item no longer exists");
        }
        return 0;
    });
}

void Profile::SetSaveSentFolder(Id item, std::optional<Id> folder) {
    impl_->Run([&] {
        auto& s = impl_->Stmt("UPDATE items SET save_sent_folder=? WHERE id=?");
        BindOptional(s, 1, folder);
        s.bind(2, static_cast<int64_t>(item));
        if (s.exec() == 0) {
            impl_->Fail("the item no longer exists");
        }
        return 0;
    });
}

void Profile::MoveItem(Id item, Id folder) {
    impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        Id store = impl_->StoreOfFolder(folder);
        auto& s = impl_->Stmt("UPDATE items SET folder_id=?, store_id=? WHERE id=?");
        s.bind(1, static_cast<int64_t>(folder));
        s.bind(2, static_cast<int64_t>(store));
        s.bind(3, static_cast<int64_t>(item));
        if (s.exec() == 0) {
            impl_->Fail("the item no longer exists");
        }
        impl_->Commit(tx);
        return 0;
    });
    ArrivalHub::Instance().Fire(impl_->hubKey, folder, item);
}

Id Profile::CopyItem(Id item, Id folder) {
    Id copy = impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        Id store = impl_->StoreOfFolder(folder);
        impl_->RequireItem(item);
        auto& s = impl_->Stmt(
            "INSERT INTO items (entry_id, folder_id, store_id, item_class, message_class, subject,"
            " body, billing, sent, sent_on, message_id, save_sent_folder, sender_name,"
            " sender_address, sender_entry, sent_on_behalf, send_using)"
            " SELECT ?, ?, ?, item_class, message_class, subject, body, billing, sent, sent_on,"
            " message_id, save_sent_folder, sender_name, sender_address, sender_entry,"
            " sent_on_behalf, send_using FROM items WHERE id=?");
        s.bind(1, impl_->NewEntryId(store));
        s.bind(2, static_cast<int64_t>(folder));
        s.bind(3, static_cast<int64_t>(store));
        s.bind(4, static_cast<int64_t>(item));
        s.exec();
        Id newId = impl_->db->getLastInsertRowid();
        auto& r = impl_->Stmt(
            "INSERT INTO recipients (item_id, pos, name, address, address_type, type, entry)"
            " SELECT ?, pos, name, address, address_type, type, entry FROM recipients"
            " WHERE item_id=?");
        r.bind(1, static_cast<int64_t>(newId));
        r.bind(2, static_cast<int64_t>(item));
        r.exec();
        auto& p = impl_->Stmt(
            "INSERT INTO item_props (item_id, name, value) SELECT ?, name, value FROM item_props"
            " WHERE item_id=?");
        p.bind(1, static_cast<int64_t>(newId));
        p.bind(2, static_cast<int64_t>(item));
        p.exec();
        impl_->Commit(tx);
        return newId;
    });
    ArrivalHub::Instance().Fire(impl_->hubKey, folder, copy);
    return copy;
}

void Profile::SendItem(Id item, Id folder, const SentInfo& info) {
    impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        Id store = impl_->StoreOfFolder(folder);
        auto& s = impl_->Stmt(
            "UPDATE items SET sent=1, sent_on=?, message_id=?, sender_name=?, sender_address=?,"
            " sender_entry=?, folder_id=?, store_id=? WHERE id=? AND sent=0");
        s.bind(1, info.sentOn);
        s.bind(2, info.internetMessageId);
        s.bind(3, info.senderName);
        s.bind(4, info.senderAddress);
        BindOptional(s, 5, info.senderEntry);
        s.bind(6, static_cast<int64_t>(folder));
        s.bind(7, static_cast<int64_t>(store));
        s.bind(8, static_cast<int64_t>(item));
        if (s.exec() == 0) {
            impl_->RequireItem(item);
            impl_->Fail("the item has already been sent");
        }
        impl_->Commit(tx);
        return 0;
    });
    ArrivalHub::Instance().Fire(impl_->hubKey, folder, item);
}

std::vector<RecipientRow> Profile::Recipients(Id item) {
    return impl_->Run([&] {
        std::vector<RecipientRow> out;
        auto& s = impl_->Stmt(
            "SELECT name, address, address_type, type, entry FROM recipients WHERE item_id=?"
            " ORDER BY pos");
        s.bind(1, static_cast<int64_t>(item));
        while (s.executeStep()) {
            out.push_back({s.getColumn(0).getString(), s.getColumn(1).getString(),
                           s.getColumn(2).getString(), s.getColumn(3).getInt(),
                           OptionalId(s.getColumn(4))});
        }
        return out;
    });
}

void Profile::SetRecipients(Id item, const std::vector<RecipientRow>& recipients) {
    impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        impl_->RequireItem(item);
        auto& d = impl_->Stmt("DELETE FROM recipients WHERE item_id=?");
        d.bind(1, static_cast<int64_t>(item));
        d.exec();
        impl_->InsertRecipients(item, recipients, 1);
        impl_->Commit(tx);
        return 0;
    });
}

void Profile::AddRecipient(Id item, const RecipientRow& recipient) {
    impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        impl_->RequireItem(item);
        auto& m = impl_->Stmt("SELECT coalesce(max(pos), 0) FROM recipients WHERE item_id=?");
        m.bind(1, static_cast<int64_t>(item));
        m.executeStep();
        int next = m.getColumn(0).getInt() + 1;
        impl_->InsertRecipients(item, {recipient}, next);
        impl_->Commit(tx);
        return 0;
    });
}

std::optional<std::string> Profile::Property(Id item, const std::string& name) {
    return impl_->Run([&]() -> std::optional<std::string> {
        auto& s = impl_->Stmt("SELECT value FROM item_props WHERE item_id=? AND name=?");
        s.bind(1, static_cast<int64_t>(item));
        s.bind(2, name);
        if (!s.executeStep()) {
            return std::nullopt;
        }
        return s.getColumn(0).getString();
    });
}

void Profile::SetProperty(Id item, const std::string& name, const std::string& value) {
    impl_->Run([&] {
        impl_->RequireItem(item);
        auto& s = impl_->Stmt(
            "INSERT INTO item_props (item_id, name, value) VALUES (?, ?, ?)"
            " ON CONFLICT (item_id, name) DO UPDATE SET value=excluded.value");
        s.bind(1, static_cast<int64_t>(item));
        s.bind(2, name);
        s.bind(3, value);
        s.exec();
        return 0;
    });
}

std::vector<std::pair<std::string, std::string>> Profile::Properties(Id item) {
    return impl_->Run([&] {
        std::vector<std::pair<std::string, std::string>> out;
        auto& s = impl_->Stmt("SELECT name, value FROM item_props WHERE item_id=? ORDER BY rowid");
        s.bind(1, static_cast<int64_t>(item));
        while (s.executeStep()) {
            out.emplace_back(s.getColumn(0).getString(), s.getColumn(1).getString());
        }
        return out;
    });
}

Id Profile::AddAddressEntry(const std::string& name, const std::string& type,
                            const std::string& address, const std::string& smtp) {
    if (type != "SMTP" && type != "EX") {
        impl_->Fail("an address entry's type is SMTP or EX, not '" + type + "'");
    }
    return impl_->Run([&] {
        auto& s = impl_->Stmt(
            "INSERT INTO address_book (entry_id, name, type, address, smtp) VALUES (?, ?, ?, ?, "
            "?)");
        s.bind(1, "00000000AB" + Hex(impl_->random(), 16) + Hex(impl_->random(), 16));
        s.bind(2, name);
        s.bind(3, type);
        s.bind(4, address);
        s.bind(5, smtp);
        s.exec();
        return impl_->db->getLastInsertRowid();
    });
}

std::vector<AddressEntryRow> Profile::AddressBook() {
    return impl_->Run([&] {
        std::vector<AddressEntryRow> out;
        auto& s = impl_->Stmt(
            "SELECT id, entry_id, name, type, address, smtp FROM address_book ORDER BY id");
        while (s.executeStep()) {
            out.push_back(ReadEntry(s));
        }
        return out;
    });
}

AddressEntryRow Profile::AddressEntry(Id id) {
    return impl_->Run([&] {
        auto& s = impl_->Stmt(
            "SELECT id, entry_id, name, type, address, smtp FROM address_book WHERE id=?");
        s.bind(1, static_cast<int64_t>(id));
        if (!s.executeStep()) {
            impl_->Fail("the address entry no longer exists");
        }
        return ReadEntry(s);
    });
}

std::optional<AddressEntryRow> Profile::ResolveAddress(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    return impl_->Run([&]() -> std::optional<AddressEntryRow> {
        auto& s = impl_->Stmt(
            "SELECT id, entry_id, name, type, address, smtp FROM address_book"
            " WHERE smtp=?1 COLLATE NOCASE OR address=?1 COLLATE NOCASE OR name=?1 COLLATE NOCASE"
            " ORDER BY (smtp=?1 COLLATE NOCASE) DESC, (address=?1 COLLATE NOCASE) DESC, id"
            " LIMIT 1");
        s.bind(1, text);
        if (!s.executeStep()) {
            return std::nullopt;
        }
        return ReadEntry(s);
    });
}

Subscription Profile::OnItemArrived(Id folder, std::function<void(Id item)> fn) {
    return ArrivalHub::Instance().Add(impl_->hubKey, folder, std::move(fn));
}

}  // namespace mailstore
