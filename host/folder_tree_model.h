#pragma once

#include <QAbstractItemModel>
#include <memory>
#include <string>
#include <vector>

#include "platform/outlook/outlook.h"

namespace host {

// The folder tree of an explorer: the top folder of every store, and under
// each folder its subfolders, read when the node is first expanded.
class FolderTreeModel : public QAbstractItemModel {
  public:
    explicit FolderTreeModel(outlook::NameSpacePtr ns, QObject* parent = nullptr);
    ~FolderTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The folder of a node, or nothing for none.
    outlook::FolderPtr Folder(const QModelIndex& index) const;
    // The node of the folder at a path ("\\Store\Folder", the leading
    // backslashes optional), loading the levels on the way; none when the
    // path names no folder.
    QModelIndex IndexOfPath(const std::string& path);

  private:
    struct Node;
    Node* NodeOf(const QModelIndex& index) const;
    // Reads the subfolders of a node once.
    void Load(Node& node);

    std::unique_ptr<Node> root_;
};

}  // namespace host
