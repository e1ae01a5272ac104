#include "platform/mailstore/profile_impl.h"

namespace mailstore {

void Profile::Impl::InsertRecipients(Id item, const std::vector<RecipientRow>& recipients,
                                     int first) {
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

std::vector<RecipientRow> Profile::Impl::Recipients(Id item) {
    std::vector<RecipientRow> out;
    auto& s = Stmt(
        "SELECT name, address, address_type, type, entry FROM recipients WHERE item_id=?"
        " ORDER BY pos");
    s.bind(1, static_cast<int64_t>(item));
    while (s.executeStep()) {
        out.push_back({s.getColumn(0).getString(), s.getColumn(1).getString(),
                       s.getColumn(2).getString(), s.getColumn(3).getInt(),
                       OptionalId(s.getColumn(4))});
    }
    return out;
}

void Profile::Impl::ReplaceRecipients(Id item, const std::vector<RecipientRow>& recipients) {
    auto& d = Stmt("DELETE FROM recipients WHERE item_id=?");
    d.bind(1, static_cast<int64_t>(item));
    d.exec();
    InsertRecipients(item, recipients, 1);
}

std::vector<RecipientRow> Profile::Recipients(Id item) {
    return impl_->Run([&] { return impl_->Recipients(item); });
}

void Profile::SetRecipients(Id item, const std::vector<RecipientRow>& recipients) {
    impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        impl_->RequireItem(item);
        impl_->ReplaceRecipients(item, recipients);
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

}  // namespace mailstore
