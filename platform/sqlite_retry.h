#pragma once

#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <chrono>
#include <thread>

namespace platform::sqlite {

// Whether SQLite gave up on a lock held by another connection or process.
inline bool IsTransient(const SQLite::Exception& e) {
    int code = e.getErrorCode() & 0xff;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

// Runs fn, again after a short pause while SQLite answers "busy" or
// "locked", until the timeout. SQLite's busy handler covers most waits; a few
// (a reader meeting a checkpoint, opening while another process recovers the
// log) answer at once. The last error is raised after the timeout.
template <typename Fn>
auto Retrying(Fn&& fn, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (int attempt = 0;; ++attempt) {
        try {
            return fn();
        } catch (const SQLite::Exception& e) {
            if (!IsTransient(e) || std::chrono::steady_clock::now() > deadline) {
                throw;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1 + attempt % 20));
        }
    }
}

}  // namespace platform::sqlite
