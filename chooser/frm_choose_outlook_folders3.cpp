#include "chooser/frm_choose_outlook_folders3.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "chooser/folder_images.h"
#include "chooser/tree_choice.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "core/rdo_lookup.h"
#include "platform/mirelink/mirelink.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/mouse_pointer.h"

namespace plovanex::chooser {

namespace keys = common::keys;
namespace widgets = platform::widgets;
using widgets::MakeControl;

frmChooseOutlookFolders3::frmChooseOutlookFolders3()
    : ModalChooserForm("frmChooseOutlookFolders3") {
    Label1 = MakeControl<QLabel>(Picture1, "Label1", "&Search:");
    txtSearch = MakeControl<QLineEdit>(Picture1, "txtSearch");
    cmdGo = MakeControl<QPushButton>(Picture1, "cmdGo", "&Go");
    Label1->setBuddy(txtSearch);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(Label1);
    searchRow->addWidget(txtSearch, 1);
    searchRow->addWidget(cmdGo);
    treeColumn->insertLayout(0, searchRow);
    // cmdGo_Click does nothing, and nothing reads the box.

    tree_ = std::make_unique<LazyFolderTree>(
        *TreeView1, [this] { return FormSession; }, "ChooseOutlookFolders.GetFolderNames",
        LazyFolderTree::StoreWithoutId::Reported);
    TreeView1->events.Expand = [this](const Node& node) { tree_->Expand(node); };
    TreeView1->events.NodeCheck = [this](const Node& node) { NodeCheck(node, SingleFolderOnly_); };
}

frmChooseOutlookFolders3::~frmChooseOutlookFolders3() = default;

void frmChooseOutlookFolders3::Terminate() {
    tree_->StartNode.reset();
    FormSession.reset();
    ModalChooserForm::Terminate();
}

bool frmChooseOutlookFolders3::Run() {
    bool ok = true;
    Trapped(
        {"frmChooseOutlookFolders3.ChooseOutlookFolders", 1, true},
        [&](long& step) {
            step = 2;
            Cancelled = DeleteTheEmail = MruChosen = ErrorOccurred_ = false;
            ok = true;

            step = 10;
            if (!FormSession) {
                // Kept only once it has started, so that a failed start is
                // tried afresh at the next show.
                auto session = mirelink::CreateSession();
                StartSession(*session, olAppVersion, olNameSpace);
                FormSession = session;
            }
            if (NativePickerWanted() != 0) {
                // Cleared first: a picker that raises gives no answer, and
                // the dialog run's trap reports it.
                ok = false;
                ok = PickWithNativePicker(olNameSpace, folderList_);
                return;
            }
            FillMruBoxes();

            if (!tree_->SetUpShow({ImageList1, ImagesLoaded, olAppVersion, olNameSpace,
                                   LastFolderPath, ClickedNode},
                                  *FormSession, step)) {
                return;
            }

            step = 22;
            if (!ShowAndWait()) {
                ok = false;
                return;
            }

            step = 32;
            if (DeleteTheEmail) {
                folderList_ = DeletedItemsList(FormSession);
                return;
            }
            step = 34;
            if (MruChosen) {
                return;
            }
            if (Cancelled) {
                ok = false;
                return;
            }

            step = 36;
            auto list = std::make_shared<ostrevane::FolderList>();
            folderList_ = list;
            const std::string chosenPath =
                tree_->HarvestSelected(*list, SingleFolderOnly_, Need(FormSession));
            // Nothing selected: the owner gets the empty list, and the
            // recently used list stays as it was.
            if (!list->empty()) {
                AddToMRUList(chosenPath, list->front()->EntryID, list->front()->StoreID,
                             LastFolderPath);
            }
        },
        [] { widgets::SetMousePointer(widgets::vbDefault); });
    return ok;
}

void frmChooseOutlookFolders3::cmdNewFolder_Click() {
    NewFolderCommand command{*TreeView1, NewFolderForm(), olAppVersion, olNameSpace, ClickedNode};
    command.logCreated = false;
    command.readLevel = [this](const Node& parent) { tree_->ReadLevel(parent); };
    command.Run();
}

}  // namespace plovanex::chooser
