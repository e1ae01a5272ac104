#pragma once

#include <cstdint>
#include <string>

#include "options/rule_editor.h"

class QGroupBox;
class QLabel;
class QLineEdit;

namespace plovanex {

// The keyword rule editor "Associate Keywords": a text of keywords whose
// presence in a sent item files it into one folder. The folder is saved when
// it is picked, the keywords at OK.
class KeywordForm : public RuleEditor {
  public:
    explicit KeywordForm(QWidget* parent = nullptr);

    // View type "ADD" or "EDIT"; hands back the key, the folders and the
    // keyword text. True when the user confirmed.
    bool ShowMe(std::int16_t& row, std::string& ViewType, std::string& Key, std::string& Folders,
                std::string& keywords);

  private:
    void PutList(const std::string& list) override;
    void cmdOk_Click();

    QGroupBox* Frame1;
    QLabel* Label1;
    QLineEdit* KeywordNames;
    QLabel* FolderLabel1;
    QLabel* KeywordLabel;
};

// The library's one keyword editor, made when there is none.
KeywordForm& KeywordEditor(QWidget* parent);

}  // namespace plovanex
