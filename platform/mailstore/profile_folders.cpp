#include "platform/mailstore/profile_impl.h"

#include <algorithm>
#include <unordered_set>

namespace mailstore {

namespace {

const char* const kFolderColumns = "id, entry_id, store_id, parent_id, name, role, item_type, kind";

// The folder of the columns kFolderColumns, from column `first` on.
FolderRow ReadFolder(SQLite::Statement& s, int first = 0) {
    FolderRow r;
    r.id = s.getColumn(first).getInt64();
    r.entryId = s.getColumn(first + 1).getString();
    r.storeId = s.getColumn(first + 2).getInt64();
    r.parentId = OptionalId(s.getColumn(first + 3));
    r.name = s.getColumn(first + 4).getString();
    r.role = s.getColumn(first + 5).getInt();
    r.itemType = s.getColumn(first + 6).getInt();
    r.kind = static_cast<FolderKind>(s.getColumn(first + 7).getInt());
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
    std::string path;
    for (auto& f : Ancestry(folder)) {
        path += (path.empty() ? "\\\\" : "\\") + f.name;
        c.paths.emplace(f.id, path);
        c.folders.emplace(f.id, std::move(f));
    }
    return path;
}

std::vector<FolderRow> Profile::Impl::Ancestry(Id folder) {
    // Row by row, from kept rows where it can: a recursive statement would
    // make and drop a temporary table at every call.
    std::vector<FolderRow> rows;
    for (std::optional<Id> at = folder; at;) {
        auto row = FindFolder(*at);
        if (!row) {
            if (rows.empty()) {
                Fail("the folder no longer exists");
            }
            break;  // a parent missing from the file ends the walk as a root does
        }
        if (rows.size() > static_cast<size_t>(kMaxFolderDepth)) {
            // One level past the deepest a folder may lie: too deep, or a
            // cycle of parents.
            std::unordered_set<Id> seen;
            for (auto f = rows.rbegin(); f != rows.rend(); ++f) {
                if (!seen.insert(f->id).second) {
                    FailOwnAncestor(f->name);
                }
            }
            FailTooDeep(rows.front().name);
        }
        at = row->parentId;
        rows.push_back(std::move(*row));
    }
    std::reverse(rows.begin(), rows.end());
    return rows;
}

void Profile::Impl::CheckFolderTree() {
    auto& r = Stmt(
        "SELECT s.name FROM stores s JOIN folders f ON f.id = s.root_id"
        " WHERE f.parent_id IS NOT NULL ORDER BY s.id LIMIT 1");
    if (r.executeStep()) {
        Fail("the file is damaged: the root folder of the store '" + r.getColumn(0).getString() +
             "' lies inside a folder");
    }
    std::vector<std::pair<Id, std::optional<Id>>> folders;
    auto& s = Stmt("SELECT id, parent_id FROM folders ORDER BY id");
    while (s.executeStep()) {
        folders.emplace_back(s.getColumn(0).getInt64(), OptionalId(s.getColumn(1)));
    }
    std::unordered_map<Id, std::optional<Id>> parents(folders.begin(), folders.end());
    // Levels below the store's root; -1 while the folder's walk up is under way.
    std::unordered_map<Id, int> depths;
    std::vector<Id> chain;
    auto name = [&](Id id) {
        auto& n = Stmt("SELECT name FROM folders WHERE id=?");
        n.bind(1, static_cast<int64_t>(id));
        return n.executeStep() ? n.getColumn(0).getString() : std::to_string(id);
    };
    for (const auto& [id, parent] : folders) {
        chain.clear();
        int depth = -1;  // of the folder above the chain
        for (Id at = id;;) {
            if (auto known = depths.find(at); known != depths.end()) {
                if (known->second < 0) {
                    FailOwnAncestor(name(at));
                }
                depth = known->second;
                break;
            }
            depths[at] = -1;
            chain.push_back(at);
            auto up = parents.find(at)->second;
            // A parent missing from the file ends the walk as a root does.
            if (!up || !parents.contains(*up)) {
                break;
            }
            at = *up;
        }
        for (auto at = chain.rbegin(); at != chain.rend(); ++at) {
            depths[*at] = ++depth;
            if (depth > kMaxFolderDepth) {
                FailTooDeep(name(*at));
            }
        }
    }
}

void Profile::Impl::FailOwnAncestor(const std::string& folderName) const {
    Fail("the file is damaged: the folder '" + folderName + "' is its own ancestor");
}

void Profile::Impl::FailTooDeep(const std::string& folderName) const {
    Fail("the folder '" + folderName + "' lies too deep: folders nest at most " +
         std::to_string(kMaxFolderDepth) + " levels below their store's root");
}

Id Profile::Impl::StoreOfFolder(Id folder) {
    return Folder(folder).storeId;
}

void Profile::Impl::CheckFolderName(const std::string& name) const {
    if (name.empty()) {
        Fail("a folder needs a name");
    }
    // A backslash parts the levels of a folder path: no path could reach the
    // folder.
    if (name.find('\\') != std::string::npos) {
        Fail("a folder name cannot hold the character '\\'");
    }
    // Nor a control character, which no listing prints as it is.
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) {
            Fail("a folder name cannot hold the character U+" + Hex(c, 4));
        }
    }
}

Id Profile::AddFolder(Id parent, const std::string& name, int itemType, int folderRole,
                      FolderKind kind) {
    impl_->CheckFolderName(name);
    return impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        auto parentRow = impl_->Folder(parent);
        if (impl_->Ancestry(parent).size() > static_cast<size_t>(kMaxFolderDepth)) {
            impl_->FailTooDeep(name);
        }
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

void Profile::RenameFolder(Id folder, const std::string& name) {
    impl_->CheckFolderName(name);
    impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        auto row = impl_->Folder(folder);
        if (!row.parentId) {
            impl_->Fail("a store's root folder takes the store's name");
        }
        auto& dup = impl_->Stmt(
            "SELECT 1 FROM folders WHERE parent_id=? AND name=? COLLATE NOCASE AND id<>?");
        dup.bind(1, static_cast<int64_t>(*row.parentId));
        dup.bind(2, name);
        dup.bind(3, static_cast<int64_t>(folder));
        if (dup.executeStep()) {
            impl_->Fail("a folder named '" + name + "' already exists there");
        }
        auto& s = impl_->Stmt("UPDATE folders SET name=? WHERE id=?");
        s.bind(1, name);
        s.bind(2, static_cast<int64_t>(folder));
        s.exec();
        impl_->Commit(tx);
        return 0;
    });
}

void Profile::DeleteFolder(Id folder) {
    impl_->Run([&] {
        SQLite::Transaction tx(*impl_->db, SQLite::TransactionBehavior::IMMEDIATE);
        if (!impl_->Folder(folder).parentId) {
            impl_->Fail("a store's root folder cannot be deleted");
        }
        // The folder and every folder below it, from kept rows.
        std::vector<Id> subtree{folder};
        std::unordered_set<Id> seen{folder};
        for (std::size_t i = 0; i < subtree.size(); ++i) {
            const auto children = impl_->Children(subtree[i]);
            for (const auto& child : children) {
                if (seen.insert(child.id).second) {
                    subtree.push_back(child.id);
                }
            }
        }
        // The deepest first: a folder goes after the folders below it.
        for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
            const Id id = *it;
            impl_->DeleteItemsWhere("folder_id=?", id);
            auto& s = impl_->Stmt("DELETE FROM folders WHERE id=?");
            s.bind(1, static_cast<int64_t>(id));
            s.exec();
        }
        impl_->Commit(tx);
        return 0;
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

std::vector<std::string> Profile::FolderLevels(Id folder) {
    return impl_->Run([&] {
        std::vector<std::string> levels;
        for (auto& f : impl_->Ancestry(folder)) {
            levels.push_back(std::move(f.name));
        }
        return levels;
    });
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
    return FolderByLevels(parts);
}

std::optional<Id> Profile::FolderByLevels(const std::vector<std::string>& parts) {
    if (parts.empty()) {
        return std::nullopt;
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
