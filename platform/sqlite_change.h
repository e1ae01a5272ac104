#pragma once

#include <sqlite3.h>

#include <array>
#include <cstring>

namespace platform::sqlite {

// Tells a connection whether anything in its database may have changed
// since it last asked: a commit by another connection or process, or a
// change made through this connection. Rows kept from before are the truth
// for as long as the answer is no.
//
// In WAL mode other connections' commits show in the header of the
// wal-index, the shared memory every connection of the file maps; SQLite
// itself compares that header to decide whether a new read sees new data
// (and counts `PRAGMA data_version` up when it does). Reading it through the
// VFS's own mapping costs no lock and no system call. Where the header
// cannot be read whole (a writer is updating it, or the VFS maps none), and
// in the other journal modes, the pragma answers. The connection's own
// changes are counted by sqlite3_total_changes64.
class ChangeWatch {
  public:
    ChangeWatch() = default;
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;
    ~ChangeWatch() { Detach(); }

    // Starts watching `db`; `wal` tells whether its journal mode is WAL.
    void Attach(sqlite3* db, bool wal) {
        Detach();
        db_ = db;
        wal_ = wal;
    }

    // Drops the prepared pragma; call before the connection is closed.
    void Detach() {
        if (pragma_) {
            sqlite3_finalize(pragma_);
        }
        pragma_ = nullptr;
        db_ = nullptr;
        known_ = false;
    }

    // Makes the next Changed() say yes.
    void Forget() { known_ = false; }

    // Whether anything may have changed since the last call; the first call
    // and every call after Forget() say yes. Raises nothing: a failing check
    // says yes.
    bool Changed() {
        Token now;
        bool ok = Read(now);
        bool changed = !known_ || !ok || !(now == last_);
        last_ = now;
        known_ = ok;
        return changed;
    }

  private:
    static constexpr int kHeaderSize = 48;
    static constexpr int kRegionSize = 32768;

    struct Token {
        bool fromHeader = false;
        std::array<unsigned char, kHeaderSize> header{};
        sqlite3_int64 dataVersion = 0;
        sqlite3_int64 changes = 0;
        bool operator==(const Token&) const = default;
    };

    bool Read(Token& token) {
        if (!db_) {
            return false;
        }
        token.changes = sqlite3_total_changes64(db_);
        // Outside WAL mode there is no wal-index, and mapping one would make it.
        if (wal_ && ReadHeader(token.header)) {
            token.fromHeader = true;
            return true;
        }
        return ReadDataVersion(token.dataVersion);
    }

    // Both copies of the wal-index header, equal and initialised.
    bool ReadHeader(std::array<unsigned char, kHeaderSize>& out) const {
        sqlite3_file* file = nullptr;
        if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
            !file || !file->pMethods || file->pMethods->iVersion < 2 || !file->pMethods->xShmMap) {
            return false;
        }
        volatile void* region = nullptr;
        if (file->pMethods->xShmMap(file, 0, kRegionSize, 0, &region) != SQLITE_OK || !region) {
            return false;
        }
        const volatile unsigned char* bytes = static_cast<const volatile unsigned char*>(region);
        std::array<unsigned char, kHeaderSize> second{};
        // A writer stores the second copy, then the first: each byte of the
        // first is loaded with acquire, so the second copy is read after it.
        for (int i = 0; i < kHeaderSize; ++i) {
            out[static_cast<size_t>(i)] = __atomic_load_n(bytes + i, __ATOMIC_ACQUIRE);
        }
        for (int i = 0; i < kHeaderSize; ++i) {
            second[static_cast<size_t>(i)] = bytes[kHeaderSize + i];
        }
        constexpr size_t kIsInit = 12;
        return out == second && out[kIsInit] != 0;
    }

    bool ReadDataVersion(sqlite3_int64& version) {
        if (!pragma_ &&
            sqlite3_prepare_v2(db_, "PRAGMA data_version", -1, &pragma_, nullptr) != SQLITE_OK) {
            pragma_ = nullptr;
            return false;
        }
        bool ok = sqlite3_step(pragma_) == SQLITE_ROW;
        if (ok) {
            version = sqlite3_column_int64(pragma_, 0);
        }
        sqlite3_reset(pragma_);
        return ok;
    }

    sqlite3* db_ = nullptr;
    bool wal_ = true;
    sqlite3_stmt* pragma_ = nullptr;
    bool known_ = false;
    Token last_;
};

}  // namespace platform::sqlite
