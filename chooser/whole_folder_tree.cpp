#include "chooser/whole_folder_tree.h"

#include "chooser/chooser_common.h"
#include "chooser/folder_images.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "core/rdo_lookup.h"
#include "platform/error.h"
#include "platform/widgets/mouse_pointer.h"

namespace plovanex::chooser {

namespace widgets = platform::widgets;

namespace {

void RestorePointer() {
    widgets::SetMousePointer(widgets::vbDefault);
}

// The folder's EntryID; empty when it cannot be read.
std::string EntryIdOrEmpty(outlook::MAPIFolder& folder) {
    try {
        return folder.EntryID();
    } catch (const std::exception&) {
        return {};
    }
}

// Puts MaxLoadDepth back when the scope ends.
class KeptDepth {
  public:
    KeptDepth(int& depth, int now) : depth_(depth), kept_(depth) { depth_ = now; }
    ~KeptDepth() { depth_ = kept_; }
    KeptDepth(const KeptDepth&) = delete;
    KeptDepth& operator=(const KeptDepth&) = delete;

  private:
    int& depth_;
    int kept_;
};

}  // namespace

WholeFolderTree::WholeFolderTree(widgets::TreeView& tree, NameSpaceSource nameSpace)
    : tree_(tree), nameSpace_(std::move(nameSpace)) {}

std::string WholeFolderTree::LevelFromTag(const std::string& tag) {
    const auto colon = tag.find(':');
    if (colon == std::string::npos) {
        throw platform::Error("Invalid procedure call or argument");
    }
    return tag.substr(0, colon);
}

std::string WholeFolderTree::StoreIdFromTag(const std::string& tag) {
    const auto colon = tag.find(':');
    return colon == std::string::npos ? tag : tag.substr(colon + 1);
}

int WholeFolderTree::Level(const Node& node) {
    return vb::ToInteger(LevelFromTag(Need(node).Tag()));
}

std::string WholeFolderTree::Tag(int level, const std::string& storeId) {
    return std::to_string(level) + ":" + storeId;
}

void WholeFolderTree::GetFolderNames(const outlook::FoldersPtr& folders, const Node& parentNode) {
    Trapped(
        {"ChooseOutlookFolders.GetFolderNames", 0, true},
        [&](long& step) {
            step = 2;
            widgets::SetMousePointer(widgets::vbHourglass);
            int level = parentNode ? Level(parentNode) : 0;
            step = 4;
            ++level;
            if (level > MaxLoadDepth) {
                RestorePointer();
                return;
            }
            auto& nodes = tree_.Nodes();
            step = 6;
            const int count = Need(folders).Count();
            for (int i = 1; i <= count; ++i) {
                step = 8;
                auto folder = folders->Item(i);
                if (!folder) {
                    continue;
                }
                Node node;
                if (!parentNode) {
                    step = 10;
                    const std::string name = folder->Name();
                    node = nodes.Add(
                        "", widgets::tvwLast, folder->EntryID(), name,
                        name == "Personal Folders" ? "PersonalFolders" : "TopLevelFolders");
                    step = 12;
                    node->SetTag(Tag(level, folder->StoreID()));
                    step = 14;
                } else {
                    step = 15;
                    const std::string entryId = EntryIdOrEmpty(*folder);
                    step = 16;
                    // An unreadable folder (empty EntryID) and one already
                    // in the tree are left out with everything below them.
                    if (entryId.empty() || nodes.Find(entryId)) {
                        continue;
                    }
                    step = 18;
                    node = nodes.Add(parentNode->Key(), widgets::tvwChild, entryId, folder->Name(),
                                     FolderImageKey(*folder));
                    step = 20;
                    node->SetTag(Tag(level, folder->StoreID()));
                    step = 22;
                }
                if (auto below = folder->Folders()) {
                    GetFolderNames(below, node);
                }
            }
            RestorePointer();
        },
        RestorePointer);
}

void WholeFolderTree::Expand(const Node& node) {
    Trapped({"ChooseOutlookFolders.Expand", 0, false}, [&](long&) {
        MaxLoadDepth = Level(node) + 2;
        // By both ids: the EntryID alone finds only the default store's
        // folders, and the other stores' deeper levels would never load.
        auto folder =
            GetOutlookFolderFromID(nameSpace_(), node->Key(), StoreIdFromTag(node->Tag()));
        auto subfolders = Need(folder).Folders();
        const int count = subfolders->Count();
        if (count < 1) {
            return;
        }
        for (int i = 1; i <= count; ++i) {
            // An unreadable subfolder has no node: the loader left it out.
            auto subfolder = subfolders->Item(i);
            const std::string entryId = subfolder ? EntryIdOrEmpty(*subfolder) : std::string();
            Node child = entryId.empty() ? nullptr : tree_.Nodes().Find(entryId);
            if (!child || child->Parent() != node) {
                continue;
            }
            GetFolderNames(subfolder->Folders(), child);
        }
        node->SetSorted(true);
    });
}

Node WholeFolderTree::FindPathNode(const std::vector<std::string>& pathParts, std::size_t index,
                                   const Node& node) {
    if (!node) {
        return nullptr;
    }
    if (index >= pathParts.size()) {
        throw platform::Error("Subscript out of range");
    }
    for (Node child = node->Child(); child; child = child->Next()) {
        if (child->Text() != pathParts[index]) {
            continue;
        }
        if (index + 1 == pathParts.size()) {
            return child;
        }
        if (child->Children() == 0) {
            auto folder =
                GetOutlookFolderFromID(nameSpace_(), child->Key(), StoreIdFromTag(child->Tag()));
            if (folder && folder->Folders()->Count() >= 1) {
                const KeptDepth depth(MaxLoadDepth, Level(child) + 1);
                GetFolderNames(folder->Folders(), child);
            }
        }
        if (Node found = FindPathNode(pathParts, index + 1, child)) {
            return found;
        }
    }
    return nullptr;
}

Node WholeFolderTree::FindTreePath(const std::string& path) {
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t cut = path.find('\\', start);
        parts.push_back(path.substr(start, cut == std::string::npos ? cut : cut - start));
        if (cut == std::string::npos) {
            break;
        }
        start = cut + 1;
    }
    auto& nodes = tree_.Nodes();
    for (int i = 1; i <= nodes.Count(); ++i) {
        Node candidate = nodes.Item(i);
        if (candidate->Text() != parts[0]) {
            continue;
        }
        Node target = parts.size() == 1 ? candidate : FindPathNode(parts, 1, candidate);
        if (target) {
            return target;
        }
    }
    return nullptr;
}

void WholeFolderTree::AddChildFolders(outlook::MAPIFolder& folder, ostrevane::FolderList& list) {
    auto folders = folder.Folders();
    const int count = folders->Count();
    for (int i = 1; i <= count; ++i) {
        auto sub = folders->Item(i);
        list.push_back(NewRecord(sub->Name(), sub->EntryID(), sub->StoreID()));
    }
}

}  // namespace plovanex::chooser
