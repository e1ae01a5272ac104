#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/mirelink/mirelink.h"
#include "platform/ostrevane/folder_record.h"
#include "platform/widgets/tree_view.h"

namespace plovanex::chooser {

using platform::widgets::Node;

// The folder tree that loads one level at a time through a MAPI session:
// a store's root node with its first level, and below every folder that has
// subfolders one placeholder child until the node is expanded. Node Key is
// the folder's EntryID, Tag its StoreID, Text its name. The procedures are
// the form's; the form wires the tree's events to Expand and NodeCheck.
class LazyFolderTree {
  public:
    // Gives the session of one lookup: a new one for each call, or the
    // form's own.
    using SessionSource = std::function<mirelink::SessionPtr()>;

    static constexpr char kPlaceholderText[] = "Expanding Subfolders...";
    // The one query the loader sends to a folder table.
    static const std::string kFolderTableQuery;

    // loaderSource is the report source of GetFolderNames.
    LazyFolderTree(platform::widgets::TreeView& tree, SessionSource sessions,
                   std::string loaderSource);

    platform::widgets::TreeView& Tree() { return tree_; }

    // The start folder (the default Inbox): its node once it is added, and
    // the ids and path the loader and the dialog look for.
    Node StartNode;
    std::string StartEntryID;
    std::string StartStoreID;
    std::string StartFolderPath;

    // Adds the direct subfolders of folder: under parentNode, or under a
    // new root node for the folder itself (text storeName, else the
    // folder's name) when parentNode is nothing. Reports its own errors.
    void GetFolderNames(const mirelink::FolderPtr& folder, const std::string& storeName,
                        const Node& parentNode);
    // TreeView1_Expand: loads a node whose only child is the placeholder.
    void Expand(const Node& node);
    // TreeView1_NodeCheck: in several-folder mode a ticked node ticks its
    // whole subtree.
    void NodeCheck(const Node& node, bool singleFolderOnly);
    // The node of a path ("\\Store\Folder\Sub" or "Store\Folder\Sub"); the
    // first part is a Like pattern over every node, the others exact names
    // below it, loading levels that have no nodes yet. Nothing when not found.
    Node FindNodeAtPath(const std::string& path);
    Node FetchNode(const std::vector<std::string>& pathParts, std::size_t index,
                   const Node& parentNode);
    // Every node below is ticked (True for a node without children).
    bool AllChildrenChecked(const Node& node);
    // The several-folder test of a selected node before its subfolders join
    // the list: its subtree is all ticked, and reading its ancestors upward
    // no ticked one stands above an unticked one.
    bool QualifiesForSubfolders(const Node& node);
    // The tree road of a commit: one record per selected node (its text,
    // key and tag), by node index; in several-folder mode a qualifying node
    // without nodes below it brings its folder's direct subfolders after it.
    // Records go into list as they are made. Gives the full path of the last
    // selected node, or empty text when none is selected.
    std::string HarvestSelected(ostrevane::FolderList& list, bool singleFolderOnly,
                                mirelink::KVRDOSession& session);
    // The folder of these ids, or nothing; never raises.
    mirelink::FolderPtr OpenFolderForNode(const std::string& entryId, const std::string& storeId);
    // True for the empty key and for a key the tree holds; a hash lookup.
    bool NodeExists(const std::string& key) const;
    // One record per direct subfolder (its name and ids), added at the end
    // of the list; an error ends it quietly, keeping what was added.
    static void AddChildFolders(const mirelink::FolderPtr& folder, ostrevane::FolderList& list);

  private:
    platform::widgets::TreeView& tree_;
    SessionSource sessions_;
    std::string loaderSource_;
};

}  // namespace plovanex::chooser
