#include "platform/mailstore/profile_impl.h"

namespace mailstore {

namespace {

const char* const kFolderColumns = "id, entry_id, store_id, parent_id, name, role, item_type, kind";

FolderRow ReadFolder(SQLite::Statement& s) {
    FolderRow r;
    r.id = s.getColumn(0).getInt64();
    r.entryId = s.getColumn(1).getString();
    r.storeId = s.getColumn(2).getInt64();
    r.parentId = OptionalId(s.getColumn(3));
    r.name = s.getColumn(4).getString();
    r.role = s.getColumn(5).getInt();
    r.itemType = s.getColumn(6).getInt();
    r.kind = static_cast<FolderKind>(s.getColumn(7).getInt());
    return r;
}

}  // namespace

std::optional<FolderRow> Profile::Impl::FindFolder(Id id) {
    auto& c = Cached();
    if (auto hit = c.folders.find(id); hit != c.folders.end()) {
        return hit->second;
    }
    static const std::string sql =
        std::string("SELECT ") + kFolderColumns + " FROM folders WHERE id=?";
    auto& s = Stmt(sql);
    s.bind(1, static_cast<int64_t>(id));
    std::optional<FolderRow> row;
    if (s.executeStep()) {
        row = ReadFolder(s);
    }
    c.folders.emplace(id, row);
    return row;
}

FolderRow Profile::Impl::Folder(Id id) {
    auto f = FindFolder(id);
    if (!f) {
        Fail("the folder no longer exists");
    }
    return *f;
}

const std::vector<FolderRow>& Profile::Impl::Children(Id folder) {
    auto& c = Cached();
    if (auto hit = c.children.find(folder); hit != c.children.end()) {
        return hit->second;
    }
    static const std::string sql =
        std::string("SELECT ") + kFolderColumns + " FROM folders WHERE parent_id=? ORDER BY id";
    auto& s = Stmt(sql);
    s.bind(1, static_cast<int64_t>(folder));
    std::vector<FolderRow> rows;
    while (s.executeStep()) {
        rows.push_back(ReadFolder(s));
        c.folders.emplace(rows.back().id, rows.back());
    }
    c.childRows += rows.size();
    return c.children.emplace(folder, std::move(rows)).first->second;
}

std::string Profile::Impl::FolderPath(Id folder) {
    auto& c = Cached();
    if (auto hit = c.paths.find(folder); hit != c.paths.end()) {
        return hit->second;
    }
    if (auto row = c.folders.find(folder); row != c.folders.end() && row->second) {
        const auto& f = *row->second;
        if (!f.parentId) {
            return c.paths.emplace(folder, "\\\\" + f.name).first->second;
        }
        if (auto parent = c.paths.find(*f.parentId); parent != c.paths.end()) {
            return c.paths.emplace(folder, parent->second + "\\" + f.name).first->second;
        }
    }
    static const std::string sql =
        "WITH RECURSIVE up(id, depth) AS ("
        " SELECT id, 0 FROM folders WHERE id=?"
        " UNION ALL SELECT f.parent_id, up.depth + 1"
        " FROM folders f JOIN up ON f.id = up.id WHERE f.parent_id IS NOT NULL)"
        " SELECT " +
        std::string(kFolderColumns) + " FROM up JOIN folders USING (id) ORDER BY up.depth DESC";
    auto& s = Stmt(sql);
    s.bind(1, static_cast<int64_t>(folder));
    std::string path;
    bool any = false;
    while (s.executeStep()) {
        auto f = ReadFolder(s);
        path += (any ? "\\" : "\\\\") + f.name;
        any = true;
        c.paths.emplace(f.id, path);
        c.folders.emplace(f.id, std::move(f));
    }
    if (!any) {
        Fail("the folder no longer exists");
    }
    return path;
}

Id Profile::Impl::StoreOfFolder(Id folder) {
    return Folder(folder).storeId;
}

Id Profile::AddFolder(Id parent, const std::string& name, int itemType, int folderRole,
                      FolderKind kind) {
    if (name.empty()) {
        impl_->Fail("a folder needs a name");
    }
    return impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        auto parentRow = impl_->Folder(parent);
        auto& dup =
            impl_->Stmt("SELECT 1 FROM folders WHERE parent_id=? AND name=? COLLATE NOCASE");
        dup.bind(1, static_cast<int64_t>(parent));
        dup.bind(2, name);
        if (dup.executeStep()) {
            impl_->Fail("a folder named '" + name + "' already exists in '" + parentRow.name + "'");
        }
        auto& s = impl_->Stmt(
            "INSERT INTO folders (entry_id, store_id, parent_id, name, role, item_type, kind)"
            " VALUES (?, ?, ?, ?, ?, ?, ?)");
        s.bind(1, impl_->NewEntryId(parentRow.storeId));
        s.bind(2, static_cast<int64_t>(parentRow.storeId));
        s.bind(3, static_cast<int64_t>(parent));
        s.bind(4, name);
        s.bind(5, folderRole);
        s.bind(6, itemType);
        s.bind(7, static_cast<int>(kind));
        s.exec();
        Id id = impl_->db->getLastInsertRowid();
        impl_->Commit(tx);
        return id;
    });
}

FolderRow Profile::Folder(Id id) {
    return impl_->Run([&] { return impl_->Folder(id); });
}

std::optional<FolderRow> Profile::FindFolder(Id id) {
    return impl_->Run([&] { return impl_->FindFolder(id); });
}

std::optional<Id> Profile::FolderByEntryId(const std::string& entryId,
                                           const std::string& storeEntryId) {
    return impl_->Run([&] {
        return impl_->IdByEntryId(&RowCache::folderByEntryId, "folders", entryId, storeEntryId);
    });
}

std::vector<FolderRow> Profile::Children(Id folder) {
    return impl_->Run([&] { return impl_->Children(folder); });
}

int Profile::ChildCount(Id folder) {
    return impl_->Run([&] { return static_cast<int>(impl_->Children(folder).size()); });
}

std::optional<Id> Profile::DefaultFolder(Id store, int folderRole) {
    return impl_->Run([&]() -> std::optional<Id> {
        auto& c = impl_->Cached();
        auto key = std::make_pair(store, folderRole);
        if (auto hit = c.defaultFolders.find(key); hit != c.defaultFolders.end()) {
            return hit->second;
        }
        auto& s = impl_->Stmt("SELECT id FROM folders WHERE store_id=? AND role=? ORDER BY id");
        s.bind(1, static_cast<int64_t>(store));
        s.bind(2, folderRole);
        std::optional<Id> id;
        if (s.executeStep()) {
            id = s.getColumn(0).getInt64();
        }
        c.defaultFolders.emplace(key, id);
        return id;
    });
}

std::string Profile::FolderPath(Id folder) {
    return impl_->Run([&] { return impl_->FolderPath(folder); });
}

std::optional<Id> Profile::FolderByPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = path.find_first_not_of('\\');
    if (start == std::string::npos) {
        return std::nullopt;
    }
    std::string rest = path.substr(start);
    size_t pos = 0;
    while (true) {
        size_t next = rest.find('\\', pos);
        parts.push_back(rest.substr(pos, next - pos));
        if (next == std::string::npos) {
            break;
        }
        pos = next + 1;
    }
    return impl_->Run([&]() -> std::optional<Id> {
        auto& r = impl_->Stmt(
            "SELECT id FROM folders WHERE parent_id IS NULL AND name=? COLLATE NOCASE"
            " ORDER BY (name=?) DESC, id LIMIT 1");
        r.bind(1, parts[0]);
        r.bind(2, parts[0]);
        if (!r.executeStep()) {
            return std::nullopt;
        }
        Id current = r.getColumn(0).getInt64();
        for (size_t i = 1; i < parts.size(); ++i) {
            auto& c = impl_->Stmt(
                "SELECT id FROM folders WHERE parent_id=? AND name=? COLLATE NOCASE"
                " ORDER BY (name=?) DESC, id LIMIT 1");
            c.bind(1, static_cast<int64_t>(current));
            c.bind(2, parts[i]);
            c.bind(3, parts[i]);
            if (!c.executeStep()) {
                return std::nullopt;
            }
            current = c.getColumn(0).getInt64();
        }
        return current;
    });
}

std::vector<FolderTableRow> Profile::FolderTable(Id folder) {
    return impl_->Run([&] {
        impl_->Folder(folder);
        std::vector<FolderTableRow> out;
        auto& s = impl_->Stmt(
            "SELECT f.name, f.entry_id, s.entry_id,"
            " (SELECT count(*) FROM folders c WHERE c.parent_id = f.id)"
            " FROM folders f JOIN stores s ON s.id = f.store_id WHERE f.parent_id=? ORDER BY f.id");
        s.bind(1, static_cast<int64_t>(folder));
        while (s.executeStep()) {
            out.push_back({s.getColumn(0).getString(), s.getColumn(1).getString(),
                           s.getColumn(2).getString(), s.getColumn(3).getInt()});
        }
        return out;
    });
}

}  // namespace mailstore
