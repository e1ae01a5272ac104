#include "indexer/frm_main.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "indexer/global.h"
#include "indexer/process_priority.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/message_box.h"
#include "platform/widgets/owner_window.h"

namespace kestrune {

namespace keys = common::keys;

using platform::widgets::MakeControl;

frmMain::frmMain() {
    platform::widgets::NameForm(this, "frmMain", "Plovanex");
    frameProgress = MakeControl<QGroupBox>(this, "frameProgress", "Progress");
    cmdHide = MakeControl<QPushButton>(this, "cmdHide", "&Hide");
    Label1 = MakeControl<QLabel>(
        this, "Label1",
        "The index is being built, and the progress is shown below.  Outlook and the Plovanex "
        "add-in can still be used normally, and clicking the Hide button below will allow this "
        "process to continue while you continue to work.  Note that newly created folders will "
        "not be visible until this process completes.");
    lblStoreCount = MakeControl<QLabel>(frameProgress, "lblStoreCount", "Store: ");
    lblFolderCount = MakeControl<QLabel>(frameProgress, "lblFolderCount", "Folder:");
    lblWorkingOn = MakeControl<QLabel>(frameProgress, "lblWorkingOn", "Working on:");
    cmdCancel = MakeControl<QPushButton>(this, "cmdCancel", "&Cancel");

    Label1->setWordWrap(true);
    lblWorkingOn->setWordWrap(true);
    auto* progress = new QVBoxLayout(frameProgress);
    progress->addWidget(lblStoreCount);
    progress->addWidget(lblFolderCount);
    progress->addWidget(lblWorkingOn);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHide);
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(frameProgress);
    layout->addLayout(buttons);
    resize(460, 260);
    // It shows while the user works in another window, and leaves the focus there.
    platform::widgets::CentreOnScreen(this);
    platform::widgets::ShowWithoutActivating(this);

    connect(cmdHide, &QPushButton::clicked, this, [this] { cmdHide_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

frmMain::~frmMain() {
    Form_Unload();
}

void frmMain::Form_Load() {
    const std::string priority = GetSetting(keys::ProcessPriority, keys::ProcessPriorityDefault);
    ProcessPrioritySet(0, static_cast<std::uintptr_t>(winId()), PriorityClassOf(priority));
    Program().window = this;
    StartTimer(1000);
}

void frmMain::Form_Unload() {
    if (Program().window == this) {
        Program().window = nullptr;
    }
}

void frmMain::Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    Form_Unload();
    hide();
    deleteLater();
    EndProgramWhenIdle();
}

void frmMain::cmdHide_Click() {
    try {
        SaveSetting(keys::KestruneVisible, "0");
        hide();
    } catch (const std::exception& e) {
        platform::widgets::MsgBox(common::ErrorOccurred(e.what()), platform::widgets::vbOKCancel,
                                  "Plovanex.Kestrune.cmdHide", this);
    }
}

void frmMain::cmdCancel_Click() {
    Program().keepGoing = false;
    Unload();
}

void frmMain::cmdClose_Click() {
    // The window closes even when the store cannot be written.
    Trapped({common::Source("cmdClose_Click"), 1, false},
            [](long&) { SaveSetting(keys::KestruneVisible, "0"); });
    hide();
    cmdCancel_Click();
}

void frmMain::closeEvent(QCloseEvent* event) {
    event->ignore();
    Unload();
}

}  // namespace kestrune
