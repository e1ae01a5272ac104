#include "options/associate_contact_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/log_source.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "options/form_support.h"
#include "options/prop_library.h"
#include "options/rules/rule_store.h"
#include "platform/mirelink/mirelink.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/message_box.h"

namespace plovanex {

namespace keys = common::keys;
using platform::widgets::MakeControl;

namespace {

// The title a message box of this form shows: it gives none of its own, so
// the library's title stands.
constexpr char kLibraryTitle[] = "PlovanexProp";
constexpr common::LogSource kLogSource("cmdOK");

const char* kTag = "Tag";

std::string TagOf(const QLineEdit& box) {
    return box.property(kTag).toString().toStdString();
}

}  // namespace

AssociateContactForm::AssociateContactForm(QWidget* parent)
    : RuleEditor(parent, keys::AssocStem,
                 {keys::AssocFolderCount, keys::AssocFolderName, keys::AssocFolderEntryId,
                  keys::AssocFolderStoreId},
                 "Choose the folder for mail sent to this contact.") {
    platform::widgets::NameForm(this, "AssociateContactForm", "Associate Contact");
    Frame1 = MakeControl<QGroupBox>(this, "Frame1", "Associate Contact");
    ContactName = MakeControl<QLineEdit>(Frame1, "ContactName");
    ContactName->setProperty(kTag, QString());
    ContactButton = MakeControl<QPushButton>(Frame1, "ContactButton", "Choose Contacts");
    ContactButton->setAutoDefault(false);
    ContactLabel = MakeControl<QLabel>(Frame1, "ContactLabel", "Contact:");
    FolderLabel1 = MakeControl<QLabel>(Frame1, "FolderLabel1", "Folder:");
    TakeIntoFrame(Frame1);

    auto* grid = new QGridLayout(Frame1);
    grid->addWidget(ContactLabel, 0, 0);
    grid->addWidget(ContactName, 0, 1);
    grid->addWidget(ContactButton, 0, 2);
    grid->addWidget(FolderLabel1, 1, 0, Qt::AlignTop);
    grid->addWidget(lstFolderNames, 1, 1);
    grid->addWidget(ChooseFolderButton, 1, 2, Qt::AlignTop);
    LayOut(Frame1, 190);

    connect(ContactButton, &QPushButton::clicked, this,
            [this] { Guarded("ContactButton_Click", [this] { ContactButton_Click(); }); });
    connect(cmdOK, &QPushButton::clicked, this,
            [this] { Guarded("cmdOk_Click", [this] { cmdOk_Click(); }); });
}

bool AssociateContactForm::ShowMe(std::int16_t& row, std::string& ViewType, std::string& Key,
                                  std::string& Folders, std::string& Contacts) {
    return Show(row, ViewType, Key, Folders, Contacts);
}

void AssociateContactForm::PutList(const std::string& list) {
    ContactName->setText(QString::fromStdString(list));
}

void AssociateContactForm::SaveContactCount(std::int32_t count) {
    SaveSetting(Key_ + keys::AssocContactCount, std::to_string(count));
    DeleteContactsBeyond(Key_, count);
}

void AssociateContactForm::ContactButton_Click() {
    m_chooseContactClicked = true;
    std::vector<std::string> typed;
    if (!ContactName->text().isEmpty()) {
        typed = SplitAtSemicolons(ContactName->text().toStdString());
    }
    auto utils = mirelink::CreateMAPIUtils();
    if (Prop().host) {
        if (auto application = Prop().host->OutlookApplication()) {
            utils->SetMAPIOBJECT(application->GetNamespace("MAPI")->MAPIOBJECT());
        }
    }
    mirelink::AddressBookRequest request;
    request.title = "Select addresses to associate";
    request.recipLists = 1;
    request.toLabel = "Add";
    auto picked = utils->AddressBook(request);
    if (!picked) {
        return;
    }
    list_.clear();
    std::string shown;
    std::string addresses;
    const int picks = picked->Count();
    if (picks > 0) {
        shown = ContactName->text().toStdString();
        addresses = TagOf(*ContactName);
    }
    for (int i = 1; i <= picks; ++i) {
        auto recipient = picked->Item(i);
        const std::string address = recipient->Address();
        std::string name = recipient->Name();
        if (name.empty()) {
            name = address;
        }
        SaveSetting(Key_ + keys::AssocContactName + std::to_string(i), name);
        if (!shown.empty()) {
            shown += "; ";
            addresses += "; ";
        }
        shown += name;
        addresses += address;
        SaveSetting(Key_ + keys::AssocContactTag + std::to_string(i), address);
    }
    list_ = shown;
    if (picks > 0) {
        ContactName->setText(QString::fromStdString(shown));
        ContactName->setProperty(kTag, QString::fromStdString(addresses));
    }
    for (std::size_t t = 0; t < typed.size(); ++t) {
        const int index = picks + static_cast<int>(t) + 1;
        SaveSetting(Key_ + keys::AssocContactName + std::to_string(index), typed[t]);
        SaveSetting(Key_ + keys::AssocContactTag + std::to_string(index), typed[t]);
    }
    SaveContactCount(picks + static_cast<std::int32_t>(typed.size()));
}

void AssociateContactForm::cmdOk_Click() {
    using platform::widgets::MsgBox;
    using platform::widgets::vbOKOnly;
    if (ViewType_ == "ADD") {
        if (ContactName->text().isEmpty()) {
            MsgBox("Please enter at least one name for a contact", vbOKOnly, kLibraryTitle, this);
            return;
        }
        if (lstFolderNames->count() == 0) {
            MsgBox("Please choose at least one folder.", vbOKOnly, kLibraryTitle, this);
            return;
        }
    }
    WriteLogLine(kLogSource, std::string("m_chooseContactClicked: ") +
                                 (m_chooseContactClicked ? "True" : "False"));
    if (!m_chooseContactClicked) {
        const std::string text = ContactName->text().toStdString();
        WriteLogLine(kLogSource, "ContactName.Text: " + text);
        list_ = text;
        const auto names = SplitAtSemicolons(text);
        const auto count = static_cast<std::int32_t>(names.size());
        WriteLogLine(kLogSource, "UpperVal: " + std::to_string(count));
        SaveContactCount(count);
        for (std::int32_t i = 1; i <= count; ++i) {
            const std::string& name = names[static_cast<std::size_t>(i - 1)];
            SaveSetting(Key_ + keys::AssocContactName + std::to_string(i), name);
            WriteLogLine(kLogSource, "Name: " + name);
            SaveSetting(Key_ + keys::AssocContactTag + std::to_string(i), name);
            WriteLogLine(kLogSource, "Tag: " + name);
        }
    }
    Confirm();
}

AssociateContactForm& ContactEditor(QWidget* parent) {
    return LibraryForm(Prop().contactEditor, parent);
}

}  // namespace plovanex
