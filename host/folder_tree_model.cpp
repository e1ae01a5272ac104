#include "host/folder_tree_model.h"

#include "platform/mailstore/profile.h"
#include "platform/ostrevane/settings_helper.h"

namespace host {

struct FolderTreeModel::Node {
    outlook::FolderPtr folder;
    QString name;
    Node* parent = nullptr;
    int row = 0;
    bool loaded = false;
    int subfolders = -1;  // learnt when first asked, while not loaded
    std::vector<std::unique_ptr<Node>> children;
};

namespace {

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
    : QAbstractItemModel(parent), root_(std::make_unique<Node>()) {
    try {
        auto stores = ns->Folders();
        for (int i = 1; i <= stores->Count(); ++i) {
            auto node = std::make_unique<Node>();
            node->folder = stores->Item(i);
            node->name = QString::fromStdString(node->folder->Name());
            node->parent = root_.get();
            node->row = i - 1;
            root_->children.push_back(std::move(node));
        }
    } catch (const std::exception& e) {
        Report(e.what());
    }
    root_->loaded = true;
}

FolderTreeModel::~FolderTreeModel() = default;

FolderTreeModel::Node* FolderTreeModel::NodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : root_.get();
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
    Node* parent = NodeOf(child)->parent;
    if (parent == root_.get()) {
        return {};
    }
    return createIndex(parent->row, 0, parent);
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
    return NodeOf(index)->name;
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const {
    Node* node = NodeOf(parent);
    if (node->loaded) {
        return !node->children.empty();
    }
    if (node->subfolders < 0) {
        try {
            node->subfolders = node->folder->Folders()->Count();
        } catch (const std::exception&) {
            node->subfolders = 0;
        }
    }
    return node->subfolders > 0;
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const {
    return !NodeOf(parent)->loaded;
}

void FolderTreeModel::fetchMore(const QModelIndex& parent) {
    Load(*NodeOf(parent));
}

void FolderTreeModel::Load(Node& node) {
    if (node.loaded) {
        return;
    }
    node.loaded = true;
    std::vector<std::unique_ptr<Node>> children;
    try {
        auto folders = node.folder->Folders();
        for (int i = 1; i <= folders->Count(); ++i) {
            auto child = std::make_unique<Node>();
            child->folder = folders->Item(i);
            child->name = QString::fromStdString(child->folder->Name());
            child->parent = &node;
            child->row = i - 1;
            children.push_back(std::move(child));
        }
    } catch (const std::exception& e) {
        Report(e.what());
        return;
    }
    if (children.empty()) {
        return;
    }
    QModelIndex index = &node == root_.get() ? QModelIndex() : createIndex(node.row, 0, &node);
    beginInsertRows(index, 0, static_cast<int>(children.size()) - 1);
    node.children = std::move(children);
    endInsertRows();
}

outlook::FolderPtr FolderTreeModel::Folder(const QModelIndex& index) const {
    return index.isValid() ? NodeOf(index)->folder : nullptr;
}

QModelIndex FolderTreeModel::IndexOfPath(const std::string& path) {
    QModelIndex at;
    for (const auto& part : PathElements(path)) {
        Node* node = NodeOf(at);
        Load(*node);
        QModelIndex found;
        for (const auto& child : node->children) {
            if (mailstore::SameText(child->name.toStdString(), part)) {
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
