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
#include "indexer/message_box.h"
#include "indexer/process_priority.h"

namespace kestrune {

namespace keys = common::keys;

namespace {

template <typename Control>
Control* Make(QWidget* parent, const char* name, const char* text) {
    auto* control = new Control(QString::fromUtf8(text), parent);
    control->setObjectName(QString::fromUtf8(name));
    return control;
}

}  // namespace

frmMain::frmMain() {
    setObjectName("frmMain");
    setWindowTitle("Plovanex");
    frameProgress = Make<QGroupBox>(this, "frameProgress", "Progress");
    cmdHide = Make<QPushButton>(this, "cmdHide", "&Hide");
    Label1 = Make<QLabel>(
        this, "Label1",
        "The index is being built, and the progress is shown below.  Outlook and the Plovanex "
        "add-in can still be used normally, and clicking the Hide button below will allow this "
        "process to continue while you continue to work.  Note that newly created folders will "
        "not be visible until this process completes.");
    lblStoreCount = Make<QLabel>(frameProgress, "lblStoreCount", "Store: ");
    lblFolderCount = Make<QLabel>(frameProgress, "lblFolderCount", "Folder:");
    lblWorkingOn = Make<QLabel>(frameProgress, "lblWorkingOn", "Working on:");
    cmdCancel = Make<QPushButton>(this, "cmdCancel", "&Cancel");

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
        MsgBox(common::ErrorOccurred(e.what()), vbOKCancel, "Plovanex.Kestrune.cmdHide");
    }
}

void frmMain::cmdCancel_Click() {
    Program().keepGoing = false;
    Unload();
}

void frmMain::cmdClose_Click() {
    // The window closes even when the store cannot be written.
    try {
        SaveSetting(keys::KestruneVisible, "0");
    } catch (const std::exception& e) {
        Helper().ReportError(common::ErrorOccurred(e.what()), 1, common::Source("cmdClose_Click"));
    }
    hide();
    cmdCancel_Click();
}

void frmMain::closeEvent(QCloseEvent* event) {
    event->ignore();
    Unload();
}

}  // namespace kestrune
