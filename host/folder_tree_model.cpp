#include "host/folder_tree_model.h"

#include <algorithm>
#include <unordered_map>

#include "platform/ostrevane/settings_helper.h"

namespace host {

struct FolderTreeModel::Node {
    Entry entry;                // none for the root
    outlook::FolderPtr folder;  // made when first asked
    Node* parent = nullptr;
    int row = 0;
    bool loaded = false;
    int subfolders = -1;  // learnt when first asked, while not loaded
    std::vector<std::unique_ptr<Node>> children;
};

namespace {

constexpr int kLookIntervalMs = 1000;

void Report(const std::string& message) {
    ostrevane::SettingsHelper().ReportError(message, 1, "Ostrevane.FolderTree");
}

// The elements of a path, without its leading backslashes.
std::vector<std::string> PathElements(const std::string& path) {
    std::vector<std::string> parts;
    size_t pos = path.find_first_not_of('\\');
    while (pos != std::string::npos && pos < path.size()) {
        size_t next = path.find('\\', pos);
        parts.push_back(path.substr(pos, next == std::string::npos ? next : next - pos));
        pos = next == std::string::npos ? next : next + 1;
    }
    return parts;
}

}  // namespace

FolderTreeModel::FolderTreeModel(outlook::NameSpacePtr ns, QObject* parent)
    : QAbstractItemModel(parent),
      ns_(std::move(ns)),
      profile_(ns_->MAPIOBJECT()),
      root_(std::make_unique<Node>()) {
    try {
        seen_ = profile_->Generation();
    } catch (const std::exception&) {
        // The first look reads the tree again.
    }
    Load(*root_);
    poll_.setInterval(kLookIntervalMs);
    QObject::connect(&poll_, &QTimer::timeout, this, [this] { Refresh(); });
    poll_.start();
}

FolderTreeModel::~FolderTreeModel() = default;

FolderTreeModel::Node* FolderTreeModel::NodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : root_.get();
}

QModelIndex FolderTreeModel::IndexOf(const Node& node) const {
    return &node == root_.get() ? QModelIndex() : createIndex(node.row, 0, &node);
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
    const Node* node = NodeOf(parent);
    if (column != 0 || row < 0 || row >= static_cast<int>(node->children.size())) {
        return {};
    }
    return createIndex(row, 0, node->children[static_cast<size_t>(row)].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) {
        return {};
    }
    return IndexOf(*NodeOf(child)->parent);
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    return static_cast<int>(NodeOf(parent)->children.size());
}

int FolderTreeModel::columnCount(const QModelIndex& /*parent*/) const {
    return 1;
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    return NodeOf(index)->entry.name;
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const {
    Node* node = NodeOf(parent);
    if (node->loaded) {
        return !node->children.empty();
    }
    if (node->subfolders < 0) {
        try {
            node->subfolders = profile_->ChildCount(node->entry.id);
        } catch (const std::exception&) {
            node->subfolders = 0;
            seen_.reset();  // the next look reads the level
        }
        // A folder with no subfolders is read in full: a later one arrives
        // as an inserted row, which views show.
        node->loaded = node->subfolders == 0;
    }
    return node->subfolders > 0;
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const {
    return !NodeOf(parent)->loaded;
}

void FolderTreeModel::fetchMore(const QModelIndex& parent) {
    Load(*NodeOf(parent));
}

std::vector<FolderTreeModel::Entry> FolderTreeModel::EntriesOf(const Node& node) const {
    std::vector<Entry> entries;
    if (&node == root_.get()) {
        for (const auto& store : profile_->Stores()) {
            auto top = profile_->Folder(store.rootId);
            entries.push_back({top.id, top.entryId, top.storeId, QString::fromStdString(top.name)});
        }
    } else {
        for (const auto& f : profile_->Children(node.entry.id)) {
            entries.push_back({f.id, f.entryId, f.storeId, QString::fromStdString(f.name)});
        }
    }
    return entries;
}

std::unique_ptr<FolderTreeModel::Node> FolderTreeModel::MakeNode(const Entry& entry, Node& parent,
                                                                 int row) const {
    auto node = std::make_unique<Node>();
    node->entry = entry;
    node->parent = &parent;
    node->row = row;
    return node;
}

void FolderTreeModel::Load(Node& node) {
    if (node.loaded) {
        return;
    }
    node.loaded = true;
    std::vector<Entry> entries;
    try {
        entries = EntriesOf(node);
    } catch (const std::exception& e) {
        Report(e.what());
        seen_.reset();  // the next look reads the level again
        return;
    }
    if (entries.empty()) {
        return;
    }
    beginInsertRows(IndexOf(node), 0, static_cast<int>(entries.size()) - 1);
    for (const auto& entry : entries) {
        node.children.push_back(MakeNode(entry, node, static_cast<int>(node.children.size())));
    }
    endInsertRows();
}

void FolderTreeModel::Refresh() {
    std::uint64_t now = 0;
    try {
        now = profile_->Generation();
    } catch (const std::exception&) {
        return;  // the file is busy: the rows stay until the next look
    }
    if (seen_ == now) {
        return;
    }
    seen_ = now;
    if (!Sync(*root_)) {
        seen_.reset();
    }
}

bool FolderTreeModel::Sync(Node& node) {
    std::vector<Entry> now;
    try {
        now = EntriesOf(node);
    } catch (const std::exception&) {
        return false;
    }
    const QModelIndex at = IndexOf(node);
    auto& kids = node.children;
    auto renumber = [&kids](size_t from) {
        for (size_t i = from; i < kids.size(); ++i) {
            kids[i]->row = static_cast<int>(i);
        }
    };
    // A row id freed by a delete may come back on a new folder: a node stays
    // only while its EntryID does.
    std::unordered_map<mailstore::Id, const std::string*> present;
    for (const auto& entry : now) {
        present.emplace(entry.id, &entry.entryId);
    }
    for (int row = static_cast<int>(kids.size()) - 1; row >= 0; --row) {
        const Entry& kid = kids[static_cast<size_t>(row)]->entry;
        auto found = present.find(kid.id);
        if (found == present.end() || *found->second != kid.entryId) {
            beginRemoveRows(at, row, row);
            kids.erase(kids.begin() + row);
            renumber(static_cast<size_t>(row));
            endRemoveRows();
        }
    }
    // What stays keeps its node, and with it the views' state; each new
    // folder goes in at its place.
    for (size_t i = 0; i < now.size(); ++i) {
        const int row = static_cast<int>(i);
        if (i >= kids.size() || kids[i]->entry.id != now[i].id) {
            auto found = std::find_if(kids.begin() + static_cast<std::ptrdiff_t>(i), kids.end(),
                                      [&](const auto& kid) { return kid->entry.id == now[i].id; });
            if (found == kids.end()) {
                beginInsertRows(at, row, row);
                kids.insert(kids.begin() + row, MakeNode(now[i], node, row));
                renumber(i);
                endInsertRows();
                continue;
            }
            const int from = static_cast<int>(found - kids.begin());
            beginMoveRows(at, from, from, at, row);
            std::rotate(kids.begin() + row, found, found + 1);
            renumber(i);
            endMoveRows();
        }
        if (kids[i]->entry.name != now[i].name) {
            kids[i]->entry.name = now[i].name;
            const QModelIndex changed = createIndex(row, 0, kids[i].get());
            emit dataChanged(changed, changed, {Qt::DisplayRole});
        }
    }
    bool whole = true;
    for (const auto& kid : kids) {
        if (kid->loaded) {
            whole = Sync(*kid) && whole;
        } else {
            kid->subfolders = -1;  // asked again when a view wants it
        }
    }
    return whole;
}

outlook::FolderPtr FolderTreeModel::Folder(const QModelIndex& index) const {
    if (!index.isValid()) {
        return nullptr;
    }
    Node* node = NodeOf(index);
    if (!node->folder) {
        try {
            node->folder = ns_->GetFolderFromID(node->entry.entryId,
                                                profile_->Store(node->entry.storeId).entryId);
        } catch (const std::exception& e) {
            Report(e.what());
        }
    }
    return node->folder;
}

QModelIndex FolderTreeModel::IndexOfPath(const std::string& path) {
    QModelIndex at;
    for (const auto& part : PathElements(path)) {
        Node* node = NodeOf(at);
        Load(*node);
        QModelIndex found;
        for (const auto& child : node->children) {
            if (mailstore::SameText(child->entry.name.toStdString(), part)) {
                found = createIndex(child->row, 0, child.get());
                break;
            }
        }
        if (!found.isValid()) {
            return {};
        }
        at = found;
    }
    return at;
}

}  // namespace host
