#include "platform/mailstore/profile_impl.h"

namespace mailstore {

namespace {

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

}  // namespace

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

}  // namespace mailstore
