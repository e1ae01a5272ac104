#pragma once

#include "chooser/frm_new_outlook_folder.h"
#include "chooser/modal_chooser.h"
#include "chooser/whole_folder_tree.h"

namespace plovanex::chooser {

// The whole-tree chooser: modal, its tree read straight from the mail
// client's object model, two levels deep at first and deeper as the user
// expands nodes. ShowIt returns once the user has decided, with the answer
// in folderList.
class frmChooseOutlookFolders2 : public ModalChooserForm {
  public:
    frmChooseOutlookFolders2();

  protected:
    bool Run() override;
    void cmdNewFolder_Click() override;

  private:
    // The tree's first node selected as ShowIt finds it: the folder chosen
    // last, or on a first use the default Inbox.
    void PreSelect();
    // The tree road: the selected node's record (and its subfolders' in
    // several-folder mode), then the recently used list.
    void Harvest();

    WholeFolderTree tree_;
};

}  // namespace plovanex::chooser
