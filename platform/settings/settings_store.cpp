#include "platform/settings/settings_store.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/error.h"
#include "platform/home.h"
#include "platform/sqlite_change.h"
#include "platform/sqlite_retry.h"

namespace platform::settings {

namespace {

constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 30000;
// Values kept between reads; past this many the keeping starts afresh.
constexpr size_t kMaxCached = 16384;
constexpr size_t kMaxCachedSections = 64;

// Names compare as the NOCASE collation does: ASCII letters without case.
void AppendFolded(std::string& out, const std::string& name) {
    out += std::to_string(name.size());
    out += ':';
    for (char c : name) {
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
}

std::string CacheKey(const std::string& app, const std::string& section, const std::string& key) {
    std::string out;
    out.reserve(app.size() + section.size() + key.size() + 12);
    AppendFolded(out, app);
    AppendFolded(out, section);
    AppendFolded(out, key);
    return out;
}

std::string SectionKey(const std::string& app, const std::string& section) {
    std::string out;
    AppendFolded(out, app);
    AppendFolded(out, section);
    return out;
}

template <typename Fn>
auto Retrying(Fn&& fn) {
    return sqlite::Retrying(std::forward<Fn>(fn), std::chrono::milliseconds(kBusyTimeoutMs));
}

}  // namespace

struct Store::Impl {
    std::filesystem::path file;
    std::mutex mutex;
    std::unique_ptr<SQLite::Database> db;
    std::unique_ptr<SQLite::Statement> find;
    std::unique_ptr<SQLite::Statement> upsert;
    std::unique_ptr<SQLite::Statement> readAll;
    std::unique_ptr<SQLite::Statement> remove;
    // Values read before, the truth while the file has not changed since.
    sqlite::ChangeWatch watch;  // attached in WAL mode only
    bool wal = false;
    struct Kept {
        std::unordered_map<std::string, std::optional<std::string>> values;
        std::unordered_map<std::string, Section> sections;
        void clear() {
            values.clear();
            sections.clear();
        }
    } cache;

    [[noreturn]] void Fail(const std::string& what, const std::exception& e) const {
        throw Error("Settings database " + file.string() + ": " + what + ": " + e.what());
    }

    void Open() {
        db = std::make_unique<SQLite::Database>(file.string(),
                                                SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db->setBusyTimeout(kBusyTimeoutMs);
        Retrying([&] {
            // Reading the schema first makes a file that is not a database
            // fail here, before anything is written to it.
            wal = db->execAndGet("PRAGMA journal_mode=WAL").getString() == "wal";
            return 0;
        });
        Retrying([&] {
            SQLite::Transaction tx(*db, SQLite::TransactionBehavior::IMMEDIATE);
            int version = db->execAndGet("PRAGMA user_version").getInt();
            bool hasTable = db->tableExists("settings");
            if (version == 0 && !hasTable) {
                int tables = db->execAndGet("SELECT count(*) FROM sqlite_master WHERE type='table'")
                                 .getInt();
                if (tables != 0) {
                    throw Error("Settings database " + file.string() +
                                ": the file holds another program's database");
                }
                db->exec(
                    "CREATE TABLE settings ("
                    " seq INTEGER PRIMARY KEY AUTOINCREMENT,"
                    " app TEXT NOT NULL COLLATE NOCASE,"
                    " section TEXT NOT NULL COLLATE NOCASE,"
                    " key TEXT NOT NULL COLLATE NOCASE,"
                    " value TEXT NOT NULL,"
                    " UNIQUE (app, section, key))");
                db->exec("PRAGMA user_version=" + std::to_string(kSchemaVersion));
            } else if (version != kSchemaVersion || !hasTable) {
                throw Error("Settings database " + file.string() + ": unknown schema version " +
                            std::to_string(version));
            }
            tx.commit();
            return 0;
        });
        find = std::make_unique<SQLite::Statement>(
            *db, "SELECT value FROM settings WHERE app=? AND section=? AND key=?");
        upsert = std::make_unique<SQLite::Statement>(
            *db,
            "INSERT INTO settings (app, section, key, value) VALUES (?, ?, ?, ?)"
            " ON CONFLICT (app, section, key) DO UPDATE SET value=excluded.value");
        readAll = std::make_unique<SQLite::Statement>(
            *db, "SELECT key, value FROM settings WHERE app=? AND section=? ORDER BY seq");
        remove = std::make_unique<SQLite::Statement>(
            *db, "DELETE FROM settings WHERE app=? AND section=? AND key=?");
        if (wal) {
            watch.Attach(db->getHandle(), true);
        }
    }

    void EnsureOpen() {
        if (db) {
            return;
        }
        try {
            Open();
        } catch (const Error&) {
            Close();
            throw;
        } catch (const std::exception& e) {
            Close();
            Fail("cannot be opened", e);
        }
    }

    void Close() {
        watch.Detach();
        cache.clear();
        find.reset();
        upsert.reset();
        readAll.reset();
        remove.reset();
        db.reset();
    }

    template <typename Fn>
    auto Run(const char* what, Fn&& fn) {
        std::lock_guard lock(mutex);
        EnsureOpen();
        try {
            return Retrying(fn);
        } catch (const std::exception& e) {
            watch.Forget();
            Fail(what, e);
        }
    }

    // The cache, emptied when the file may have changed since it was filled.
    Kept& Cache() {
        if (watch.Changed() || cache.values.size() >= kMaxCached ||
            cache.sections.size() >= kMaxCachedSections) {
            cache.clear();
        }
        return cache;
    }
};

Store::Store(std::filesystem::path file) : impl_(std::make_unique<Impl>()) {
    impl_->file = std::move(file);
}

Store::~Store() = default;

const std::filesystem::path& Store::File() const {
    return impl_->file;
}

std::optional<std::string> Store::Find(const std::string& app, const std::string& section,
                                       const std::string& key) {
    return impl_->Run("read failed", [&]() -> std::optional<std::string> {
        auto& cache = impl_->Cache().values;
        auto cacheKey = CacheKey(app, section, key);
        if (auto hit = cache.find(cacheKey); hit != cache.end()) {
            return hit->second;
        }
        auto& st = *impl_->find;
        st.reset();
        st.bind(1, app);
        st.bind(2, section);
        st.bind(3, key);
        std::optional<std::string> result;
        if (st.executeStep()) {
            result = st.getColumn(0).getString();
        }
        st.reset();
        cache.emplace(std::move(cacheKey), result);
        return result;
    });
}

std::string Store::Read(const std::string& app, const std::string& section, const std::string& key,
                        const std::string& defaultText) {
    return Find(app, section, key).value_or(defaultText);
}

void Store::Write(const std::string& app, const std::string& section, const std::string& key,
                  const std::string& value) {
    impl_->Run("write failed", [&] {
        auto& st = *impl_->upsert;
        st.reset();
        st.bind(1, app);
        st.bind(2, section);
        st.bind(3, key);
        st.bind(4, value);
        st.exec();
        st.reset();
        return 0;
    });
}

void Store::WriteAll(const std::string& app, const std::string& section,
                     const std::vector<Setting>& values) {
    if (values.empty()) {
        return;
    }
    impl_->Run("write failed", [&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        auto& st = *impl_->upsert;
        for (const auto& value : values) {
            st.reset();
            st.bind(1, app);
            st.bind(2, section);
            st.bind(3, value.key);
            st.bind(4, value.value);
            st.exec();
        }
        st.reset();
        tx.commit();
        return 0;
    });
}

std::optional<std::vector<Setting>> Store::ReadAll(const std::string& app,
                                                   const std::string& section) {
    if (Section all = ReadSection(app, section)) {
        return *all;
    }
    return std::nullopt;
}

Section Store::ReadSection(const std::string& app, const std::string& section) {
    return impl_->Run("read failed", [&]() -> Section {
        auto& cache = impl_->Cache().sections;
        auto cacheKey = SectionKey(app, section);
        if (auto hit = cache.find(cacheKey); hit != cache.end()) {
            return hit->second;
        }
        auto& st = *impl_->readAll;
        st.reset();
        st.bind(1, app);
        st.bind(2, section);
        std::vector<Setting> all;
        while (st.executeStep()) {
            all.push_back({st.getColumn(0).getString(), st.getColumn(1).getString()});
        }
        st.reset();
        Section result;
        if (!all.empty()) {
            result = std::make_shared<const std::vector<Setting>>(std::move(all));
        }
        cache.emplace(std::move(cacheKey), result);
        return result;
    });
}

void Store::Delete(const std::string& app, const std::string& section, const std::string& key) {
    int removed = impl_->Run("delete failed", [&] {
        auto& st = *impl_->remove;
        st.reset();
        st.bind(1, app);
        st.bind(2, section);
        st.bind(3, key);
        int n = st.exec();
        st.reset();
        return n;
    });
    if (removed == 0) {
        throw Error("Settings database " + impl_->file.string() + ": no key " + key +
                    " in section " + section);
    }
}

std::filesystem::path DefaultFile() {
    return Home() / "settings.db";
}

Store& Default() {
    static std::mutex mutex;
    static std::unique_ptr<Store> store;
    std::lock_guard lock(mutex);
    auto file = DefaultFile();
    if (!store || store->File() != file) {
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
        if (ec) {
            throw Error("Settings database " + file.string() +
                        ": cannot be created: " + ec.message());
        }
        store = std::make_unique<Store>(file);
    }
    return *store;
}

std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& defaultText) {
    return Default().Read(app, section, key, defaultText);
}

std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                       const char* defaultText) {
    return Default().Read(app, section, key, defaultText);
}

std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                       int defaultNumber) {
    return Default().Read(app, section, key, std::to_string(defaultNumber));
}

std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                       bool defaultFlag) {
    return Default().Read(app, section, key, defaultFlag ? "True" : "False");
}

void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                 const std::string& value) {
    Default().Write(app, section, key, value);
}

void SaveSettings(const std::string& app, const std::string& section,
                  const std::vector<Setting>& values) {
    Default().WriteAll(app, section, values);
}

std::optional<std::vector<Setting>> GetAllSettings(const std::string& app,
                                                   const std::string& section) {
    return Default().ReadAll(app, section);
}

Section GetSection(const std::string& app, const std::string& section) {
    return Default().ReadSection(app, section);
}

void DeleteSetting(const std::string& app, const std::string& section, const std::string& key) {
    Default().Delete(app, section, key);
}

}  // namespace platform::settings
