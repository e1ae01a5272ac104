#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ostrevane/folder_record.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/tree_view.h"

namespace plovanex::chooser {

using platform::widgets::Node;

// The folder tree read straight from the mail client's object model, a few
// levels at a time and without placeholders: every store's top folder and
// the levels below it down to MaxLoadDepth. Node Key is the folder's
// EntryID, Text its name, Tag "level:StoreID" ("1:" and the StoreID for a
// store's top folder). The form wires the tree's Expand event to Expand.
class WholeFolderTree {
  public:
    // Gives the mail client's namespace of the form.
    using NameSpaceSource = std::function<outlook::NameSpacePtr()>;

    WholeFolderTree(platform::widgets::TreeView& tree, NameSpaceSource nameSpace);

    // The deepest level the loader adds.
    int MaxLoadDepth = 2;

    // The text before the first ":" of a tag (raises for a tag without
    // one), and the text after it (the whole tag without one).
    static std::string LevelFromTag(const std::string& tag);
    static std::string StoreIdFromTag(const std::string& tag);
    // A node's level as a number.
    static int Level(const Node& node);
    static std::string Tag(int level, const std::string& storeId);

    // Adds the folders of the collection under parentNode, or as top nodes
    // when parentNode is nothing, and descends into each down to
    // MaxLoadDepth. A folder already in the tree is skipped with everything
    // below it. Reports its own errors; one inside a nested call ends only
    // that call.
    void GetFolderNames(const outlook::FoldersPtr& folders, const Node& parentNode);
    // TreeView1_Expand: loads the level below the node's children, so that
    // each child shows whether it can be expanded. Subfolders are paired
    // with child nodes by EntryID; one without a node (an unreadable one
    // has none) is skipped.
    void Expand(const Node& node);
    // The node below node whose path from there is pathParts[index] to the
    // last part (exact names), loading the levels on the way; the first
    // sibling under which the rest is found wins. MaxLoadDepth is the same
    // afterwards.
    Node FindPathNode(const std::vector<std::string>& pathParts, std::size_t index,
                      const Node& node);
    // The first node, in add order, whose text is the path's first part and
    // under which the rest of the path ("Store\Folder\Sub") is found.
    Node FindTreePath(const std::string& path);
    // One record per direct subfolder (its name and ids), added at the end
    // of the list.
    static void AddChildFolders(outlook::MAPIFolder& folder, ostrevane::FolderList& list);

  private:
    platform::widgets::TreeView& tree_;
    NameSpaceSource nameSpace_;
};

}  // namespace plovanex::chooser
