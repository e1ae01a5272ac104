#pragma once

#include <cstdint>
#include <string>

#include "options/rule_editor.h"

class QGroupBox;
class QLabel;
class QLineEdit;

namespace plovanex {

// The contact rule editor "Associate Contact": the contacts whose mail goes
// into one folder. It writes the rule straight into the store: the folder
// when it is picked, the contacts at an address-book pick or at OK.
class AssociateContactForm : public RuleEditor {
  public:
    explicit AssociateContactForm(QWidget* parent = nullptr);

    // View type "ADD" or "EDIT"; hands back the key, the folders and the
    // contacts. True when the user confirmed.
    bool ShowMe(std::int16_t& row, std::string& ViewType, std::string& Key, std::string& Folders,
                std::string& Contacts);

  private:
    void PutList(const std::string& list) override;
    void ContactButton_Click();
    void cmdOk_Click();
    // Saves the count of the rule's contacts; names and tags beyond it go.
    void SaveContactCount(std::int32_t count);

    QGroupBox* Frame1;
    QLineEdit* ContactName;
    QPushButton* ContactButton;
    QLabel* ContactLabel;
    QLabel* FolderLabel1;
    bool m_chooseContactClicked = false;
};

// The library's one contact editor, made when there is none.
AssociateContactForm& ContactEditor(QWidget* parent);

}  // namespace plovanex
