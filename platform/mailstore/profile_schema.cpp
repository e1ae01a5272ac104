#include "platform/mailstore/profile_impl.h"

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <random>

namespace mailstore {

namespace {

// 2 added folder_changes, 3 the triggers for rows that a REPLACE removes.
constexpr int kSchemaVersion = 3;
constexpr int kApplicationId = 0x4F535450;  // "OSTP"

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

// A serial per folder that every item entering or leaving it counts up, and
// a change of an item's id too: a folder's item list read at one serial holds
// while the serial is the same. A folder's row stays when the folder goes, so
// a new folder that gets its id does not start at a serial already seen.
const char* const kFolderChanges[] = {
    "CREATE TABLE folder_changes (folder_id INTEGER PRIMARY KEY, serial INTEGER NOT NULL)",
    "CREATE TRIGGER items_entered AFTER INSERT ON items WHEN new.folder_id IS NOT NULL BEGIN"
    " INSERT INTO folder_changes VALUES (new.folder_id, 1)"
    " ON CONFLICT (folder_id) DO UPDATE SET serial=serial+1; END",
    "CREATE TRIGGER items_left AFTER DELETE ON items WHEN old.folder_id IS NOT NULL BEGIN"
    " INSERT INTO folder_changes VALUES (old.folder_id, 1)"
    " ON CONFLICT (folder_id) DO UPDATE SET serial=serial+1; END",
    "CREATE TRIGGER items_refiled AFTER UPDATE OF id, folder_id ON items"
    " WHEN old.folder_id IS NOT new.folder_id OR old.id<>new.id BEGIN"
    " INSERT INTO folder_changes SELECT old.folder_id, 1 WHERE old.folder_id IS NOT NULL"
    " ON CONFLICT (folder_id) DO UPDATE SET serial=serial+1;"
    " INSERT INTO folder_changes SELECT new.folder_id, 1 WHERE new.folder_id IS NOT NULL"
    " ON CONFLICT (folder_id) DO UPDATE SET serial=serial+1; END",
};

// A row that a REPLACE (INSERT OR REPLACE, UPDATE OR REPLACE) removes for a
// conflict fires no delete trigger while recursive_triggers is off, as it is
// on most connections: the folder of any row that holds the id or the EntryID
// that a row takes counts up before the row takes it.
const char* const kReplacedItems[] = {
    "CREATE TRIGGER items_replacing BEFORE INSERT ON items BEGIN"
    " INSERT INTO folder_changes SELECT folder_id, 1 FROM items"
    " WHERE (id=new.id OR entry_id=new.entry_id) AND folder_id IS NOT NULL"
    " ON CONFLICT (folder_id) DO UPDATE SET serial=serial+1; END",
    "CREATE TRIGGER items_replacing_by_update BEFORE UPDATE OF id, entry_id ON items"
    " WHEN old.id<>new.id OR old.entry_id IS NOT new.entry_id BEGIN"
    " INSERT INTO folder_changes SELECT folder_id, 1 FROM items"
    " WHERE (id=new.id OR entry_id=new.entry_id) AND id<>old.id AND folder_id IS NOT NULL"
    " ON CONFLICT (folder_id) DO UPDATE SET serial=serial+1; END",
};

}  // namespace

void Profile::Impl::FailCannotWrite() const {
    const auto folder = file.parent_path();
    if (access(folder.c_str(), W_OK) != 0) {
        Fail("the file cannot be written: its folder " + folder.string() +
             ", where its journal goes, cannot be written");
    }
    Fail("the file cannot be written");
}

void Profile::Impl::Open(bool create) {
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
            const int code = e.getErrorCode() & 0xFF;
            if (code == SQLITE_READONLY || code == SQLITE_CANTOPEN) {
                FailCannotWrite();
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
        auto execAll = [&](const auto& statements) {
            for (const char* sql : statements) {
                db->exec(sql);
            }
        };
        if (tables == 0 && version == 0 && app == 0) {
            execAll(kSchema);
            execAll(kFolderChanges);
            execAll(kReplacedItems);
            db->exec("PRAGMA application_id=" + std::to_string(kApplicationId));
            db->exec("PRAGMA user_version=" + std::to_string(kSchemaVersion));
        } else if (app != kApplicationId) {
            Fail("the file holds another program's database");
        } else if (version >= 1 && version < kSchemaVersion) {
            if (version < 2) {
                execAll(kFolderChanges);
            }
            if (version < 3) {
                execAll(kReplacedItems);
            }
            db->exec("PRAGMA user_version=" + std::to_string(kSchemaVersion));
        } else if (version != kSchemaVersion) {
            Fail("unknown schema version " + std::to_string(version));
        }
        Commit(tx);
        return 0;
    });
    Run([&] {
        CheckFolderTree();
        return 0;
    });
    watch.Attach(db->getHandle(), wal);
    std::random_device rd;
    random.seed(
        (static_cast<std::uint64_t>(rd()) << 32) ^ rd() ^ static_cast<std::uint64_t>(getpid()) ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
}

}  // namespace mailstore
