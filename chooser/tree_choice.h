#pragma once

// What the ticks and the selection of a chooser's folder tree give, in
// every variant: ticking a subtree, the test before a folder's subfolders
// join a several-folder choice, and the records of the tree road.

#include <functional>
#include <string>

#include "platform/ostrevane/folder_record.h"
#include "platform/widgets/tree_view.h"

namespace plovanex::chooser {

using platform::widgets::Node;

// TreeView1_NodeCheck: in several-folder mode a ticked node ticks its whole
// subtree. Reports its errors (source "ChooseOutlookFolders.NodeCheck").
void NodeCheck(const Node& node, bool singleFolderOnly);
// Every node below is ticked (True for a node without children).
bool AllChildrenChecked(const Node& node);
// The several-folder test of a selected node before its subfolders join the
// list: its subtree is all ticked, and reading its ancestors upward no
// ticked one stands above an unticked one.
bool QualifiesForSubfolders(const Node& node);

// The tree road of a commit: one record per selected node (its text, key
// and the StoreID its tag gives), by node index, added to list as it is
// made. In several-folder mode a qualifying node brings its folder's direct
// subfolders after it: addSubfolders(record, leaf, list) looks the folder
// up and, when leaf (the node has no nodes below it), adds them. Gives the
// full path of the last selected node, or empty text when none is selected.
using StoreIdOf = std::function<std::string(const Node&)>;
using AddSubfolders =
    std::function<void(const ostrevane::FolderRecord& record, bool leaf, ostrevane::FolderList&)>;
std::string HarvestSelected(platform::widgets::TreeView& tree, ostrevane::FolderList& list,
                            bool singleFolderOnly, const StoreIdOf& storeIdOf,
                            const AddSubfolders& addSubfolders);

}  // namespace plovanex::chooser
