#pragma once

#include <QTreeView>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::widgets {

class ImageList;
class TreeView;
class TreeModel;
class TreeNode;
using Node = std::shared_ptr<TreeNode>;

// Where Nodes.Add puts a node beside its relative.
enum TreeRelationship : int {
    tvwFirst = 0,
    tvwLast = 1,
    tvwNext = 2,
    tvwPrevious = 3,
    tvwChild = 4
};
// Lines between the nodes only, or also at the root (expand buttons on the top nodes).
enum TreeLineStyle : int { tvwTreeLines = 0, tvwRootLines = 1 };

// One node of a TreeView. A node taken out of its tree (Remove, Clear) keeps
// its Key, Text, Tag and Image; every other member then raises
// platform::Error, as the control's detached nodes do.
class TreeNode : public std::enable_shared_from_this<TreeNode> {
  public:
    const std::string& Key() const { return key_; }
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    const std::string& Tag() const { return tag_; }
    void SetTag(const std::string& tag) { tag_ = tag; }
    const std::string& Image() const { return image_; }

    // 1-based position in the order the nodes were added.
    int Index() const;
    // The texts from the top node down, joined by "\".
    std::string FullPath() const;
    // The number of direct children.
    int Children() const;
    // The first child and the next sibling as the tree shows them (sorted
    // when Sorted is on); nothing at the end.
    Node Child() const;
    Node Next() const;
    // The node above; nothing for a top node.
    Node Parent() const;

    bool Selected() const;
    void SetSelected(bool selected);
    bool Checked() const;
    void SetChecked(bool checked);
    bool Bold() const;
    void SetBold(bool bold);
    // On: the children are shown in alphabetical order, new ones included.
    bool Sorted() const;
    void SetSorted(bool sorted);
    // Expands every node above it and scrolls it into view.
    void EnsureVisible();

    // False once the node has left its tree.
    bool InTree() const { return tree_ != nullptr; }

  private:
    friend class TreeView;
    friend class TreeModel;
    friend class TreeNodes;

    TreeView& Tree() const;

    TreeView* tree_ = nullptr;
    std::string key_;
    std::string text_;
    std::string tag_;
    std::string image_;
    bool checked_ = false;
    bool bold_ = false;
    bool sorted_ = false;
    TreeNode* parent_ = nullptr;
    int row_ = 0;                      // place among the parent's children as shown
    std::size_t index_ = 0;            // place in the add order, from 0
    std::vector<TreeNode*> children_;  // as shown
};

// The tree's Nodes collection.
class TreeNodes {
  public:
    explicit TreeNodes(TreeView& tree) : tree_(tree) {}

    // Nodes.Add(relative, relationship, key, text, image): a top node when
    // relative is empty, else placed by relationship beside the node whose
    // key is relative. A key must be unique (the empty key names no node):
    // a taken key raises "Key is not unique in collection", an unknown
    // relative "Element not found".
    Node Add(const std::string& relative, int relationship, const std::string& key,
             const std::string& text, const std::string& image = "");
    // The same with the relative given as a node.
    Node Add(const Node& relative, int relationship, const std::string& key,
             const std::string& text, const std::string& image = "");
    // Removes the node at that Index and everything below it.
    void Remove(int index);
    void Clear();
    int Count() const { return static_cast<int>(all_.size()); }
    // By Index (from 1); raises outside 1 to Count.
    Node Item(int index) const;
    // By key; raises "Element not found" for an unknown key.
    Node Item(const std::string& key) const;
    // By key without a scan; nothing for an unknown or empty key.
    Node Find(const std::string& key) const;

  private:
    friend class TreeNode;
    friend class TreeView;
    friend class TreeModel;

    Node AddUnder(TreeNode* parent, TreeNode* sibling, int relationship, const std::string& key,
                  const std::string& text, const std::string& image);
    void Detach(TreeNode& node);
    void Renumber(std::size_t from);

    TreeView& tree_;
    std::vector<Node> all_;         // add order
    std::vector<TreeNode*> roots_;  // as shown
    std::unordered_map<std::string, TreeNode*> byKey_;
};

// The tree view control over an item model: nodes carry a key, a tag, a
// text, a check mark, bold, an image of the tree's image list, and their add
// order. The events are the control's: Expand (a node opens, by the user or
// by code), NodeCheck (the user ticks or unticks a node), Click and DblClick.
class TreeView : public QTreeView {
  public:
    explicit TreeView(QWidget* parent = nullptr);
    ~TreeView() override;

    TreeNodes& Nodes() { return nodes_; }
    const TreeNodes& Nodes() const { return nodes_; }

    // The selected node, or nothing.
    Node SelectedItem() const;
    void SetSelectedItem(const Node& node);

    bool Checkboxes() const { return checkboxes_; }
    void SetCheckboxes(bool on);
    // On: a node the user selects opens and the one selected before closes.
    bool SingleSel() const { return singleSel_; }
    void SetSingleSel(bool on) { singleSel_ = on; }
    // On: the top nodes are shown in alphabetical order.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool on);
    // In twips (15 a pixel).
    int Indentation() const;
    void SetIndentation(int twips);
    int LineStyle() const { return lineStyle_; }
    void SetLineStyle(int style);
    // The image list the node images come from; not owned.
    widgets::ImageList* ImageList() const { return imageList_; }
    void SetImageList(widgets::ImageList* images);
    void Refresh();

    // The model the view shows, for its tests.
    QAbstractItemModel* ItemModel() const;
    QModelIndex IndexOf(const Node& node) const;
    Node NodeAt(const QModelIndex& index) const;

    struct Events {
        std::function<void(const Node&)> Expand;
        std::function<void(const Node&)> NodeCheck;
        std::function<void()> Click;
        std::function<void()> DblClick;
    };
    Events events;

  private:
    friend class TreeNode;
    friend class TreeNodes;
    friend class TreeModel;

    void OnExpanded(const QModelIndex& index);
    void OnClicked(const QModelIndex& index);

    TreeNodes nodes_;
    std::unique_ptr<TreeModel> model_;
    widgets::ImageList* imageList_ = nullptr;
    bool checkboxes_ = false;
    bool singleSel_ = false;
    bool sorted_ = false;
    int lineStyle_ = tvwTreeLines;
    Node lastClicked_;
};

}  // namespace platform::widgets
