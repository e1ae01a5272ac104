#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/mirelink/mirelink.h"
#include "platform/ostrevane/folder_record.h"
#include "platform/outlook/fwd.h"
#include "platform/widgets/image_list.h"
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

    // How the loader meets a store root whose EntryID cannot be read:
    // the search chooser's skips the store with a trace line; the lazy
    // modal chooser's reports the error, and takes an empty EntryID as a
    // root without a key.
    enum class StoreWithoutId { Skipped, Reported };

    // loaderSource is the report source of GetFolderNames.
    LazyFolderTree(platform::widgets::TreeView& tree, SessionSource sessions,
                   std::string loaderSource, StoreWithoutId storeWithoutId);

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
    // Expand for a node whose level has not been read; nothing otherwise.
    void ReadLevel(const Node& node);
    // The node of a path ("\\Store\Folder\Sub" or "Store\Folder\Sub"); the
    // first part is a Like pattern over every node, the others exact names
    // below it, loading levels that have no nodes yet. Nothing when not found.
    Node FindNodeAtPath(const std::string& path);
    Node FetchNode(const std::vector<std::string>& pathParts, std::size_t index,
                   const Node& parentNode);
    // The tree road of a commit (see chooser/tree_choice.h), the subfolders
    // of a qualifying node read through the session.
    std::string HarvestSelected(ostrevane::FolderList& list, bool singleFolderOnly,
                                mirelink::KVRDOSession& session);
    // Steps 8 to 20 of a lazy chooser's dialog run, over the form's images,
    // namespace, last path and clicked node: the images loaded once, the
    // start folder's ids, the cache flush, the stores of an empty tree, and
    // the node selected (the folder chosen last, else the start folder,
    // which then becomes the clicked node). False, with nothing selected,
    // when the form has no namespace: the dialog is not shown.
    struct ShowSetUp {
        platform::widgets::ImageList& images;
        bool& imagesLoaded;
        const std::string& olAppVersion;
        const outlook::NameSpacePtr& olNameSpace;
        const std::string& lastFolderPath;
        Node& clickedNode;
    };
    bool SetUpShow(const ShowSetUp& form, mirelink::KVRDOSession& session, long& step);
    // The dialog run's steps over the tree. LoadStores adds every store of
    // the session, its root node and first level, between the log lines
    // "Loading folder list..." and "...Done loading folder list".
    void LoadStores(mirelink::KVRDOSession& session);
    // The node of the folder chosen last, scrolled into view and selected;
    // nothing, with "Warning: node not found" logged, when it is gone.
    Node SelectLastFolder(const std::string& lastFolderPath);
    // The start folder's node, looked up by its path until it is known,
    // scrolled into view, bold and selected; nothing when it is not found.
    Node SelectStartNode();
    // The folder of these ids, or nothing; never raises.
    mirelink::FolderPtr OpenFolderForNode(const std::string& entryId, const std::string& storeId);
    // True for the empty key and for a key the tree holds; a hash lookup.
    bool NodeExists(const std::string& key) const;
    // One record per direct subfolder (its name and ids), added at the end
    // of the list; an error ends it quietly, keeping what was added.
    static void AddChildFolders(const mirelink::FolderPtr& folder, ostrevane::FolderList& list);

  private:
    // The node's only child is the placeholder.
    static bool Unread(const Node& node);

    platform::widgets::TreeView& tree_;
    SessionSource sessions_;
    std::string loaderSource_;
    StoreWithoutId storeWithoutId_;
};

}  // namespace plovanex::chooser
