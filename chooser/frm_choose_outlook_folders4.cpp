// The search chooser: its form, its members and the dialog run.

#include "chooser/frm_choose_outlook_folders4.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "chooser/chooser_common.h"
#include "chooser/folder_images.h"
#include "chooser/tree_choice.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "core/rdo_lookup.h"
#include "platform/mirelink/mirelink.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/mouse_pointer.h"

namespace plovanex::chooser {

namespace keys = common::keys;
namespace widgets = platform::widgets;
using widgets::MakeControl;

namespace {

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (auto* button : buttons) {
        row->addWidget(button);
    }
    return row;
}

}  // namespace

frmChooseOutlookFolders4::frmChooseOutlookFolders4() : ChooserForm("frmChooseOutlookFolders4") {
    vsIndexTab1 = MakeControl<QTabWidget>(this, "vsIndexTab1");

    auto* explore = new QWidget;
    explore->setObjectName("tabExplore");
    Frame1 = new MruFrame(explore, "Frame1", "txtMRUFolder", "chkShowRights");
    cmdOk = MakeControl<QPushButton>(explore, "cmdOk", "&OK");
    cmdCancel = MakeControl<QPushButton>(explore, "cmdCancel", "&Cancel");
    cmdNewFolder = MakeControl<QPushButton>(explore, "cmdNewFolder", "&New Folder...");
    cmdDeleteTheEmail = MakeControl<QPushButton>(explore, "cmdDeleteTheEmail", "&Delete The Email");

    auto* search = new QWidget;
    search->setObjectName("tabSearch");
    Frame2 = new MruFrame(search, "Frame2", "txtMRU2Folder", "chkShowRights2");
    lblSearchFor = MakeControl<QLabel>(search, "lblSearchFor", "Search For:");
    txtSearchFor = MakeControl<QLineEdit>(search, "txtSearchFor");
    lstSearchResults = MakeControl<QListView>(search, "lstSearchResults");
    cmdSelectedFolderOK = MakeControl<QPushButton>(search, "cmdSelectedFolderOK", "&OK");
    cmdSelectedFolderCancel =
        MakeControl<QPushButton>(search, "cmdSelectedFolderCancel", "&Cancel");
    cmdNewFolder2 = MakeControl<QPushButton>(search, "cmdNewFolder2", "&New Folder...");
    cmdDeleteTheEmail2 =
        MakeControl<QPushButton>(search, "cmdDeleteTheEmail2", "&Delete The Email");

    lstSearchResults->setModel(&searchResults_);
    // One line height, and lines laid out in batches: a keystroke over
    // 100,000 lines shows the first of them at once.
    lstSearchResults->setUniformItemSizes(true);
    lstSearchResults->setLayoutMode(QListView::Batched);
    lstSearchResults->setSelectionMode(QAbstractItemView::SingleSelection);
    lstSearchResults->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* exploreLayout = new QGridLayout(explore);
    exploreLayout->addWidget(Frame1, 0, 0);
    exploreLayout->addWidget(TreeView1, 0, 1);
    exploreLayout->addLayout(ButtonRow({cmdOk, cmdCancel, cmdNewFolder, cmdDeleteTheEmail}), 1, 0,
                             1, 2);
    exploreLayout->setColumnStretch(0, 1);
    exploreLayout->setColumnStretch(1, 1);

    auto* searchLine = new QHBoxLayout;
    searchLine->addWidget(lblSearchFor);
    searchLine->addWidget(txtSearchFor, 1);
    auto* searchColumn = new QVBoxLayout;
    searchColumn->addLayout(searchLine);
    searchColumn->addWidget(lstSearchResults, 1);
    auto* searchLayout = new QGridLayout(search);
    searchLayout->addWidget(Frame2, 0, 0);
    searchLayout->addLayout(searchColumn, 0, 1);
    searchLayout->addLayout(ButtonRow({cmdSelectedFolderOK, cmdSelectedFolderCancel, cmdNewFolder2,
                                       cmdDeleteTheEmail2}),
                            1, 0, 1, 2);
    searchLayout->setColumnStretch(0, 1);
    searchLayout->setColumnStretch(1, 1);

    vsIndexTab1->addTab(explore, "&Explore");
    vsIndexTab1->addTab(search, "&Search");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(MailHeader());
    layout->addWidget(vsIndexTab1, 1);
    resize(860, 600);

    tree_ = std::make_unique<LazyFolderTree>(
        *TreeView1, [this] { return NewSession(olAppVersion, olNameSpace); },
        "ChooseOutlookFolders.GetFolderNames(RDO)", LazyFolderTree::StoreWithoutId::Skipped);

    TreeView1->events.Expand = [this](const Node& node) { tree_->Expand(node); };
    TreeView1->events.NodeCheck = [this](const Node& node) { NodeCheck(node, SingleFolderOnly_); };
    TreeView1->events.Click = [this] { Guarded("TreeView1_Click", [this] { TreeView1_Click(); }); };
    TreeView1->events.DblClick = [this] {
        Commit("TreeView1_DblClick", &frmChooseOutlookFolders4::TreeView1_DblClick);
    };
    Frame1->DblClick = [this](int n) {
        if (deciding_) {
            Guarded("txtMRUFolder_DblClick", [this, n] { MruDblClick(*Frame1, n, false); });
        }
    };
    Frame2->DblClick = [this](int n) {
        if (deciding_) {
            Guarded("txtMRU2Folder_DblClick", [this, n] { MruDblClick(*Frame2, n, true); });
        }
    };
    auto onClick = [this](QPushButton* button, const char* name,
                          void (frmChooseOutlookFolders4::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                [this, name, handler] { Commit(name, handler); });
    };
    onClick(cmdOk, "cmdOk_Click", &frmChooseOutlookFolders4::cmdOk_Click);
    onClick(cmdCancel, "cmdCancel_Click", &frmChooseOutlookFolders4::cmdCancel_Click);
    onClick(cmdDeleteTheEmail, "cmdDeleteTheEmail_Click",
            &frmChooseOutlookFolders4::cmdDeleteTheEmail_Click);
    onClick(cmdDeleteTheEmail2, "cmdDeleteTheEmail2_Click",
            &frmChooseOutlookFolders4::cmdDeleteTheEmail_Click);
    onClick(cmdSelectedFolderOK, "cmdSelectedFolderOK_Click",
            &frmChooseOutlookFolders4::cmdSelectedFolderOK_Click);
    onClick(cmdSelectedFolderCancel, "cmdSelectedFolderCancel_Click",
            &frmChooseOutlookFolders4::cmdSelectedFolderCancel_Click);
    connect(lstSearchResults, &QListView::doubleClicked, this, [this] {
        Commit("lstSearchResults_DblClick", &frmChooseOutlookFolders4::cmdSelectedFolderOK_Click);
    });
    for (auto* button : {cmdNewFolder, cmdNewFolder2}) {
        connect(button, &QPushButton::clicked, this,
                [this] { Guarded("cmdNewFolder_Click", [this] { cmdNewFolder_Click(); }); });
    }
    connect(txtSearchFor, &QLineEdit::textChanged, this, [this] { txtSearchFor_Change(); });
}

void frmChooseOutlookFolders4::HideIt() {
    deciding_ = false;
    hide();
}

void frmChooseOutlookFolders4::Terminate() {
    FolderIndex.reset();
    tree_->StartNode.reset();
    olNameSpace.reset();
    ClickedNode.reset();
    folderList_.reset();
}

bool frmChooseOutlookFolders4::Showing() const {
    return deciding_ && isVisible();
}

bool frmChooseOutlookFolders4::ShowIt() {
    bool result = true;
    bool show = false;
    mirelink::SessionPtr session;
    Trapped(
        {"frmChooseOutlookFolders4.ChooseOutlookFolders", 1, true},
        [&](long& step) {
            step = 2;
            Cancelled = DeleteTheEmail = MruChosen = SearchChosen = ErrorOccurred_ = false;
            result = true;
            session = NewSession(olAppVersion, olNameSpace);
            if (vb::ToInteger(GetHalvoxSetting(keys::UseNativeOutlookPickFolders,
                                               int{keys::UseNativeOutlookPickFoldersDefault})) !=
                0) {
                result = NativePickFolder(olNameSpace, folderList_);
                RaiseFoldersChosen();
                return;
            }
            PurgeMRUList(session);
            const auto paths = MruPaths();
            Frame1->Fill(paths);
            Frame2->Fill(paths);
            // Both tabs follow the stored choice, not the first alone.
            const int showRights = vb::ToInteger(
                GetSetting(keys::ShowRightsWanted, int{keys::ShowRightsWantedDefault}));
            Frame1->ApplyShowRights(showRights);
            Frame2->ApplyShowRights(showRights);
            if (!FolderIndex ||
                vb::ToInteger(GetSetting(keys::LoadRefreshWanted,
                                         int{keys::LoadRefreshWantedDefault})) != 0) {
                LoadFolderList();
                SaveSetting(keys::LoadRefreshWanted, "0");
            }

            if (!tree_->SetUpShow({ImageList1, ImagesLoaded, olAppVersion, olNameSpace,
                                   LastFolderPath, ClickedNode},
                                  *session, step)) {
                return;
            }

            step = 22;
            ShowMailTexts();
            TreeView1->SetSorted(true);
            vsIndexTab1->setCurrentIndex(vb::ToInteger(
                GetSetting(keys::LastFolderTabShown, int{keys::LastFolderTabShownDefault})));
            show = true;
        },
        [] { widgets::SetMousePointer(widgets::vbDefault); });

    if (show) {
        try {
            deciding_ = true;
            ShowInFront();
        } catch (const std::exception& e) {
            WriteLogLine(common::LogSource("Plovanex.ShowIt"),
                         std::string("Error occurred. Choose Outlook Folder dialog could not be "
                                     "displayed.  Reason: ") +
                             e.what());
            ErrorOccurred_ = true;
            result = false;
            folderList_.reset();
            RaiseFoldersChosen();
        }
    }
    session.reset();
    return result;
}

void frmChooseOutlookFolders4::closeEvent(QCloseEvent* event) {
    if (deciding_) {
        event->ignore();
        Commit("Form_QueryUnload", &frmChooseOutlookFolders4::cmdCancel_Click);
        return;
    }
    QWidget::closeEvent(event);
}

// ---- the interface

ChooseOutlookFolders4::ChooseOutlookFolders4() : form_(new frmChooseOutlookFolders4) {}

ChooseOutlookFolders4::~ChooseOutlookFolders4() {
    Release();
}

frmChooseOutlookFolders4& ChooseOutlookFolders4::Form() {
    if (!form_) {
        form_ = new frmChooseOutlookFolders4;
        form_->SetFoldersChosenHandler(handler_);
    }
    return *form_;
}

void ChooseOutlookFolders4::Release() {
    if (form_) {
        form_->SetFoldersChosenHandler(nullptr);
        form_->hide();
        // Maybe inside the form's own FoldersChosen: the event loop deletes it.
        form_->deleteLater();
        form_ = nullptr;
    }
}

void ChooseOutlookFolders4::SetApplication(outlook::ApplicationPtr application) {
    Form().SetApplication(application);
}

bool ChooseOutlookFolders4::ErrorOccurred() const {
    return form_ && form_->ErrorOccurred();
}

ostrevane::FolderListPtr ChooseOutlookFolders4::folderList() const {
    return form_ ? form_->folderList() : nullptr;
}

void ChooseOutlookFolders4::SetFolderList(ostrevane::FolderListPtr list) {
    Form().SetFolderList(std::move(list));
}

std::string ChooseOutlookFolders4::emailTo() const {
    return form_ ? form_->emailTo() : "";
}

void ChooseOutlookFolders4::SetEmailTo(const std::string& value) {
    Form().SetEmailTo(value);
}

std::string ChooseOutlookFolders4::emailSubject() const {
    return form_ ? form_->emailSubject() : "";
}

void ChooseOutlookFolders4::SetEmailSubject(const std::string& value) {
    Form().SetEmailSubject(value);
}

bool ChooseOutlookFolders4::SingleFolderOnly() const {
    return form_ && form_->SingleFolderOnly();
}

void ChooseOutlookFolders4::SetSingleFolderOnly(bool value) {
    Form().SetSingleFolderOnly(value);
}

void ChooseOutlookFolders4::HideIt() {
    if (form_) {
        form_->HideIt();
    }
}

void ChooseOutlookFolders4::Terminate() {
    if (form_) {
        form_->Terminate();
    }
}

bool ChooseOutlookFolders4::ShowIt() {
    return Form().ShowIt();
}

void ChooseOutlookFolders4::Unload() {
    Release();
}

bool ChooseOutlookFolders4::ReloadFolderList() {
    return Form().ReloadFolderList();
}

void ChooseOutlookFolders4::SetFoldersChosenHandler(FoldersChosenHandler handler) {
    handler_ = std::move(handler);
    if (form_) {
        form_->SetFoldersChosenHandler(handler_);
    }
}

bool ChooseOutlookFolders4::Showing() const {
    return form_ && form_->Showing();
}

}  // namespace plovanex::chooser
