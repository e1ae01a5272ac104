#include "options/frm_advanced_options.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "options/form_support.h"
#include "options/prop_library.h"
#include "platform/error.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/message_box.h"

namespace plovanex {

namespace keys = common::keys;
using platform::widgets::MakeControl;

namespace {

constexpr const char* kPriorities[] = {keys::PriorityIdle, keys::PriorityLow, keys::PriorityNormal,
                                       keys::PriorityHigh};

// A pause the box takes: a whole number of milliseconds, 0 to the longest.
bool IsDelay(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 5) {
        return false;
    }
    return std::stoi(text) <= frmAdvancedOptions::kLongestDelay;
}

// Sets one control from its key. A stored value the control refuses is
// reported, and the control keeps the value it shows for an absent key, so
// the other settings still load and OK loses none of them. Any other failure
// goes on to the caller.
void LoadControl(const std::function<void()>& load) {
    try {
        load();
    } catch (const RefusedValue& e) {
        ReportError(common::ErrorOccurred(e.what()), 1,
                    common::Source("frmAdvancedOptions.Form_Load"));
    }
}

}  // namespace

frmAdvancedOptions::frmAdvancedOptions(QWidget* parent) : ModelessForm(parent) {
    platform::widgets::NameForm(this, "frmAdvancedOptions", "Advanced Options");
    Frame1 = MakeControl<QGroupBox>(this, "Frame1", "General Settings");
    chkOverrideSendButton = MakeControl<QCheckBox>(
        Frame1, "chkOverrideSendButton", "Override the default Send button with these settings");
    chkMoveWanted =
        MakeControl<QCheckBox>(Frame1, "chkMoveWanted", "Move the emails instead of copying them");
    Frame2 = MakeControl<QGroupBox>(this, "Frame2", "Index Settings");
    Label1 = MakeControl<QLabel>(Frame2, "Label1", "Run the index process at this priority:");
    cboPriority = MakeControl<QComboBox>(Frame2, "cboPriority");
    Label2 = MakeControl<QLabel>(Frame2, "Label2", "Pause delay:");
    txtDelayLength = MakeControl<QLineEdit>(Frame2, "txtDelayLength", "1000");
    txtDelayLength->setValidator(new QIntValidator(0, kLongestDelay, txtDelayLength));
    txtDelayLength->setMaxLength(5);
    Label3 = MakeControl<QLabel>(Frame2, "Label3", "milliseconds");
    chkIndexPublicFoldersWanted = MakeControl<QCheckBox>(
        Frame2, "chkIndexPublicFoldersWanted", "Index Exchange Public Folders when present");
    cmdOk = MakeControl<QPushButton>(this, "cmdOk", "&Ok");
    cmdCancel = MakeControl<QPushButton>(this, "cmdCancel", "&Cancel");

    cboPriority->addItem(keys::PriorityIdle);
    chkOverrideSendButton->setChecked(true);
    chkMoveWanted->setChecked(true);

    auto* general = new QVBoxLayout(Frame1);
    general->addWidget(chkOverrideSendButton);
    general->addWidget(chkMoveWanted);
    auto* index = new QGridLayout(Frame2);
    index->addWidget(Label1, 0, 0);
    index->addWidget(cboPriority, 0, 1, 1, 2);
    index->addWidget(Label2, 1, 0);
    index->addWidget(txtDelayLength, 1, 1);
    index->addWidget(Label3, 1, 2);
    index->addWidget(chkIndexPublicFoldersWanted, 2, 0, 1, 3);
    StackAboveButtons(this, {Frame1, Frame2}, cmdOk, cmdCancel);
    resize(420, 260);

    connect(cmdOk, &QPushButton::clicked, this,
            [this] { Guarded("frmAdvancedOptions.cmdOk_Click", [this] { cmdOk_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        Guarded("frmAdvancedOptions.cmdCancel_Click", [this] { cmdCancel_Click(); });
    });
    Form_Load();
}

void frmAdvancedOptions::Form_Load() {
    const std::pair<QCheckBox*, std::pair<const char*, std::int16_t>> checks[] = {
        {chkOverrideSendButton, {keys::OverrideSendButton, keys::OverrideSendButtonDefault}},
        {chkMoveWanted, {keys::MoveWanted, keys::MoveWantedDefault}},
        {chkIndexPublicFoldersWanted,
         {keys::IndexPublicFoldersWanted, keys::IndexPublicFoldersWantedDefault}},
    };
    for (const auto& [box, key] : checks) {
        LoadControl([box, key] {
            const auto name = key.first;
            const int fallback = key.second;
            box->setCheckState(fallback ? Qt::Checked : Qt::Unchecked);
            box->setCheckState(CheckStateOf(GetSetting(name, fallback), name));
        });
    }
    cboPriority->clear();
    for (const char* priority : kPriorities) {
        cboPriority->addItem(priority);
    }
    LoadControl([this] {
        const std::string priority =
            GetSetting(keys::ProcessPriority, keys::ProcessPriorityDefault);
        const int index = cboPriority->findText(QString::fromStdString(priority), Qt::MatchExactly);
        if (index < 0) {
            throw RefusedValue("Invalid property value (\"" + priority + "\" stored under " +
                               keys::ProcessPriority + ")");
        }
        cboPriority->setCurrentIndex(index);
    });
    LoadControl([this] {
        const std::string delay =
            GetSetting(keys::DelayLength, keys::DelayLengthDefaultAdvancedOptions);
        if (!IsDelay(delay)) {
            throw RefusedValue("Invalid property value (\"" + delay + "\" stored under " +
                               keys::DelayLength + "; the pause delay is 0 to " +
                               std::to_string(kLongestDelay) + " milliseconds)");
        }
        txtDelayLength->setText(QString::fromStdString(delay));
    });
}

void frmAdvancedOptions::cmdOk_Click() {
    const std::string delay = txtDelayLength->text().toStdString();
    if (!IsDelay(delay)) {
        platform::widgets::MsgBox(
            "The pause delay must be a whole number of milliseconds from 0 to " +
                std::to_string(kLongestDelay) + ".",
            platform::widgets::vbOKOnly, "Advanced Options", this);
        txtDelayLength->setFocus();
        return;
    }
    SaveSetting(keys::OverrideSendButton, CheckValueText(chkOverrideSendButton->checkState()));
    SaveSetting(keys::MoveWanted, CheckValueText(chkMoveWanted->checkState()));
    SaveSetting(keys::IndexPublicFoldersWanted,
                CheckValueText(chkIndexPublicFoldersWanted->checkState()));
    SaveSetting(keys::ProcessPriority, cboPriority->currentText().toStdString());
    SaveSetting(keys::DelayLength, delay);
    Unload();
}

void frmAdvancedOptions::cmdCancel_Click() {
    Unload();
}

frmAdvancedOptions& ShowAdvancedOptions(QWidget* parent) {
    auto& form = LibraryForm(Prop().advancedOptions, parent);
    form.ShowModeless();
    return form;
}

}  // namespace plovanex
