#include "platform/mailstore/profile_impl.h"

namespace mailstore {

namespace {

const char* const kStoreColumns =
    "id, entry_id, name, kind, is_default, owner_name, owner_smtp, root_id";

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

}  // namespace

std::string Profile::Impl::StoreUid(Id store) {
    auto& s = Stmt("SELECT uid FROM stores WHERE id=?");
    s.bind(1, static_cast<int64_t>(store));
    if (!s.executeStep()) {
        Fail("no store " + std::to_string(store));
    }
    return s.getColumn(0).getString();
}

std::string Profile::Impl::NewEntryId(Id store) {
    return "00000000" + StoreUid(store) + Hex(random(), 16);
}

std::optional<StoreRow> Profile::Impl::DefaultStore() {
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

const std::vector<StoreRow>& Profile::Impl::Stores() {
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

std::optional<StoreRow> Profile::Impl::FindStore(Id id) {
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

std::optional<Id> Profile::Impl::StoreIdFor(const std::string& storeEntryId) {
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

}  // namespace mailstore
