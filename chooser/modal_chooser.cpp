#include "chooser/modal_chooser.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "core/rdo_lookup.h"
#include "platform/widgets/controls.h"

namespace plovanex::chooser {

namespace keys = common::keys;
namespace widgets = platform::widgets;
using widgets::MakeControl;

ModalChooserForm::ModalChooserForm(const char* formName) : ChooserForm(formName) {
    Frame1 = new MruFrame(this, "Frame1", "txtMRUFolder", "chkShowRights");
    Picture1 = MakeControl<QWidget>(this, "Picture1");
    cmdOk = MakeControl<QPushButton>(this, "cmdOk", "&OK");
    cmdCancel = MakeControl<QPushButton>(this, "cmdCancel", "&Cancel");
    cmdNewFolder = MakeControl<QPushButton>(this, "cmdNewFolder", "&New Folder...");
    cmdDeleteTheEmail = MakeControl<QPushButton>(this, "cmdDeleteTheEmail", "&Delete The Email");

    treeColumn = new QVBoxLayout(Picture1);
    treeColumn->setContentsMargins(0, 0, 0, 0);
    treeColumn->addWidget(TreeView1, 1);
    auto* body = new QHBoxLayout;
    body->addWidget(Frame1, 1);
    body->addWidget(Picture1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (auto* button : {cmdOk, cmdCancel, cmdNewFolder, cmdDeleteTheEmail}) {
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(MailHeader());
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    resize(860, 600);

    TreeView1->events.Click = [this] { Guarded("TreeView1_Click", [this] { TreeView1_Click(); }); };
    TreeView1->events.DblClick = [this] {
        WhileWaiting("TreeView1_DblClick", [this] { TreeView1_DblClick(); });
    };
    Frame1->DblClick = [this](int n) {
        const std::string name = "txtMRUFolder" + std::to_string(n) + "_DblClick";
        WhileWaiting(name.c_str(), [this, n] { txtMRUFolder_DblClick(n); });
    };
    auto onClick = [this](QPushButton* button, const char* name,
                          void (ModalChooserForm::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, name, handler] {
            WhileWaiting(name, [this, handler] { (this->*handler)(); });
        });
    };
    onClick(cmdOk, "cmdOk_Click", &ModalChooserForm::cmdOk_Click);
    onClick(cmdCancel, "cmdCancel_Click", &ModalChooserForm::cmdCancel_Click);
    onClick(cmdDeleteTheEmail, "cmdDeleteTheEmail_Click",
            &ModalChooserForm::cmdDeleteTheEmail_Click);
    connect(cmdNewFolder, &QPushButton::clicked, this,
            [this] { Guarded("cmdNewFolder_Click", [this] { cmdNewFolder_Click(); }); });
}

void ModalChooserForm::HideIt() {
    if (!InDialog) {
        hide();
    }
}

void ModalChooserForm::Terminate() {
    olNameSpace.reset();
    ClickedNode.reset();
    folderList_.reset();
}

bool ModalChooserForm::ShowIt() {
    if (InDialog) {
        return false;
    }
    const bool result = Run();
    if (unloadAfterShow_) {
        unloading_ = true;
        hide();
        deleteLater();
    }
    return result;
}

void ModalChooserForm::Unload() {
    if (InDialog) {
        // The owner goes away (the host shuts down): the question ends
        // unanswered, and the form goes once its ShowIt has returned.
        unloadAfterShow_ = true;
        cmdCancel_Click();
        return;
    }
    unloading_ = true;
    hide();
    deleteLater();
}

void ModalChooserForm::FillMruBoxes() {
    Frame1->Fill(MruPaths());
    Frame1->ApplyShowRights(
        vb::ToInteger(GetSetting(keys::ShowRightsWanted, int{keys::ShowRightsWantedDefault})));
}

int ModalChooserForm::NativePickerWanted() {
    try {
        return vb::ToInteger(GetHalvoxSetting(keys::UseNativeOutlookPickFolders,
                                              int{keys::UseNativeOutlookPickFoldersDefault}));
    } catch (const std::exception&) {
        return 0;
    }
}

bool ModalChooserForm::ShowAndWait() {
    ShowMailTexts();
    TreeView1->SetSorted(true);

    InDialog = true;
    try {
        ShowInFront();
    } catch (const std::exception& e) {
        WriteLogLine(common::LogSource("Plovanex.ShowIt"),
                     std::string("Warning: Choose Outlook Folder dialog could not be displayed.  "
                                 "Reason: ") +
                         e.what());
        InDialog = false;
        ErrorOccurred_ = true;
        hide();
        return false;
    }
    // The wait ends as soon as a handler clears InDialog.
    QEventLoop loop;
    wait_ = &loop;
    if (InDialog) {
        loop.exec();
    }
    wait_ = nullptr;
    if (InDialog) {
        // The program's own event loop ended (its shutdown): no answer.
        InDialog = false;
        Cancelled = true;
        hide();
    }
    return true;
}

void ModalChooserForm::EndWait() {
    InDialog = false;
    if (wait_) {
        wait_->quit();
    }
}

void ModalChooserForm::WhileWaiting(const char* handlerName, const std::function<void()>& handler) {
    if (InDialog) {
        Guarded(handlerName, handler);
    }
}

void ModalChooserForm::cmdOk_Click() {
    Cancelled = false;
    EndWait();
    HideIt();
}

void ModalChooserForm::cmdCancel_Click() {
    Cancelled = true;
    EndWait();
    HideIt();
}

void ModalChooserForm::cmdDeleteTheEmail_Click() {
    DeleteTheEmail = true;
    Cancelled = false;
    EndWait();
    HideIt();
}

void ModalChooserForm::TreeView1_Click() {
    ClickedNode.reset();
    ClickedNode = TreeView1->SelectedItem();
}

void ModalChooserForm::TreeView1_DblClick() {
    TreeView1_Click();
    cmdOk_Click();
}

void ModalChooserForm::txtMRUFolder_DblClick(int n) {
    auto list = std::make_shared<ostrevane::FolderList>();
    list->push_back(MruRecord(n));
    folderList_ = list;
    Frame1->Box(n)->Highlight(true);
    MruChosen = true;
    EndWait();
    cmdOk->setFocus();
}

void ModalChooserForm::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    if (InDialog) {
        Guarded("Form_QueryUnload", [this] { cmdCancel_Click(); });
    } else {
        hide();
    }
}

}  // namespace plovanex::chooser
