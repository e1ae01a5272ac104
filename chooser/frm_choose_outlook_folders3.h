#pragma once

#include <memory>

#include "chooser/frm_new_outlook_folder.h"
#include "chooser/lazy_folder_tree.h"
#include "chooser/modal_chooser.h"
#include "platform/mirelink/fwd.h"

class QPushButton;

namespace plovanex::chooser {

// The lazy modal chooser: modal, its tree loaded one level at a time from a
// MAPI session of its own, which the form keeps from its first show until
// Terminate. ShowIt returns once the user has decided, with the answer in
// folderList. Its search box does nothing.
class frmChooseOutlookFolders3 : public ModalChooserForm {
  public:
    frmChooseOutlookFolders3();
    ~frmChooseOutlookFolders3() override;

    // Releases the start node and the session, then what every modal form
    // releases.
    void Terminate() override;

  protected:
    bool Run() override;
    void cmdNewFolder_Click() override;

  private:
    mirelink::SessionPtr FormSession;

    QLabel* Label1;
    QLineEdit* txtSearch;
    QPushButton* cmdGo;

    std::unique_ptr<LazyFolderTree> tree_;
};

}  // namespace plovanex::chooser
