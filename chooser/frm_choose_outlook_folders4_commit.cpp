// The search chooser: committing a choice, and New Folder.

#include <QListView>
#include <QTabWidget>

#include "chooser/chooser_common.h"
#include "chooser/frm_choose_outlook_folders4.h"
#include "common/error_text.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "core/rdo_lookup.h"
#include "platform/mirelink/mirelink.h"
#include "platform/widgets/message_box.h"

namespace plovanex::chooser {

namespace keys = common::keys;
namespace widgets = platform::widgets;

namespace {

// A path as the recently used list stores it: two backslashes in front.
std::string StoredPath(std::string path) {
    if (path.rfind("\\\\", 0) != 0) {
        path = "\\\\" + path;
    }
    return path;
}

}  // namespace

void frmChooseOutlookFolders4::Commit(const char* handlerName,
                                      void (frmChooseOutlookFolders4::*handler)()) {
    if (!deciding_) {
        return;
    }
    Guarded(handlerName, [this, handler] { (this->*handler)(); });
}

void frmChooseOutlookFolders4::RaiseFoldersChosen() {
    deciding_ = false;
    // A copy: the owner may drop this form's handler inside its own call.
    auto handler = foldersChosen_;
    auto list = folderList_;
    if (handler) {
        handler(list);
    }
}

void frmChooseOutlookFolders4::cmdOk_Click() {
    Cancelled = false;
    SaveSetting(keys::LastFolderTabShown, std::to_string(vsIndexTab1->currentIndex()));
    PrepareFolderList();
    RaiseFoldersChosen();
    HideIt();
}

void frmChooseOutlookFolders4::cmdCancel_Click() {
    Cancelled = true;
    PrepareFolderList();
    RaiseFoldersChosen();
    HideIt();
}

void frmChooseOutlookFolders4::cmdDeleteTheEmail_Click() {
    DeleteTheEmail = true;
    Cancelled = false;
    PrepareFolderList();
    RaiseFoldersChosen();
    HideIt();
}

void frmChooseOutlookFolders4::cmdSelectedFolderCancel_Click() {
    SearchChosen = false;
    cmdCancel_Click();
}

void frmChooseOutlookFolders4::cmdNewFolder_Click() {
    NewFolderCommand command{*TreeView1, NewFolderForm(), olAppVersion, olNameSpace, ClickedNode};
    // On the "&Search" tab the node is added but not selected.
    command.selectNewNode = vsIndexTab1->currentIndex() == 0;
    command.readLevel = [this](const Node& parent) { tree_->ReadLevel(parent); };
    command.Run();
}

void frmChooseOutlookFolders4::TreeView1_Click() {
    ClickedNode.reset();
    ClickedNode = TreeView1->SelectedItem();
}

void frmChooseOutlookFolders4::TreeView1_DblClick() {
    TreeView1_Click();
    cmdOk_Click();
}

void frmChooseOutlookFolders4::MruDblClick(MruFrame& frame, int n, bool searchTab) {
    auto list = std::make_shared<ostrevane::FolderList>();
    list->push_back(MruRecord(n));
    folderList_ = list;
    frame.Box(n)->Highlight(true);
    MruChosen = true;
    if (searchTab) {
        cmdSelectedFolderOK_Click();
    } else {
        cmdOk_Click();
    }
}

bool frmChooseOutlookFolders4::PrepareFolderList() {
    return Trapped({"Plovanex.PrepareFolderList", 1, false}, [&](long&) {
        auto session = NewSession(olAppVersion, olNameSpace);
        if (DeleteTheEmail) {
            folderList_ = DeletedItemsList(session);
            return;
        }
        if (MruChosen || SearchChosen) {
            return;
        }
        if (Cancelled) {
            folderList_ = std::make_shared<ostrevane::FolderList>();
            return;
        }
        auto list = std::make_shared<ostrevane::FolderList>();
        folderList_ = list;
        const std::string chosenPath =
            StoredPath(tree_->HarvestSelected(*list, SingleFolderOnly_, *session));
        // Nothing selected: the owner gets the empty list, and the recently
        // used list stays as it was.
        if (!list->empty()) {
            AddToMRUList(chosenPath, list->front()->EntryID, list->front()->StoreID,
                         LastFolderPath);
        }
    });
}

void frmChooseOutlookFolders4::cmdSelectedFolderOK_Click() {
    Trapped({common::kSelectedFolderOkTrapSource, 1, false}, [&](long&) {
        if (!DeleteTheEmail && MruChosen) {
            auto& record = *Need(folderList_).at(0);
            auto session = NewSession(olAppVersion, olNameSpace);
            if (!GetRDOObjectFromIds(session, record.EntryID, record.StoreID)) {
                // The pick did not happen: a later Cancel, tree or search
                // pick must not commit this entry.
                MruChosen = false;
                widgets::MsgBox(
                    "Folder permission not granted or folder not found.  Please select another "
                    "folder or choose Cancel and manually file this email.",
                    widgets::vbOKOnly, kMessageTitle, this);
                ReportError("Error occurred.  Could not retrieve folder from MRU List: '" +
                                record.FolderName + "'",
                            1, common::kSelectedFolderOkLookupSource);
                return;
            }
        } else if (!DeleteTheEmail && !Cancelled) {
            const QModelIndex current = lstSearchResults->currentIndex();
            const std::string path =
                current.isValid() && lstSearchResults->selectionModel()->isSelected(current)
                    ? searchResults_.Line(current.row())
                    : std::string();
            if (!path.empty()) {
                auto session = NewSession(olAppVersion, olNameSpace);
                mirelink::FolderPtr folder;
                try {
                    folder = session->GetFolderFromPath(path);
                } catch (const std::exception&) {
                    folder.reset();
                }
                if (!folder) {
                    widgets::MsgBox(
                        "Folder not found or permission not granted.  Please select another "
                        "folder or choose Cancel and manually file this email.",
                        widgets::vbOKOnly, kMessageTitle, this);
                    ReportError(
                        "Error occurred.  Could not retrieve folder from path '" + path + "'", 1,
                        common::kSelectedFolderOkLookupSource);
                    return;
                }
                auto list = std::make_shared<ostrevane::FolderList>();
                list->push_back(NewRecord(folder->Name(), folder->EntryID(), folder->StoreID()));
                folderList_ = list;
                std::string chosenPath = folder->FolderPath();
                WriteLogLine(common::LogSource("cmdSelectedFolder_Click"),
                             "myRDOFolder.FolderPath: " + chosenPath);
                chosenPath = StoredPath(chosenPath);
                MruChosen = false;
                SearchChosen = true;
                folder.reset();
                session.reset();
                AddToMRUList(chosenPath, list->front()->EntryID, list->front()->StoreID,
                             LastFolderPath);
            }
        }
        cmdOk_Click();
    });
}

}  // namespace plovanex::chooser
