#include "chooser/lazy_folder_tree.h"

#include "chooser/chooser_common.h"
#include "chooser/folder_images.h"
#include "chooser/tree_choice.h"
#include "common/error_text.h"
#include "common/vb_like.h"
#include "core/globals.h"
#include "core/rdo_lookup.h"
#include "platform/error.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/mouse_pointer.h"

namespace plovanex::chooser {

namespace widgets = platform::widgets;

namespace {

// The DASL names of PR_STORE_ENTRYID and PR_FOLDER_CHILD_COUNT.
constexpr char kStoreEntryIdTag[] = "http://schemas.microsoft.com/mapi/proptag/0x0FFB0102";
constexpr char kChildCountTag[] = "http://schemas.microsoft.com/mapi/proptag/0x66380003";

void RestorePointer() {
    widgets::SetMousePointer(widgets::vbDefault);
}

}  // namespace

const std::string LazyFolderTree::kFolderTableQuery =
    std::string("SELECT FullName, EntryID, \"") + kStoreEntryIdTag + "\" As StoreId, \"" +
    kChildCountTag + "\" As ChildCount FROM Folders";

LazyFolderTree::LazyFolderTree(widgets::TreeView& tree, SessionSource sessions,
                               std::string loaderSource, StoreWithoutId storeWithoutId)
    : tree_(tree),
      sessions_(std::move(sessions)),
      loaderSource_(std::move(loaderSource)),
      storeWithoutId_(storeWithoutId) {}

void LazyFolderTree::GetFolderNames(const mirelink::FolderPtr& folder, const std::string& storeName,
                                    const Node& parentNode) {
    Trapped(
        {loaderSource_.c_str(), 0, true},
        [&](long& step) {
            step = 2;
            widgets::SetMousePointer(widgets::vbHourglass);
            auto& nodes = tree_.Nodes();
            Node parent = parentNode;
            Node placeholder;
            const bool store = !parentNode;
            if (store) {
                std::string entryId;
                if (storeWithoutId_ == StoreWithoutId::Skipped) {
                    try {
                        entryId = Need(folder).EntryID();
                    } catch (const std::exception&) {
                        entryId.clear();
                    }
                    if (entryId.empty()) {
                        WriteLogLine(common::LogSource("GetFolderNames(RDO)"),
                                     "Warning: Couldn't get the folder");
                        RestorePointer();
                        return;
                    }
                    step = 4;
                } else {
                    step = 4;
                    entryId = Need(folder).EntryID();
                }
                parent = nodes.Add("", 0, entryId, storeName.empty() ? folder->Name() : storeName,
                                   "PersonalFolders");
                step = 6;
                parent->SetTag(folder->StoreID());
            } else if (Node first = parentNode->Child();
                       first && first->Text() == kPlaceholderText) {
                placeholder = first;
            }
            step = 10;
            auto table = Need(folder).Folders()->MAPITable()->ExecSQL(kFolderTableQuery);
            step = 14;
            const int count = table->RecordCount();
            std::string previousEntryId;
            for (int row = 0; row < count; ++row) {
                step = 16;
                const std::string fullName = table->Field(row, "FullName");
                const std::string entryId = table->Field(row, "EntryID");
                const std::string storeId = table->Field(row, "StoreId");
                step = 18;
                std::string imageKey;
                int subfolders = 0;
                {
                    auto subfolder = OpenFolderForNode(entryId, storeId);
                    imageKey = FolderImageKey(Need(subfolder));
                    subfolders = subfolder->Folders()->Count();
                }
                step = 24;
                const bool duplicate = entryId == previousEntryId;
                if (store) {
                    WriteLogLine(common::LogSource("GetFolderNames"),
                                 "Now Adding " + fullName + " to " + folder->Name());
                    if (duplicate) {
                        WriteLogLine(common::LogSource("GetFolderNames"),
                                     "ENTRYIds ARE NOT UNIQUE");
                    }
                } else {
                    WriteLogLine(common::LogSource("GetFolderNames"),
                                 "Adding " + fullName + " to " + folder->Name());
                    if (duplicate) {
                        WriteLogLine(common::LogSource("GetFolderNames"),
                                     "ENTRYIDS ARE NOT UNIQUE");
                    }
                }
                previousEntryId = entryId;
                Node node = nodes.Add(parent, widgets::tvwChild, entryId, fullName, imageKey);
                node->SetTag(storeId);
                if (subfolders > 0) {
                    nodes.Add(node, widgets::tvwChild, "", kPlaceholderText, "TopLevelFolders");
                }
                if (!StartNode && storeId == StartStoreID && entryId == StartEntryID) {
                    StartNode = node;
                }
            }
            if (placeholder && placeholder->InTree()) {
                nodes.Remove(placeholder->Index());
            }
            RestorePointer();
        },
        RestorePointer);
}

void LazyFolderTree::Expand(const Node& node) {
    constexpr char kSource[] = "ChooseOutlookFolders.Expand";
    Trapped({kSource, 0, false}, [&](long&) {
        WriteLogLine(common::LogSource(kSource), "Checking " + node->Text() + " with " +
                                                     std::to_string(node->Children()) +
                                                     " child subfolder(s)");
        if (!Unread(node)) {
            return;
        }
        const std::string path = "\\\\" + node->FullPath();
        WriteLogLine(common::LogSource(kSource), "Full folder text: " + path);
        auto session = sessions_();
        mirelink::FolderPtr folder;
        try {
            folder = Need(session).GetFolderFromPath(path);
        } catch (const std::exception&) {
            folder.reset();
        }
        if (!folder) {
            WriteLogLine(common::LogSource(kSource), "Error occurred: Could not find folder");
        } else {
            WriteLogLine(common::LogSource(kSource), "Expanding " + folder->Name());
        }
        GetFolderNames(folder, "", node);
        if (node->InTree()) {
            node->SetSorted(true);
        }
    });
}

bool LazyFolderTree::Unread(const Node& node) {
    return node->Children() == 1 && node->Child()->Text() == kPlaceholderText;
}

void LazyFolderTree::ReadLevel(const Node& node) {
    if (node && node->InTree() && Unread(node)) {
        Expand(node);
    }
}

Node LazyFolderTree::FindNodeAtPath(const std::string& path) {
    Node found;
    try {
        std::vector<std::string> parts;
        std::size_t start = 0;
        while (true) {
            const std::size_t cut = path.find('\\', start);
            parts.push_back(path.substr(start, cut == std::string::npos ? cut : cut - start));
            if (cut == std::string::npos) {
                break;
            }
            start = cut + 1;
        }
        // Leading empty parts are dropped: "\\Store\Folder" (a folder path)
        // and "Store\Folder" (a tree path) name the same node.
        std::size_t first = 0;
        while (first < parts.size() && parts[first].empty()) {
            ++first;
        }
        parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(first));
        if (parts.empty()) {
            throw platform::Error("Subscript out of range");
        }
        auto& nodes = tree_.Nodes();
        for (int i = 1; i <= nodes.Count(); ++i) {
            Node node = nodes.Item(i);
            WriteLogLine(common::LogSource("FindNodeAtPath"),
                         "Looking for: " + parts[0] + "\tComparing: " + node->Text());
            if (vb::Like(node->Text(), parts[0])) {
                if (parts.size() == 1) {
                    return node;
                }
                if (Node child = FetchNode(parts, 1, node)) {
                    WriteLogLine(common::LogSource("FindNodeAtPath"), "Found it: " + child->Text());
                    return child;
                }
            }
        }
    } catch (const std::exception& e) {
        ReportError(common::ErrorSearchingFor(path, e.what()), 1, common::kFindNodeAtPathSource);
        found.reset();
    }
    return found;
}

Node LazyFolderTree::FetchNode(const std::vector<std::string>& pathParts, std::size_t index,
                               const Node& parentNode) {
    Node result;
    Trapped({"Plovanex.FetchNode", 1, false}, [&](long&) {
        if (!parentNode) {
            return;
        }
        if (index >= pathParts.size()) {
            throw platform::Error("Subscript out of range");
        }
        WriteLogLine(common::LogSource("FetchNode"), "Looking for childNode " + pathParts[index]);
        for (Node child = parentNode->Child(); child; child = child->Next()) {
            WriteLogLine(common::LogSource("FetchNode"), "Checking childNode " + child->Text());
            if (child->Text() != pathParts[index]) {
                continue;
            }
            if (index + 1 == pathParts.size()) {
                result = child;
            } else {
                if (child->Children() == 0) {
                    auto folder = OpenFolderForNode(child->Key(), child->Tag());
                    if (folder && folder->Folders()->Count() >= 1) {
                        GetFolderNames(folder, "", child);
                    }
                }
                result = FetchNode(pathParts, index + 1, child);
            }
            if (result) {
                return;
            }
        }
    });
    return result;
}

std::string LazyFolderTree::HarvestSelected(ostrevane::FolderList& list, bool singleFolderOnly,
                                            mirelink::KVRDOSession& session) {
    return chooser::HarvestSelected(
        tree_, list, singleFolderOnly, [](const Node& node) { return node->Tag(); },
        [&session](const ostrevane::FolderRecord& record, bool leaf, ostrevane::FolderList& into) {
            auto folder = session.GetFolderFromID(record.EntryID, record.StoreID);
            if (folder && leaf) {
                AddChildFolders(folder, into);
            }
        });
}

bool LazyFolderTree::SetUpShow(const ShowSetUp& form, mirelink::KVRDOSession& session, long& step) {
    step = 8;
    if (!form.imagesLoaded) {
        LoadFolderImages(form.images, form.olAppVersion);
        form.imagesLoaded = true;
    }

    step = 12;
    if (!StartNode) {
        auto inbox = session.GetDefaultFolder(outlook::olFolderInbox);
        StartEntryID = inbox->EntryID();
        StartStoreID = inbox->StoreID();
        StartFolderPath = inbox->FolderPath();
    }

    step = 14;
    if (!form.olNameSpace || !form.olNameSpace->Folders()) {
        return false;
    }
    if (TakeFlushRequest()) {
        tree_.Nodes().Clear();
        // Both named nodes of the cleared tree: they are found again.
        StartNode.reset();
        form.clickedNode.reset();
    }
    if (!tree_.ImageList()) {
        tree_.SetImageList(&form.images);
    }
    if (tree_.Nodes().Count() == 0) {
        LoadStores(session);
    }
    Node found;
    if (!form.lastFolderPath.empty()) {
        found = SelectLastFolder(form.lastFolderPath);
    }

    step = 20;
    if (!found) {
        form.clickedNode = SelectStartNode();
    }
    return true;
}

void LazyFolderTree::LoadStores(mirelink::KVRDOSession& session) {
    WriteLogLine(common::LogSource("ShowIt"), "Loading folder list...");
    auto stores = session.Stores();
    const int count = stores->Count();
    for (int i = 1; i <= count; ++i) {
        auto store = stores->Item(i);
        GetFolderNames(store->RootFolder(), store->Name(), nullptr);
    }
    WriteLogLine(common::LogSource("ShowIt"), "...Done loading folder list");
}

Node LazyFolderTree::SelectLastFolder(const std::string& lastFolderPath) {
    WriteLogLine(common::LogSource("ShowIt"), "Last folder chosen: " + lastFolderPath);
    Node found = FindNodeAtPath(lastFolderPath);
    if (found) {
        found->EnsureVisible();
        found->SetSelected(true);
    } else {
        WriteLogLine(common::LogSource("ShowIt"), "Warning: node not found");
    }
    return found;
}

Node LazyFolderTree::SelectStartNode() {
    if (!StartNode) {
        StartNode = FindNodeAtPath(StartFolderPath);
    }
    if (Node start = StartNode) {
        start->EnsureVisible();
        start->SetBold(true);
        start->SetSelected(true);
    }
    return StartNode;
}

mirelink::FolderPtr LazyFolderTree::OpenFolderForNode(const std::string& entryId,
                                                      const std::string& storeId) {
    try {
        return GetRDOObjectFromIds(sessions_(), entryId, storeId);
    } catch (const std::exception&) {
        return nullptr;
    }
}

bool LazyFolderTree::NodeExists(const std::string& key) const {
    return key.empty() || tree_.Nodes().Find(key) != nullptr;
}

void LazyFolderTree::AddChildFolders(const mirelink::FolderPtr& folder,
                                     ostrevane::FolderList& list) {
    try {
        auto folders = Need(folder).Folders();
        const int count = folders->Count();
        for (int i = 1; i <= count; ++i) {
            auto sub = folders->Item(i);
            list.push_back(NewRecord(sub->Name(), sub->EntryID(), sub->StoreID()));
        }
    } catch (const std::exception&) {
    }
}

}  // namespace plovanex::chooser
