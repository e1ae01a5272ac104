#include "platform/mailstore/profile_impl.h"

namespace mailstore {

namespace {

const char* const kItemColumns =
    "id, entry_id, folder_id, store_id, item_class, message_class, subject, body, billing,"
    " sent, sent_on, message_id, save_sent_folder, sender_name, sender_address, sender_entry,"
    " sent_on_behalf, send_using";

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

}  // namespace

std::optional<ItemRow> Profile::Impl::FindItem(Id id) {
    auto& c = Cached();
    if (auto hit = c.items.find(id); hit != c.items.end()) {
        return hit->second;
    }
    static const std::string sql = std::string("SELECT ") + kItemColumns + " FROM items WHERE id=?";
    auto& s = Stmt(sql);
    s.bind(1, static_cast<int64_t>(id));
    std::optional<ItemRow> row;
    if (s.executeStep()) {
        row = ReadItem(s);
    }
    c.items.emplace(id, row);
    return row;
}

void Profile::Impl::RequireItem(Id item) {
    auto& s = Stmt("SELECT 1 FROM items WHERE id=?");
    s.bind(1, static_cast<int64_t>(item));
    if (!s.executeStep()) {
        Fail("the item no longer exists");
    }
}

void Profile::Impl::DeleteItemsWhere(const std::string& where, Id value) {
    const std::string items = "SELECT id FROM items WHERE " + where;
    for (const char* table : {"item_props", "recipients"}) {
        auto& s = Stmt(std::string("DELETE FROM ") + table + " WHERE item_id IN (" + items + ")");
        s.bind(1, static_cast<int64_t>(value));
        s.exec();
    }
    auto& s = Stmt("DELETE FROM items WHERE " + where);
    s.bind(1, static_cast<int64_t>(value));
    s.exec();
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
        const auto refile = impl_->BeforeRefile(std::nullopt, item.folderId);
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
        impl_->AfterRefile(refile, newId);
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
        if (const auto* kept = impl_->CurrentItemIds(folder)) {
            return static_cast<int>(kept->ids.size());
        }
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
        const auto& ids = impl_->FolderItemIds(folder);
        if (static_cast<size_t>(index) >= ids.size()) {
            return std::nullopt;
        }
        return ids[static_cast<size_t>(index)];
    });
}

std::vector<Id> Profile::ItemsIn(Id folder) {
    return impl_->Run([&] { return impl_->FolderItemIds(folder); });
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

void Profile::SaveDraft(Id item, const DraftFields& fields) {
    impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        auto& s =
            impl_->Stmt("UPDATE items SET subject=?, body=?, send_using=? WHERE id=? AND sent=0");
        s.bind(1, fields.subject);
        s.bind(2, fields.body);
        s.bind(3, fields.sendUsing);
        s.bind(4, static_cast<int64_t>(item));
        if (s.exec() == 0) {
            impl_->Fail("the mail was sent or no longer exists");
        }
        impl_->ReplaceRecipients(item, fields.recipients);
        impl_->Commit(tx);
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

void Profile::DeleteItem(Id item) {
    impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        impl_->RequireItem(item);
        const auto refile = impl_->BeforeRefile(item, std::nullopt);
        impl_->DeleteItemsWhere("id=?", item);
        impl_->AfterRefile(refile, item);
        impl_->Commit(tx);
        return 0;
    });
}

std::optional<ItemSnapshot> Profile::Snapshot(Id item) {
    return impl_->Run([&]() -> std::optional<ItemSnapshot> {
        auto row = impl_->FindItem(item);
        if (!row) {
            return std::nullopt;
        }
        return ItemSnapshot{*row, impl_->Recipients(item), impl_->Properties(item)};
    });
}

bool Profile::DeleteItemIfUnchanged(const ItemSnapshot& snapshot) {
    return impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        const Id item = snapshot.row.id;
        auto row = impl_->FindItem(item);
        if (!row || *row != snapshot.row || row->sent || !row->folderId ||
            impl_->FindFolder(*row->folderId).value_or(FolderRow{}).role != role::kDrafts ||
            impl_->Recipients(item) != snapshot.recipients ||
            impl_->Properties(item) != snapshot.properties) {
            return false;
        }
        const auto refile = impl_->BeforeRefile(item, std::nullopt);
        impl_->DeleteItemsWhere("id=?", item);
        impl_->AfterRefile(refile, item);
        impl_->Commit(tx);
        return true;
    });
}

void Profile::MoveItem(Id item, Id folder) {
    impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        Id store = impl_->StoreOfFolder(folder);
        const auto refile = impl_->BeforeRefile(item, folder);
        auto& s = impl_->Stmt("UPDATE items SET folder_id=?, store_id=? WHERE id=?");
        s.bind(1, static_cast<int64_t>(folder));
        s.bind(2, static_cast<int64_t>(store));
        s.bind(3, static_cast<int64_t>(item));
        if (s.exec() == 0) {
            impl_->Fail("the item no longer exists");
        }
        impl_->AfterRefile(refile, item);
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
        const auto refile = impl_->BeforeRefile(std::nullopt, folder);
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
        impl_->AfterRefile(refile, newId);
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
        const auto refile = impl_->BeforeRefile(item, folder);
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
        impl_->AfterRefile(refile, item);
        impl_->Commit(tx);
        return 0;
    });
    ArrivalHub::Instance().Fire(impl_->hubKey, folder, item);
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

std::vector<std::pair<std::string, std::string>> Profile::Impl::Properties(Id item) {
    std::vector<std::pair<std::string, std::string>> out;
    auto& s = Stmt("SELECT name, value FROM item_props WHERE item_id=? ORDER BY rowid");
    s.bind(1, static_cast<int64_t>(item));
    while (s.executeStep()) {
        out.emplace_back(s.getColumn(0).getString(), s.getColumn(1).getString());
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> Profile::Properties(Id item) {
    return impl_->Run([&] { return impl_->Properties(item); });
}

}  // namespace mailstore
