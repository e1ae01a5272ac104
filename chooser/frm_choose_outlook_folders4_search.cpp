// The search chooser: the search over the folder index.

#include <QLineEdit>

#include "chooser/frm_choose_outlook_folders4.h"
#include "common/index_row.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "core/rdo_lookup.h"

namespace plovanex::chooser {

namespace keys = common::keys;
namespace ado = platform::ado;

bool frmChooseOutlookFolders4::LoadFolderList() {
    return Trapped({"Plovanex.LoadFolderList", 1, true}, [&](long& step) {
        step = 1;
        // A recordset that a failed load left unopened is not closed: that
        // would fail, and so would every load after it.
        if (FolderIndex && FolderIndex->State() == ado::adStateOpen) {
            FolderIndex->Close();
        }
        step = 2;
        FolderIndex = std::make_shared<ado::Recordset>();
        step = 3;
        const std::string file = Helper().GetDataFolder(0) + "/MyFolderList.xml";
        step = 4;
        FolderIndex->Open(file, "Provider=MSPersist;", ado::adOpenStatic, ado::adLockReadOnly,
                          ado::adCmdUnspecified);
        step = 5;
        FolderIndex->MoveLast();
        FolderIndex->MoveFirst();
        step = 6;
        searchResults_.Clear();
        step = 7;
        searchResults_.Fill(*FolderIndex);
        step = 8;
    });
}

bool frmChooseOutlookFolders4::ReloadFolderList() {
    const bool loaded = LoadFolderList();
    SaveSetting(keys::LoadRefreshWanted, "0");
    return loaded;
}

void frmChooseOutlookFolders4::txtSearchFor_Change() {
    Trapped({"Plovanex.txtSearchFor_Change", 1, false}, [&](long&) {
        auto& index = Need(FolderIndex);
        index.Filter(common::IndexSearchFilter(txtSearchFor->text().toStdString()));
        searchResults_.Clear();
        searchResults_.Fill(index);
    });
}

}  // namespace plovanex::chooser
