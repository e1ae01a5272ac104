#include "chooser/frm_choose_outlook_folders2.h"

#include "chooser/folder_images.h"
#include "chooser/tree_choice.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "core/rdo_lookup.h"
#include "platform/widgets/mouse_pointer.h"

namespace plovanex::chooser {

namespace keys = common::keys;
namespace widgets = platform::widgets;

frmChooseOutlookFolders2::frmChooseOutlookFolders2()
    : ModalChooserForm("frmChooseOutlookFolders2"),
      tree_(*TreeView1, [this] { return olNameSpace; }) {
    TreeView1->events.Expand = [this](const Node& node) { tree_.Expand(node); };
    TreeView1->events.NodeCheck = [this](const Node& node) { NodeCheck(node, SingleFolderOnly_); };
}

bool frmChooseOutlookFolders2::Run() {
    bool result = true;
    // The report's source names the module this procedure came from.
    Trapped(
        {"SharedModules.ChooseOutlookFolders", 0, false},
        [&](long&) {
            Cancelled = DeleteTheEmail = MruChosen = ErrorOccurred_ = false;
            if (NativePickerWanted() != 0) {
                result = NativePickFolder(olNameSpace, folderList_);
                return;
            }
            FillMruBoxes();
            if (!ImagesLoaded) {
                LoadFolderImages(ImageList1, olAppVersion);
                ImagesLoaded = true;
            }
            if (!olNameSpace || !olNameSpace->Folders()) {
                return;
            }
            if (TakeFlushRequest()) {
                TreeView1->Nodes().Clear();
                ClickedNode.reset();
            }
            if (!TreeView1->ImageList()) {
                TreeView1->SetImageList(&ImageList1);
            }
            if (TreeView1->Nodes().Count() == 0) {
                tree_.MaxLoadDepth = 2;
                tree_.GetFolderNames(olNameSpace->Folders(), nullptr);
            }
            PreSelect();
            if (!ShowAndWait()) {
                result = false;
                return;
            }
            if (DeleteTheEmail) {
                auto folder = olNameSpace->GetDefaultFolder(outlook::olFolderDeletedItems);
                auto list = std::make_shared<ostrevane::FolderList>();
                list->push_back(NewRecord(folder->Name(), folder->EntryID(), folder->StoreID()));
                folderList_ = list;
            } else if (MruChosen) {
                // folderList holds the record of the box.
            } else if (Cancelled) {
                result = false;
            } else {
                Harvest();
            }
        },
        [] { widgets::SetMousePointer(widgets::vbDefault); });
    return result;
}

void frmChooseOutlookFolders2::PreSelect() {
    auto inbox = olNameSpace->GetDefaultFolder(outlook::olFolderInbox);
    const std::string inboxEntryId = inbox->EntryID();
    const std::string inboxStoreId = inbox->StoreID();
    if (!LastFolderPath.empty()) {
        if (Node target = tree_.FindTreePath(LastFolderPath)) {
            target->EnsureVisible();
            target->SetSelected(true);
        }
        return;
    }
    auto& nodes = TreeView1->Nodes();
    for (int i = 1; i <= nodes.Count(); ++i) {
        Node node = nodes.Item(i);
        const std::string storeId = WholeFolderTree::StoreIdFromTag(node->Tag());
        if (node->Key() == inboxEntryId && storeId == inboxStoreId) {
            if (!folderList_ || folderList_->empty()) {
                node->SetChecked(true);
            }
            node->EnsureVisible();
            node->SetBold(true);
            node->SetSelected(true);
        }
        if (!SingleFolderOnly_ && folderList_) {
            for (const auto& record : *folderList_) {
                if (record->EntryID == node->Key() && record->StoreID == storeId) {
                    node->SetChecked(true);
                    break;
                }
            }
        }
    }
}

void frmChooseOutlookFolders2::Harvest() {
    auto list = std::make_shared<ostrevane::FolderList>();
    folderList_ = list;
    const std::string chosenPath = HarvestSelected(
        *TreeView1, *list, SingleFolderOnly_,
        [](const Node& node) { return WholeFolderTree::StoreIdFromTag(node->Tag()); },
        [this](const ostrevane::FolderRecord& record, bool leaf, ostrevane::FolderList& into) {
            auto folder = olNameSpace->GetFolderFromID(record.EntryID, record.StoreID);
            if (folder && leaf) {
                WholeFolderTree::AddChildFolders(*folder, into);
            }
        });
    // Nothing selected: the owner gets the empty list, and the recently
    // used list stays as it was.
    if (!list->empty()) {
        AddToMRUList(chosenPath, list->front()->EntryID, list->front()->StoreID, LastFolderPath);
    }
}

void frmChooseOutlookFolders2::cmdNewFolder_Click() {
    NewFolderCommand command{*TreeView1, NewFolderForm(), olAppVersion, olNameSpace, ClickedNode};
    command.outlookParent = true;
    command.logCreated = false;
    command.storeIdOf = [](const Node& node) {
        return WholeFolderTree::StoreIdFromTag(Need(node).Tag());
    };
    command.tagOf = [](const Node& parent, const std::string& storeId) {
        return WholeFolderTree::Tag(WholeFolderTree::Level(parent) + 1, storeId);
    };
    command.Run();
}

}  // namespace plovanex::chooser
