#include "platform/testkit/profile_kit.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/error.h"

namespace testkit {

namespace {

std::string UsualMessageClass(int itemClass) {
    switch (itemClass) {
        case mailstore::item_class::kAppointment:
            return "IPM.Appointment";
        case mailstore::item_class::kContact:
            return "IPM.Contact";
        case mailstore::item_class::kPost:
            return "IPM.Post";
        case mailstore::item_class::kReport:
            return "REPORT.IPM.Note.NDR";
        case mailstore::item_class::kTask:
            return "IPM.Task";
        case mailstore::item_class::kMeetingRequest:
            return "IPM.Schedule.Meeting.Request";
        default:
            return "IPM.Note";
    }
}

}  // namespace

ProfileBuilder::ProfileBuilder(const std::string& name)
    : profile_(mailstore::Profile::Create(name)) {}

ProfileBuilder& ProfileBuilder::Demo() {
    mailstore::BuildDemoLayout(*profile_);
    return *this;
}

ProfileBuilder& ProfileBuilder::Store(const std::string& name, const std::string& ownerName,
                                      const std::string& ownerSmtp, mailstore::StoreKind kind,
                                      bool isDefault) {
    profile_->AddStore(name, kind, ownerName, ownerSmtp, isDefault);
    return *this;
}

ProfileBuilder& ProfileBuilder::Folder(const std::string& path, int itemType, int folderRole,
                                       mailstore::FolderKind kind) {
    auto cut = path.find_last_of('\\');
    if (cut == std::string::npos || cut < 2) {
        throw platform::Error("testkit: '" + path + "' names no folder below a store");
    }
    std::string parentPath = path.substr(0, cut);
    auto parent = profile_->FolderByPath(parentPath);
    if (!parent) {
        Folder(parentPath);
        parent = profile_->FolderByPath(parentPath);
    }
    profile_->AddFolder(*parent, path.substr(cut + 1), itemType, folderRole, kind);
    return *this;
}

ProfileBuilder& ProfileBuilder::Entry(const std::string& name, const std::string& type,
                                      const std::string& address, const std::string& smtp) {
    profile_->AddAddressEntry(name, type, address, smtp);
    return *this;
}

ProfileBuilder& ProfileBuilder::Item(const std::string& folderPath, const ItemSpec& spec) {
    Add(folderPath, spec);
    return *this;
}

ProfileBuilder& ProfileBuilder::NestedChain(const std::string& parentPath, int levels) {
    auto parent = FolderId(parentPath);
    SQLite::Database db(profile_->File().string(), SQLite::OPEN_READWRITE);
    db.setBusyTimeout(5000);
    SQLite::Statement chain(
        db,
        "WITH RECURSIVE level(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM level WHERE n < ?2)"
        " INSERT INTO folders (id, entry_id, store_id, parent_id, name, role, item_type, kind)"
        " SELECT top.id + n, printf('0000000046%046X', top.id + n), p.store_id,"
        "  CASE n WHEN 1 THEN p.id ELSE top.id + n - 1 END, 'F' || n, 0, 0, 1"
        " FROM level, (SELECT max(id) AS id FROM folders) AS top, folders p WHERE p.id = ?1");
    chain.bind(1, static_cast<int64_t>(parent));
    chain.bind(2, levels);
    chain.exec();
    return *this;
}

ProfileBuilder& ProfileBuilder::SetName(const std::string& path, const std::string& name) {
    auto folder = FolderId(path);
    SQLite::Database db(profile_->File().string(), SQLite::OPEN_READWRITE);
    db.setBusyTimeout(5000);
    SQLite::Statement set(db, "UPDATE folders SET name=? WHERE id=?");
    set.bind(1, name);
    set.bind(2, static_cast<int64_t>(folder));
    set.exec();
    return *this;
}

ProfileBuilder& ProfileBuilder::Write(const std::string& statement) {
    SQLite::Database db(profile_->File().string(), SQLite::OPEN_READWRITE);
    db.setBusyTimeout(5000);
    db.exec(statement);
    return *this;
}

std::vector<mailstore::Id> ItemsInNoFolder(const mailstore::Profile& profile) {
    SQLite::Database db(profile.File().string(), SQLite::OPEN_READONLY);
    db.setBusyTimeout(5000);
    SQLite::Statement s(db, "SELECT id FROM items WHERE folder_id IS NULL ORDER BY id");
    std::vector<mailstore::Id> ids;
    while (s.executeStep()) {
        ids.push_back(s.getColumn(0).getInt64());
    }
    return ids;
}

ProfileBuilder& ProfileBuilder::SetParent(const std::string& path, const std::string& parentPath) {
    auto folder = FolderId(path);
    auto parent = FolderId(parentPath);
    SQLite::Database db(profile_->File().string(), SQLite::OPEN_READWRITE);
    db.setBusyTimeout(5000);
    SQLite::Statement set(db, "UPDATE folders SET parent_id=? WHERE id=?");
    set.bind(1, static_cast<int64_t>(parent));
    set.bind(2, static_cast<int64_t>(folder));
    set.exec();
    return *this;
}

mailstore::Id ProfileBuilder::Add(const std::string& folderPath, const ItemSpec& spec) {
    auto& p = *profile_;
    mailstore::ItemRow row;
    row.folderId = FolderId(folderPath);
    row.itemClass = spec.itemClass;
    row.messageClass =
        spec.messageClass.empty() ? UsualMessageClass(spec.itemClass) : spec.messageClass;
    row.subject = spec.subject;
    row.body = spec.body;
    row.billing = spec.billing;
    row.sendUsing = spec.from;
    if (spec.sent) {
        auto info = mailstore::SenderInfo(p, mailstore::SendingStore(p, spec.from));
        row.sent = true;
        row.sentOn = info.sentOn;
        row.internetMessageId = info.internetMessageId;
        row.senderName = info.senderName;
        row.senderAddress = info.senderAddress;
        row.senderEntry = info.senderEntry;
    }
    std::vector<mailstore::RecipientRow> recipients;
    int type = 1;
    for (const auto* list : {&spec.to, &spec.cc, &spec.bcc}) {
        auto some = mailstore::ResolveRecipients(p, *list, type++);
        recipients.insert(recipients.end(), some.begin(), some.end());
    }
    auto id = p.AddItem(row, recipients);
    for (const auto& [name, value] : spec.properties) {
        p.SetProperty(id, name, value);
    }
    return id;
}

mailstore::Id ProfileBuilder::FolderId(const std::string& path) const {
    auto id = profile_->FolderByPath(path);
    if (!id) {
        ADD_FAILURE() << "no folder at " << path;
        throw platform::Error("testkit: no folder at " + path);
    }
    return *id;
}

std::vector<mailstore::Id> FoldersHolding(mailstore::Profile& profile,
                                          const std::string& internetMessageId) {
    std::vector<mailstore::Id> out;
    for (auto item : profile.ItemsByMessageId(internetMessageId)) {
        if (auto folder = profile.Item(item).folderId) {
            out.push_back(*folder);
        }
    }
    return out;
}

std::vector<std::string> FolderPathsOfSubject(mailstore::Profile& profile,
                                              const std::string& subject) {
    std::vector<std::string> paths;
    std::vector<mailstore::Id> todo;
    for (const auto& store : profile.Stores()) {
        todo.push_back(store.rootId);
    }
    while (!todo.empty()) {
        const auto folder = todo.back();
        todo.pop_back();
        for (auto id : profile.ItemsIn(folder)) {
            if (profile.Item(id).subject == subject) {
                paths.push_back(profile.FolderPath(folder));
            }
        }
        for (const auto& child : profile.Children(folder)) {
            todo.push_back(child.id);
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace testkit
