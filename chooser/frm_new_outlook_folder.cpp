#include "chooser/frm_new_outlook_folder.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/widgets/controls.h"

namespace plovanex::chooser {

using platform::widgets::MakeControl;

frmNewOutlookFolder::frmNewOutlookFolder(QWidget* owner) : QDialog(owner) {
    platform::widgets::NameForm(this, "frmNewOutlookFolder", "New Outlook Folder Name");
    auto* frame = MakeControl<QGroupBox>(this, "frameNewOutlookFolder", "New Outlook Folder");
    auto* lblTitleFolderName =
        MakeControl<QLabel>(frame, "lblTitleFolderName", "What is the name of this new folder?");
    txtNewOutlookFolderName = MakeControl<QLineEdit>(frame, "txtNewOutlookFolderName");
    auto* lblTitleFolderHolds = MakeControl<QLabel>(frame, "lblTitleFolderHolds", "Folder holds:");
    lblNewOutlookFolderHolds = MakeControl<QLabel>(frame, "lblNewOutlookFolderHolds", "Mail Items");
    auto* lblTitleParent = MakeControl<QLabel>(frame, "lblTitleParent", "Folder's parent:");
    lblNewOutlookFolderParent =
        MakeControl<QLabel>(frame, "lblNewOutlookFolderParent", "Personal Folders");
    cmdOk = MakeControl<QPushButton>(this, "cmdOk", "&Ok");
    cmdCancel = MakeControl<QPushButton>(this, "cmdCancel", "&Cancel");

    auto* grid = new QGridLayout(frame);
    grid->addWidget(lblTitleFolderName, 0, 0, 1, 2);
    grid->addWidget(txtNewOutlookFolderName, 1, 0, 1, 2);
    grid->addWidget(lblTitleFolderHolds, 2, 0);
    grid->addWidget(lblNewOutlookFolderHolds, 2, 1);
    grid->addWidget(lblTitleParent, 3, 0);
    grid->addWidget(lblNewOutlookFolderParent, 3, 1);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    cmdOk->setDefault(true);
    resize(380, 190);

    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmNewOutlookFolder::SetFolderHolds(const std::string& text) {
    lblNewOutlookFolderHolds->setText(QString::fromStdString(text));
}

void frmNewOutlookFolder::SetFolderParent(const std::string& name) {
    lblNewOutlookFolderParent->setText(QString::fromStdString(name));
}

std::string frmNewOutlookFolder::ShowIt() {
    // The box starts empty at each show, as a form loaded afresh does; the
    // answer of the last use stays until a button sets it.
    txtNewOutlookFolderName->clear();
    txtNewOutlookFolderName->setFocus();
    // The chooser may delete the dialog while it runs: that is a Cancel.
    QPointer<frmNewOutlookFolder> alive(this);
    exec();
    return alive ? NewFolderName : std::string();
}

void frmNewOutlookFolder::Terminate() {
    hide();
}

void frmNewOutlookFolder::cmdOk_Click() {
    NewFolderName = txtNewOutlookFolderName->text().toStdString();
    accept();
}

void frmNewOutlookFolder::cmdCancel_Click() {
    NewFolderName.clear();
    QDialog::reject();
}

void frmNewOutlookFolder::reject() {
    cmdCancel_Click();
}

std::string FolderHoldsText(int defaultItemType) {
    switch (defaultItemType) {
        case 1:
            return "Appointment Items";
        case 2:
            return "Contact Items";
        case 3:
            return "Task Items";
        case 4:
            return "Journal Items";
        case 5:
            return "Note Items";
        case 6:
            return "Post Items";
        default:
            return "Mail Items";
    }
}

}  // namespace plovanex::chooser

#include "chooser/chooser_common.h"
#include "chooser/folder_images.h"
#include "core/globals.h"
#include "core/rdo_lookup.h"
#include "platform/mirelink/mirelink.h"

namespace plovanex::chooser {

void NewFolderCommand::Run() {
    Trapped({"Plovanex.NewFolder", 1, true}, [&](long& step) {
        step = 2;
        const auto& parentNode = Need(clickedNode);
        const std::string entryId = parentNode.Key();
        const std::string storeId = storeIdOf ? storeIdOf(clickedNode) : parentNode.Tag();
        // The same steps over a folder of either object model.
        auto create = [&](auto& parent) {
            dialog.SetFolderHolds(FolderHoldsText(parent.DefaultItemType()));
            dialog.SetFolderParent(parent.Name());
            const std::string answer = dialog.ShowIt();
            if (answer.empty()) {
                return;
            }
            step = 6;
            if (readLevel) {
                readLevel(clickedNode);
            }
            auto folder = parent.Folders()->Add(answer);
            const std::string newEntryId = folder->EntryID();
            step = 8;
            const std::string imageKey = FolderImageKey(*folder);
            auto node = tree.Nodes().Add(parentNode.Key(), platform::widgets::tvwChild, newEntryId,
                                         folder->Name(), imageKey);
            node->SetTag(tagOf ? tagOf(clickedNode, folder->StoreID()) : folder->StoreID());
            step = 10;
            if (selectNewNode) {
                tree.SetSelectedItem(node);
                node->EnsureVisible();
                tree.setFocus();
                node->SetSelected(true);
                tree.Refresh();
            }
            step = 12;
            if (logCreated) {
                WriteLogLine(common::LogSource("NewFolder"), "New folder created");
            }
        };
        step = 4;
        if (outlookParent) {
            if (auto parent = GetOutlookFolderFromID(olNameSpace, entryId, storeId)) {
                create(*parent);
            }
            return;
        }
        auto session = NewSession(olAppVersion, olNameSpace);
        if (auto parent = GetRDOObjectFromIds(session, entryId, storeId)) {
            create(*parent);
        }
    });
}

}  // namespace plovanex::chooser
