#include "options/keyword_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/settings_keys.h"
#include "core/globals.h"
#include "options/form_support.h"
#include "options/prop_library.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/message_box.h"

namespace plovanex {

namespace keys = common::keys;
using platform::widgets::MakeControl;

namespace {

constexpr char kTitle[] = "Plovanex";

}  // namespace

KeywordForm::KeywordForm(QWidget* parent)
    : RuleEditor(parent, keys::KeywordStem,
                 {keys::KeywordFolderCount, keys::KeywordFolderName, keys::KeywordFolderEntryId,
                  keys::KeywordFolderStoreId},
                 "Choose the folder for mail that holds these keywords.") {
    platform::widgets::NameForm(this, "KeywordForm", "Associate Keywords");
    Frame1 = MakeControl<QGroupBox>(this, "Frame1", "Associate Keywords");
    Label1 = MakeControl<QLabel>(Frame1, "Label1", "Separate keywords with a comma.");
    KeywordNames = MakeControl<QLineEdit>(Frame1, "KeywordNames");
    FolderLabel1 = MakeControl<QLabel>(Frame1, "FolderLabel1", "Folder:");
    KeywordLabel = MakeControl<QLabel>(Frame1, "KeywordLabel", "Keywords:");
    TakeIntoFrame(Frame1);

    auto* grid = new QGridLayout(Frame1);
    grid->addWidget(KeywordLabel, 0, 0);
    grid->addWidget(KeywordNames, 0, 1, 1, 2);
    grid->addWidget(Label1, 1, 1, 1, 2);
    grid->addWidget(FolderLabel1, 2, 0, Qt::AlignTop);
    grid->addWidget(lstFolderNames, 2, 1);
    grid->addWidget(ChooseFolderButton, 2, 2, Qt::AlignTop);
    LayOut(Frame1, 210);

    connect(cmdOK, &QPushButton::clicked, this,
            [this] { Guarded("cmdOk_Click", [this] { cmdOk_Click(); }); });
}

bool KeywordForm::ShowMe(std::int16_t& row, std::string& ViewType, std::string& Key,
                         std::string& Folders, std::string& keywords) {
    return Show(row, ViewType, Key, Folders, keywords);
}

void KeywordForm::PutList(const std::string& list) {
    KeywordNames->setText(QString::fromStdString(list));
}

void KeywordForm::cmdOk_Click() {
    using platform::widgets::MsgBox;
    using platform::widgets::vbOKOnly;
    if (ViewType_ == "ADD") {
        if (KeywordNames->text().isEmpty()) {
            // The editor's own text, word for word: it asks for a contact.
            MsgBox("Please enter at least one name for a contact.", vbOKOnly, kTitle, this);
            return;
        }
        if (lstFolderNames->count() == 0) {
            MsgBox("Please choose at least one folder.", vbOKOnly, kTitle, this);
            return;
        }
    }
    const std::string text = KeywordNames->text().toStdString();
    SaveSetting(Key_ + keys::Keywords, text);
    list_ = text;
    Confirm();
}

KeywordForm& KeywordEditor(QWidget* parent) {
    return LibraryForm(Prop().keywordEditor, parent);
}

}  // namespace plovanex
