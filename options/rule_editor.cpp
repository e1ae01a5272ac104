#include "options/rule_editor.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <random>

#include "common/settings_keys.h"
#include "core/globals.h"
#include "options/folder_path.h"
#include "options/form_support.h"
#include "options/prop_library.h"
#include "options/prop_routines.h"
#include "options/rules/rule_store.h"
#include "platform/error.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/platform_dialogs.h"

namespace plovanex {

namespace keys = common::keys;
using platform::widgets::MakeControl;

namespace {

std::mt19937& Generator() {
    thread_local std::mt19937 generator;
    return generator;
}

// Seeds the generator from the clock, as the language's Randomize does.
void Randomize() {
    if (!Prop().random) {
        Generator().seed(static_cast<std::mt19937::result_type>(
            std::chrono::steady_clock::now().time_since_epoch().count()));
    }
}

double NextRandom() {
    if (Prop().random) {
        return Prop().random();
    }
    return std::uniform_real_distribution<double>(0.0, 1.0)(Generator());
}

}  // namespace

std::vector<std::string> SplitAtSemicolons(const std::string& text) {
    auto tokens = SplitTokens(text, ";");
    tokens.erase(tokens.begin());
    return tokens;
}

RuleEditor::RuleEditor(QWidget* parent, const char* stemWord, RuleFolderStemNames stems,
                       const char* folderPrompt)
    : QDialog(parent), stemWord_(stemWord), stems_(stems), folderPrompt_(folderPrompt) {
    lstFolderNames = MakeControl<QListWidget>(this, "lstFolderNames");
    ChooseFolderButton =
        MakeControl<QPushButton>(this, "ChooseFolderButton", "Choose Outlook Folder");
    cmdOK = MakeControl<QPushButton>(this, "cmdOK", "&OK");
    cmdCancel = MakeControl<QPushButton>(this, "cmdCancel", "&Cancel");
    cmdOK->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    ChooseFolderButton->setAutoDefault(false);
    connect(ChooseFolderButton, &QPushButton::clicked, this, [this] {
        Guarded("ChooseFolderButton_Click", [this] { ChooseFolderButton_Click(); });
    });
    connect(cmdCancel, &QPushButton::clicked, this,
            [this] { Guarded("cmdCancel_Click", [this] { cmdCancel_Click(); }); });
    // Form_Load: no folder yet.
    lstFolderNames->clear();
}

void RuleEditor::TakeIntoFrame(QGroupBox* frame) {
    lstFolderNames->setParent(frame);
    ChooseFolderButton->setParent(frame);
    lstFolderNames->setMaximumHeight(60);
}

void RuleEditor::LayOut(QGroupBox* frame, int height) {
    StackAboveButtons(this, {frame}, cmdOK, cmdCancel);
    resize(520, height);
}

ostrevane::OptionsHostPtr RuleEditor::host() const {
    return Prop().host;
}

void RuleEditor::SetHost(ostrevane::OptionsHostPtr value) {
    Prop().host = std::move(value);
}

std::int32_t RuleEditor::Rand(std::int32_t low, std::int32_t high) {
    const double range = static_cast<double>(high) - static_cast<double>(low) + 1.0;
    return static_cast<std::int32_t>(NextRandom() * range) + low;
}

std::string RuleEditor::NewRuleKey() {
    Randomize();
    const auto used = RuleKeysInUse(stemWord_);
    const auto free = keys::RuleKeyMax - keys::RuleKeyMin + 1 -
                      std::count_if(used.begin(), used.end(), [](std::int32_t key) {
                          return key >= keys::RuleKeyMin && key <= keys::RuleKeyMax;
                      });
    if (free <= 0) {
        throw platform::Error("Every rule key from 1 to 999999 holds a rule");
    }
    for (;;) {
        const std::int32_t key = Rand(keys::RuleKeyMin, keys::RuleKeyMax);
        if (!used.contains(key)) {
            return std::to_string(key);
        }
    }
}

bool RuleEditor::Show(std::int16_t& row, std::string& ViewType, std::string& Key,
                      std::string& Folders, std::string& list) {
    row_ = row;
    ViewType_ = ViewType;
    Key_ = Key;
    Folders_ = Folders;
    list_ = list;
    ok_ = false;
    if (ViewType_ == "ADD") {
        Key_ = NewRuleKey();
    } else if (ViewType_ == "EDIT") {
        PutList(list_);
        for (const auto& folder : SplitAtSemicolons(Folders_)) {
            lstFolderNames->addItem(QString::fromStdString(folder));
        }
    }
    exec();
    Key = Key_;
    Folders = Folders_;
    list = list_;
    return ok_;
}

void RuleEditor::ChooseFolderButton_Click() {
    SetDirty();
    auto application = HostApplication();
    const platform::widgets::ScopedFolderRequest request(
        {.prompt = folderPrompt_,
         .owner = this,
         .path = lstFolderNames->count() > 0 ? lstFolderNames->item(0)->text().toStdString() : ""});
    auto folder = application->GetNamespace("MAPI")->PickFolder();
    if (folder) {
        lstFolderNames->clear();
        SaveSetting(Key_ + stems_.count, "1");
        Folders_ = FolderPath(application->Version(), folder);
        SaveSetting(Key_ + stems_.name + "1", Folders_);
        SaveSetting(Key_ + stems_.entryId + "1", folder->EntryID());
        SaveSetting(Key_ + stems_.storeId + "1", folder->StoreID());
        lstFolderNames->addItem(QString::fromStdString(Folders_));
        SetDirty();
    }
    ChooseFolderButton->setFocus();
}

void RuleEditor::cmdCancel_Click() {
    ok_ = false;
    Unload();
}

void RuleEditor::Confirm() {
    ok_ = true;
    Unload();
}

void RuleEditor::Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    done(ok_ ? QDialog::Accepted : QDialog::Rejected);
    deleteLater();
}

void RuleEditor::reject() {
    ok_ = false;
    Unload();
}

}  // namespace plovanex
