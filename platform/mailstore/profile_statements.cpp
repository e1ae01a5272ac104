#include "platform/mailstore/profile_impl.h"

namespace mailstore {

SQLite::Statement& Profile::Impl::Stmt(const std::string& sql) {
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

void Profile::Impl::Commit(SQLite::Transaction& tx) {
    ResetUsed();
    tx.commit();
    keptUncommitted.clear();
    ApplyKeptEdits();
}

void Profile::Impl::ResetUsed() {
    for (auto* s : used) {
        s->tryReset();
    }
    used.clear();
}

}  // namespace mailstore
