#include "platform/widgets/tree_view.h"

#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <algorithm>
#include <unordered_set>

#include "platform/error.h"
#include "platform/widgets/image_list.h"

namespace platform::widgets {

namespace {

constexpr int kTwipsPerPixel = 15;

[[noreturn]] void Raise(const std::string& text) {
    throw platform::Error(text);
}

bool ComesBefore(const TreeNode* a, const TreeNode* b) {
    return QString::fromStdString(a->Text()).compare(QString::fromStdString(b->Text()),
                                                     Qt::CaseInsensitive) < 0;
}

}  // namespace

// The item model the view shows: one row per node, children as shown.
class TreeModel : public QAbstractItemModel {
  public:
    explicit TreeModel(TreeView& tree) : tree_(tree) {}

    QModelIndex index(int row, int column, const QModelIndex& parent) const override {
        if (column != 0 || row < 0) {
            return {};
        }
        const auto& rows = RowsOf(parent);
        if (row >= static_cast<int>(rows.size())) {
            return {};
        }
        return createIndex(row, 0, rows[static_cast<std::size_t>(row)]);
    }
    QModelIndex parent(const QModelIndex& child) const override {
        const TreeNode* node = NodeOf(child);
        if (!node || !node->parent_) {
            return {};
        }
        return IndexOf(node->parent_);
    }
    int rowCount(const QModelIndex& parent) const override {
        if (parent.isValid() && parent.column() != 0) {
            return 0;
        }
        return static_cast<int>(RowsOf(parent).size());
    }
    int columnCount(const QModelIndex&) const override { return 1; }
    QVariant data(const QModelIndex& index, int role) const override {
        const TreeNode* node = NodeOf(index);
        if (!node) {
            return {};
        }
        switch (role) {
            case Qt::DisplayRole:
                return QString::fromStdString(node->text_);
            case Qt::DecorationRole:
                if (tree_.imageList_ && !node->image_.empty()) {
                    return tree_.imageList_->Icon(node->image_);
                }
                return {};
            case Qt::FontRole:
                if (node->bold_) {
                    QFont font = tree_.font();
                    font.setBold(true);
                    return font;
                }
                return {};
            case Qt::CheckStateRole:
                if (tree_.checkboxes_) {
                    return node->checked_ ? Qt::Checked : Qt::Unchecked;
                }
                return {};
            default:
                return {};
        }
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!NodeOf(index)) {
            return Qt::NoItemFlags;
        }
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (tree_.checkboxes_) {
            f |= Qt::ItemIsUserCheckable;
        }
        return f;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        TreeNode* node = NodeOf(index);
        if (!node || role != Qt::CheckStateRole || !tree_.checkboxes_) {
            return false;
        }
        // A tick by the user: the control's NodeCheck follows.
        node->checked_ = value.toInt() == Qt::Checked;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        if (tree_.events.NodeCheck) {
            auto handler = tree_.events.NodeCheck;
            handler(node->shared_from_this());
        }
        return true;
    }

    TreeNode* NodeOf(const QModelIndex& index) const {
        if (!index.isValid() || index.model() != this) {
            return nullptr;
        }
        return static_cast<TreeNode*>(index.internalPointer());
    }
    QModelIndex IndexOf(const TreeNode* node) const {
        if (!node) {
            return {};
        }
        return createIndex(node->row_, 0, const_cast<TreeNode*>(node));
    }
    const std::vector<TreeNode*>& RowsOf(const QModelIndex& parent) const {
        if (const TreeNode* node = NodeOf(parent)) {
            return node->children_;
        }
        return tree_.nodes_.roots_;
    }
    std::vector<TreeNode*>& RowsOf(TreeNode* parent) {
        return parent ? parent->children_ : tree_.nodes_.roots_;
    }

    void Insert(TreeNode* parent, std::size_t row, TreeNode* node) {
        auto& rows = RowsOf(parent);
        beginInsertRows(IndexOf(parent), static_cast<int>(row), static_cast<int>(row));
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(row), node);
        node->parent_ = parent;
        for (std::size_t r = row; r < rows.size(); ++r) {
            rows[r]->row_ = static_cast<int>(r);
        }
        endInsertRows();
    }
    void Take(TreeNode* node) {
        auto& rows = RowsOf(node->parent_);
        const auto row = static_cast<std::size_t>(node->row_);
        beginRemoveRows(IndexOf(node->parent_), node->row_, node->row_);
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(row));
        for (std::size_t r = row; r < rows.size(); ++r) {
            rows[r]->row_ = static_cast<int>(r);
        }
        endRemoveRows();
    }
    void Sort(TreeNode* parent) {
        auto& rows = RowsOf(parent);
        if (std::is_sorted(rows.begin(), rows.end(), ComesBefore)) {
            return;
        }
        const QModelIndex parentIndex = IndexOf(parent);
        emit layoutAboutToBeChanged({QPersistentModelIndex(parentIndex)},
                                    QAbstractItemModel::VerticalSortHint);
        const QModelIndexList before = persistentIndexList();
        std::vector<TreeNode*> nodesBefore;
        for (const auto& index : before) {
            nodesBefore.push_back(NodeOf(index));
        }
        std::stable_sort(rows.begin(), rows.end(), ComesBefore);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            rows[r]->row_ = static_cast<int>(r);
        }
        QModelIndexList after;
        for (TreeNode* node : nodesBefore) {
            after.push_back(IndexOf(node));
        }
        changePersistentIndexList(before, after);
        emit layoutChanged({QPersistentModelIndex(parentIndex)},
                           QAbstractItemModel::VerticalSortHint);
    }
    void Changed(TreeNode* node, int role) {
        const QModelIndex index = IndexOf(node);
        emit dataChanged(index, index, {role});
    }
    void Reset(const std::function<void()>& change) {
        beginResetModel();
        change();
        endResetModel();
    }
    void AllChanged() {
        emit layoutAboutToBeChanged();
        emit layoutChanged();
    }

  private:
    TreeView& tree_;
};

// ---- TreeNode

TreeView& TreeNode::Tree() const {
    if (!tree_) {
        Raise("The node is no longer in its tree");
    }
    return *tree_;
}

void TreeNode::SetText(const std::string& text) {
    text_ = text;
    if (tree_) {
        tree_->model_->Changed(this, Qt::DisplayRole);
        if (parent_ ? parent_->sorted_ : tree_->sorted_) {
            tree_->model_->Sort(parent_);
        }
    }
}

int TreeNode::Index() const {
    Tree();
    return static_cast<int>(index_) + 1;
}

std::string TreeNode::FullPath() const {
    Tree();
    std::string path = text_;
    for (const TreeNode* p = parent_; p; p = p->parent_) {
        path = p->text_ + "\\" + path;
    }
    return path;
}

int TreeNode::Children() const {
    Tree();
    return static_cast<int>(children_.size());
}

Node TreeNode::Child() const {
    Tree();
    return children_.empty() ? nullptr : children_.front()->shared_from_this();
}

Node TreeNode::Next() const {
    auto& tree = Tree();
    const auto& rows = parent_ ? parent_->children_ : tree.nodes_.roots_;
    const auto next = static_cast<std::size_t>(row_) + 1;
    return next < rows.size() ? rows[next]->shared_from_this() : nullptr;
}

Node TreeNode::Parent() const {
    Tree();
    return parent_ ? parent_->shared_from_this() : nullptr;
}

bool TreeNode::Selected() const {
    auto& tree = Tree();
    return tree.selectionModel()->isSelected(tree.model_->IndexOf(this));
}

void TreeNode::SetSelected(bool selected) {
    auto& tree = Tree();
    const QModelIndex index = tree.model_->IndexOf(this);
    if (selected) {
        tree.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    } else {
        tree.selectionModel()->select(index, QItemSelectionModel::Deselect);
    }
}

bool TreeNode::Checked() const {
    Tree();
    return checked_;
}

void TreeNode::SetChecked(bool checked) {
    auto& tree = Tree();
    checked_ = checked;
    tree.model_->Changed(this, Qt::CheckStateRole);
}

bool TreeNode::Bold() const {
    Tree();
    return bold_;
}

void TreeNode::SetBold(bool bold) {
    auto& tree = Tree();
    bold_ = bold;
    tree.model_->Changed(this, Qt::FontRole);
}

bool TreeNode::Sorted() const {
    Tree();
    return sorted_;
}

void TreeNode::SetSorted(bool sorted) {
    auto& tree = Tree();
    sorted_ = sorted;
    if (sorted) {
        tree.model_->Sort(this);
    }
}

void TreeNode::EnsureVisible() {
    auto& tree = Tree();
    std::vector<TreeNode*> above;
    for (TreeNode* p = parent_; p; p = p->parent_) {
        above.push_back(p);
    }
    // Top down, so that each Expand sees its parent open; a handler may
    // change the tree, so each step checks that this node is still in it.
    for (auto it = above.rbegin(); it != above.rend() && tree_; ++it) {
        if (!tree.isExpanded(tree.model_->IndexOf(*it))) {
            tree.expand(tree.model_->IndexOf(*it));
        }
    }
    if (tree_) {
        tree.scrollTo(tree.model_->IndexOf(this));
    }
}

// ---- TreeNodes

Node TreeNodes::Add(const std::string& relative, int relationship, const std::string& key,
                    const std::string& text, const std::string& image) {
    if (relative.empty()) {
        return AddUnder(nullptr, nullptr, tvwLast, key, text, image);
    }
    auto it = byKey_.find(relative);
    if (it == byKey_.end()) {
        Raise("Element not found");
    }
    return Add(it->second->shared_from_this(), relationship, key, text, image);
}

Node TreeNodes::Add(const Node& relative, int relationship, const std::string& key,
                    const std::string& text, const std::string& image) {
    if (!relative) {
        return AddUnder(nullptr, nullptr, tvwLast, key, text, image);
    }
    if (relative->tree_ != &tree_) {
        Raise("Element not found");
    }
    if (relationship == tvwChild) {
        return AddUnder(relative.get(), nullptr, tvwLast, key, text, image);
    }
    return AddUnder(relative->parent_, relative.get(), relationship, key, text, image);
}

Node TreeNodes::AddUnder(TreeNode* parent, TreeNode* sibling, int relationship,
                         const std::string& key, const std::string& text,
                         const std::string& image) {
    if (relationship < tvwFirst || relationship > tvwChild) {
        Raise("Invalid procedure call or argument");
    }
    if (!key.empty() && byKey_.count(key)) {
        Raise("Key is not unique in collection");
    }
    auto node = std::make_shared<TreeNode>();
    node->tree_ = &tree_;
    node->key_ = key;
    node->text_ = text;
    node->image_ = image;
    node->index_ = all_.size();
    const auto& rows = parent ? parent->children_ : roots_;
    std::size_t row = rows.size();
    if (parent ? parent->sorted_ : tree_.sorted_) {
        row = static_cast<std::size_t>(
            std::upper_bound(rows.begin(), rows.end(), node.get(), ComesBefore) - rows.begin());
    } else if (relationship == tvwFirst) {
        row = 0;
    } else if (relationship == tvwNext && sibling) {
        row = static_cast<std::size_t>(sibling->row_) + 1;
    } else if (relationship == tvwPrevious && sibling) {
        row = static_cast<std::size_t>(sibling->row_);
    }
    all_.push_back(node);
    if (!key.empty()) {
        byKey_.emplace(key, node.get());
    }
    tree_.model_->Insert(parent, row, node.get());
    return node;
}

void TreeNodes::Remove(int index) {
    Node node = Item(index);
    std::unordered_set<const TreeNode*> gone;
    std::vector<TreeNode*> pending{node.get()};
    while (!pending.empty()) {
        TreeNode* n = pending.back();
        pending.pop_back();
        gone.insert(n);
        pending.insert(pending.end(), n->children_.begin(), n->children_.end());
    }
    tree_.model_->Take(node.get());
    if (node->parent_) {
        node->parent_ = nullptr;
    }
    std::size_t first = all_.size();
    std::vector<Node> kept;
    kept.reserve(all_.size() - gone.size());
    for (auto& n : all_) {
        if (gone.count(n.get())) {
            first = std::min(first, n->index_);
            Detach(*n);
        } else {
            kept.push_back(std::move(n));
        }
    }
    all_ = std::move(kept);
    Renumber(first);
}

void TreeNodes::Clear() {
    tree_.model_->Reset([this] {
        for (auto& n : all_) {
            Detach(*n);
        }
        all_.clear();
        roots_.clear();
        byKey_.clear();
    });
}

void TreeNodes::Detach(TreeNode& node) {
    if (!node.key_.empty()) {
        byKey_.erase(node.key_);
    }
    node.tree_ = nullptr;
    node.parent_ = nullptr;
    node.children_.clear();
}

void TreeNodes::Renumber(std::size_t from) {
    for (std::size_t i = from; i < all_.size(); ++i) {
        all_[i]->index_ = i;
    }
}

Node TreeNodes::Item(int index) const {
    if (index < 1 || index > Count()) {
        Raise("Index out of bounds");
    }
    return all_[static_cast<std::size_t>(index - 1)];
}

Node TreeNodes::Item(const std::string& key) const {
    if (Node node = Find(key)) {
        return node;
    }
    Raise("Element not found");
}

Node TreeNodes::Find(const std::string& key) const {
    if (key.empty()) {
        return nullptr;
    }
    auto it = byKey_.find(key);
    return it == byKey_.end() ? nullptr : it->second->shared_from_this();
}

// ---- TreeView

TreeView::TreeView(QWidget* parent)
    : QTreeView(parent), nodes_(*this), model_(std::make_unique<TreeModel>(*this)) {
    setModel(model_.get());
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& i) { OnExpanded(i); });
    connect(this, &QTreeView::clicked, this, [this](const QModelIndex& i) { OnClicked(i); });
    connect(this, &QTreeView::doubleClicked, this, [this](const QModelIndex&) {
        if (events.DblClick) {
            auto handler = events.DblClick;
            handler();
        }
    });
}

TreeView::~TreeView() {
    // The view lets go of the model before the nodes go.
    setModel(nullptr);
    for (auto& n : nodes_.all_) {
        nodes_.Detach(*n);
    }
}

Node TreeView::SelectedItem() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty()) {
        return nullptr;
    }
    return NodeAt(selected.front());
}

void TreeView::SetSelectedItem(const Node& node) {
    if (!node) {
        selectionModel()->clearSelection();
        return;
    }
    node->SetSelected(true);
}

void TreeView::SetCheckboxes(bool on) {
    checkboxes_ = on;
    model_->AllChanged();
    viewport()->update();
}

void TreeView::SetSorted(bool on) {
    sorted_ = on;
    if (on) {
        model_->Sort(nullptr);
    }
}

int TreeView::Indentation() const {
    return indentation() * kTwipsPerPixel;
}

void TreeView::SetIndentation(int twips) {
    setIndentation(std::max(0, twips / kTwipsPerPixel));
}

void TreeView::SetLineStyle(int style) {
    lineStyle_ = style;
    setRootIsDecorated(style == tvwRootLines);
}

void TreeView::SetImageList(widgets::ImageList* images) {
    imageList_ = images;
    if (images) {
        setIconSize(QSize(images->ImageWidth(), images->ImageHeight()));
    }
    viewport()->update();
}

void TreeView::Refresh() {
    viewport()->update();
}

QAbstractItemModel* TreeView::ItemModel() const {
    return model_.get();
}

QModelIndex TreeView::IndexOf(const Node& node) const {
    if (!node || node->tree_ != this) {
        return {};
    }
    return model_->IndexOf(node.get());
}

Node TreeView::NodeAt(const QModelIndex& index) const {
    TreeNode* node = model_->NodeOf(index);
    return node ? node->shared_from_this() : nullptr;
}

void TreeView::OnExpanded(const QModelIndex& index) {
    Node node = NodeAt(index);
    if (node && events.Expand) {
        auto handler = events.Expand;
        handler(node);
    }
}

void TreeView::OnClicked(const QModelIndex& index) {
    Node node = NodeAt(index);
    if (singleSel_ && node) {
        // The node clicked opens; the one clicked before closes unless it
        // lies above it.
        if (lastClicked_ && lastClicked_ != node && lastClicked_->InTree()) {
            bool above = false;
            for (TreeNode* p = node->parent_; p && !above; p = p->parent_) {
                above = p == lastClicked_.get();
            }
            if (!above) {
                collapse(model_->IndexOf(lastClicked_.get()));
            }
        }
        if (node->InTree() && !node->children_.empty()) {
            expand(model_->IndexOf(node.get()));
        }
    }
    lastClicked_ = node;
    if (events.Click) {
        auto handler = events.Click;
        handler();
    }
}

}  // namespace platform::widgets
