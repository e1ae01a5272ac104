#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ostrevane/options_host.h"

class QGroupBox;
class QListWidget;
class QPushButton;

namespace plovanex {

// The value-name stems of a rule's target folder.
struct RuleFolderStemNames {
    const char* count;
    const char* name;
    const char* entryId;
    const char* storeId;
};

// What the two rule editors share: the modal ShowMe, the new rule key, the
// folder pick that saves the folder at once, Cancel and the unload. The
// editor of each kind adds its list box and its OK.
class RuleEditor : public QDialog {
  public:
    // The page's host object, shared by the page and both editors.
    ostrevane::OptionsHostPtr host() const;
    void SetHost(ostrevane::OptionsHostPtr value);
    // Int(r * (high - low + 1)) + low, r the next uniform random number in
    // [0, 1).
    std::int32_t Rand(std::int32_t low, std::int32_t high);
    // The form was unloaded: it is closed and goes away; the next use makes
    // a new one.
    bool Unloaded() const { return unloaded_; }

  protected:
    // `folderPrompt` tells in the folder dialog what the rule's folder is for.
    RuleEditor(QWidget* parent, const char* stemWord, RuleFolderStemNames stems,
               const char* folderPrompt);

    // Stores the arguments, draws a key for "ADD" or fills the form for
    // "EDIT" (the list text through PutList), shows the form modally and
    // hands back the key, the folders and the list text. True when the user
    // confirmed.
    bool Show(std::int16_t& row, std::string& ViewType, std::string& Key, std::string& Folders,
              std::string& list);
    virtual void PutList(const std::string& list) = 0;

    // Puts the folder list and its button into the editor's frame, for the
    // frame's own layout.
    void TakeIntoFrame(QGroupBox* frame);
    // The frame above OK and Cancel, the form that high.
    void LayOut(QGroupBox* frame, int height);

    void ChooseFolderButton_Click();
    void cmdCancel_Click();
    // Confirms: the OK flag is set and the form unloads.
    void Confirm();
    void Unload();
    // Escape and a close by the window frame: the OK flag stays False.
    void reject() override;

    // The controls both editors have.
    QListWidget* lstFolderNames;
    QPushButton* ChooseFolderButton;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    // The ShowMe arguments as the form holds them.
    std::int16_t row_ = 0;
    std::string ViewType_;
    std::string Key_;
    std::string Folders_;
    std::string list_;

  private:
    // A key of 1 to 999999 that holds no rule of this editor's kind yet.
    std::string NewRuleKey();

    const char* stemWord_;
    RuleFolderStemNames stems_;
    const char* folderPrompt_;
    bool ok_ = false;
    bool unloaded_ = false;
};

// The parts of a text parted by ";", empty parts dropped, none trimmed.
std::vector<std::string> SplitAtSemicolons(const std::string& text);

}  // namespace plovanex
