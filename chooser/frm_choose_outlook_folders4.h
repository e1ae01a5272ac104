#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "chooser/chooser_common.h"
#include "chooser/frm_new_outlook_folder.h"
#include "chooser/lazy_folder_tree.h"
#include "chooser/mru_list.h"
#include "chooser/search_results.h"
#include "core/choose_outlook_folders.h"
#include "platform/ado/recordset.h"
#include "platform/mirelink/fwd.h"
#include "platform/widgets/image_list.h"
#include "platform/widgets/tree_view.h"

class QCloseEvent;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTabWidget;

namespace plovanex::chooser {

// The search variant of the folder chooser: modeless, with the recently used
// folders and the lazy folder tree on its "&Explore" tab and the search over
// the folder index on its "&Search" tab. ShowIt returns at once; the answer
// comes through FoldersChosen, once per decision, before the form hides.
// The form lives as long as its owner keeps it, and its tree, images and
// index serve as caches from one use to the next.
class frmChooseOutlookFolders4 : public QWidget {
  public:
    frmChooseOutlookFolders4();
    ~frmChooseOutlookFolders4() override;

    // The members of IChooseOutlookFoldersWithSearch.
    void SetApplication(const outlook::ApplicationPtr& application);
    bool ErrorOccurred() const { return ErrorOccurred_; }
    ostrevane::FolderListPtr folderList() const { return folderList_; }
    void SetFolderList(ostrevane::FolderListPtr list) { folderList_ = std::move(list); }
    std::string emailTo() const { return emailTo_; }
    void SetEmailTo(const std::string& value) { emailTo_ = value; }
    std::string emailSubject() const { return emailSubject_; }
    void SetEmailSubject(const std::string& value) { emailSubject_ = value; }
    bool SingleFolderOnly() const { return SingleFolderOnly_; }
    void SetSingleFolderOnly(bool value);
    void HideIt();
    void Terminate();
    bool ShowIt();
    bool ReloadFolderList();
    void SetFoldersChosenHandler(IChooseOutlookFoldersWithSearch::FoldersChosenHandler handler) {
        foldersChosen_ = std::move(handler);
    }
    // Shown, with its decision still to come.
    bool Showing() const;

  protected:
    // A close by the window frame counts as Cancel.
    void closeEvent(QCloseEvent* event) override;

  private:
    // The dialog run's steps.
    void FillMruBoxes(const mirelink::SessionPtr& session);
    void LoadTree(const mirelink::SessionPtr& session);
    void SelectStartNode();

    // Committing a choice.
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdDeleteTheEmail_Click();
    void cmdSelectedFolderOK_Click();
    void cmdSelectedFolderCancel_Click();
    void cmdNewFolder_Click();
    void TreeView1_Click();
    void TreeView1_DblClick();
    void MruDblClick(MruFrame& frame, int n, bool searchTab);
    bool PrepareFolderList();
    // Raises FoldersChosen with the list; the decision is no longer to come.
    void RaiseFoldersChosen();
    // Runs a commit of the user's only while a decision is to come, so that
    // none is raised twice; errors are reported, never passed to Qt.
    void Commit(const char* handlerName, void (frmChooseOutlookFolders4::*handler)());

    // The search over the folder index.
    bool LoadFolderList();
    void txtSearchFor_Change();

    // State of the form, kept between shows.
    std::string olAppVersion;
    outlook::NameSpacePtr olNameSpace;
    bool SingleFolderOnly_ = false;
    std::string emailTo_;
    std::string emailSubject_;
    ostrevane::FolderListPtr folderList_;
    bool Cancelled = false;
    bool DeleteTheEmail = false;
    bool MruChosen = false;
    bool SearchChosen = false;
    bool ErrorOccurred_ = false;
    Node ClickedNode;
    std::string LastFolderPath;
    bool ImagesLoaded = false;
    std::shared_ptr<platform::ado::Recordset> FolderIndex;
    IChooseOutlookFoldersWithSearch::FoldersChosenHandler foldersChosen_;
    // Shown by ShowIt and not yet answered.
    bool deciding_ = false;

    // Controls.
    QLabel* lblTo;
    QLineEdit* txtEmailTo;
    QLabel* lblSubject;
    QLineEdit* txtSubject;
    QTabWidget* vsIndexTab1;
    MruFrame* Frame1;
    platform::widgets::TreeView* TreeView1;
    platform::widgets::ImageList ImageList1;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
    QPushButton* cmdNewFolder;
    QPushButton* cmdDeleteTheEmail;
    MruFrame* Frame2;
    QLabel* lblSearchFor;
    QLineEdit* txtSearchFor;
    QListView* lstSearchResults;
    SearchResults searchResults_;
    QPushButton* cmdSelectedFolderOK;
    QPushButton* cmdSelectedFolderCancel;
    QPushButton* cmdNewFolder2;
    QPushButton* cmdDeleteTheEmail2;

    std::unique_ptr<LazyFolderTree> tree_;
    std::unique_ptr<frmNewOutlookFolder> newFolderForm_;
    CountedForm counted_;
};

// The interface the owners hold. The form stays a Qt window apart from it:
// an owner may drop its reference inside FoldersChosen, so the form is
// never deleted here but handed to the event loop (deleteLater).
class ChooseOutlookFolders4 : public IChooseOutlookFoldersWithSearch {
  public:
    ChooseOutlookFolders4();
    ~ChooseOutlookFolders4() override;

    void SetApplication(outlook::ApplicationPtr application) override;
    bool ErrorOccurred() const override;
    ostrevane::FolderListPtr folderList() const override;
    void SetFolderList(ostrevane::FolderListPtr list) override;
    std::string LastFolderChosen() const override { return ""; }
    void SetLastFolderChosen(const std::string&) override {}
    std::string emailTo() const override;
    void SetEmailTo(const std::string& value) override;
    std::string emailSubject() const override;
    void SetEmailSubject(const std::string& value) override;
    bool SingleFolderOnly() const override;
    void SetSingleFolderOnly(bool value) override;
    void HideIt() override;
    void Terminate() override;
    bool ShowIt() override;
    void Unload() override;
    bool ReloadFolderList() override;
    void SetFoldersChosenHandler(FoldersChosenHandler handler) override;
    bool Showing() const override;

  private:
    // The form, loaded again when it was unloaded, as a form is at its next use.
    frmChooseOutlookFolders4& Form();
    void Release();

    QPointer<frmChooseOutlookFolders4> form_;
    FoldersChosenHandler handler_;
};

}  // namespace plovanex::chooser
