#pragma once

#include <QAbstractItemModel>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/mailstore/profile.h"
#include "platform/outlook/outlook.h"

namespace host {

// The folder tree of an explorer: the top folder of every store, and under
// each folder its subfolders, read when the node is first expanded. It
// follows the profile: once a second, when the file has changed, every level
// read so far is brought in line with it, row by row, so that views keep
// their selection and expanded nodes.
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
    // Brings the levels read so far in line with the profile, when it has
    // changed since the last look.
    void Refresh();

  private:
    struct Node;
    // A folder as the profile has it now.
    struct Entry {
        mailstore::Id id = 0;
        std::string entryId;
        mailstore::Id storeId = 0;
        QString name;
    };
    Node* NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(const Node& node) const;
    // The subfolders of a node in the profile, or the stores' top folders
    // for the root.
    std::vector<Entry> EntriesOf(const Node& node) const;
    std::unique_ptr<Node> MakeNode(const Entry& entry, Node& parent, int row) const;
    // Reads the subfolders of a node once.
    void Load(Node& node);
    // Brings a loaded node's rows, and those of its loaded subtree, in line
    // with the profile; false when a level could not be read.
    bool Sync(Node& node);

    outlook::NameSpacePtr ns_;
    mailstore::ProfilePtr profile_;
    std::unique_ptr<Node> root_;
    // The profile's generation last brought in; none makes the next look read
    // every level.
    mutable std::optional<std::uint64_t> seen_;
    QTimer poll_;
};

}  // namespace host
