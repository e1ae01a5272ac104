#include "chooser/chooser_form.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "core/rdo_lookup.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/owner_window.h"

namespace plovanex::chooser {

namespace widgets = platform::widgets;
using widgets::MakeControl;

ChooserForm::ChooserForm(const char* formName) : QWidget(nullptr, Qt::Dialog) {
    widgets::NameForm(this, formName, kChooserCaption);
    lblTo = MakeControl<QLabel>(this, "lblTo", "To:");
    txtEmailTo = MakeControl<QLineEdit>(this, "txtEmailTo");
    lblSubject = MakeControl<QLabel>(this, "lblSubject", "Subject:");
    txtSubject = MakeControl<QLineEdit>(this, "txtSubject");
    TreeView1 = MakeControl<widgets::TreeView>(this, "TreeView1");
}

ChooserForm::~ChooserForm() {
    // The tree's handlers and image list belong to this form: they go
    // before the controls do.
    TreeView1->events = {};
    TreeView1->SetImageList(nullptr);
    // Deleted here, not later, so that it never outlives the add-in's
    // library; inside its own dialog run, that run ends as a Cancel.
    delete newFolderForm_.data();
}

frmNewOutlookFolder& ChooserForm::NewFolderForm() {
    if (!newFolderForm_) {
        newFolderForm_ = new frmNewOutlookFolder(this);
    }
    return *newFolderForm_;
}

void ChooserForm::SetApplication(const outlook::ApplicationPtr& application) {
    olAppVersion = OutlookVersionText(Need(application).Version());
    olNameSpace.reset();
    olNameSpace = application->GetNamespace("MAPI");
}

void ChooserForm::SetSingleFolderOnly(bool value) {
    SingleFolderOnly_ = value;
    ApplySingleFolderOnly(*TreeView1, *this, value);
}

QGridLayout* ChooserForm::MailHeader() {
    auto* header = new QGridLayout;
    header->addWidget(lblTo, 0, 0);
    header->addWidget(txtEmailTo, 0, 1);
    header->addWidget(lblSubject, 1, 0);
    header->addWidget(txtSubject, 1, 1);
    return header;
}

void ChooserForm::ShowInFront() {
    platform::widgets::ShowInFront(this, platform::widgets::OwnerWindow());
}

void ChooserForm::ShowMailTexts() {
    txtEmailTo->setText(QString::fromStdString(emailTo_));
    txtEmailTo->setToolTip(QString::fromStdString(emailTo_));
    txtSubject->setText(QString::fromStdString(emailSubject_));
    txtSubject->setToolTip(QString::fromStdString(emailSubject_));
}

}  // namespace plovanex::chooser
