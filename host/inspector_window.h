#pragma once

#include <QMainWindow>
#include <QPointer>
#include <optional>
#include <string>
#include <vector>

#include "host/engine.h"
#include "platform/mailstore/profile.h"
#include "platform/outlook/outlook.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolBar;

namespace host {

// The mail client's item window on an unsent mail: From (the profile's
// accounts, the default one first), To, Cc, Bcc, Subject, Body and Send,
// with the buttons the modules gave it in a toolbar and their menu entries
// under their menu names. It opens with the focus in To. It tells the
// modules when it opens, comes to the front and closes; it closes itself
// once its mail has been sent. Closed with boxes changed, it asks whether to
// save them to the mail; Cancel keeps it open. Closed on a new mail that
// nobody changed, or whose changes were not saved, it takes the mail's
// draft with it.
class InspectorWindow : public QMainWindow {
  public:
    InspectorWindow(ModuleHost& modules, outlook::ItemPtr item, QWidget* parent = nullptr);
    ~InspectorWindow() override;

    const outlook::InspectorPtr& Inspector() const { return inspector_; }
    const outlook::ItemPtr& Item() const { return item_; }

    struct Fields {
        std::string from{}, to{}, cc{}, bcc{}, subject{}, body{};

        bool operator==(const Fields&) const = default;
    };
    // Fills the window's boxes, as a person types them.
    void Fill(const Fields& fields);
    // Writes the boxes to the mail and sends it. Gives the mail client's
    // error when it could not; the window then stays open with its text.
    std::optional<std::string> Send();
    // Writes the boxes to the mail and clicks the module's button of that
    // caption. Gives what stopped it: no such button, or a name that does
    // not resolve.
    std::optional<std::string> ClickButton(const std::string& caption);
    // The folder chooser that a click in this window opened and that is
    // still waiting, or nothing. Closing the window cancels it.
    QWidget* OpenQuestion() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void AddModuleControls();
    // The boxes written to the mail, the names checked.
    std::optional<std::string> Apply();
    // The boxes written to the mail in one transaction, as they are.
    std::optional<std::string> Save();
    // The From box; empty for the default account.
    std::string Sender() const;
    // On a close with the boxes changed: whether to go on, after saving
    // them or not as the person answered.
    bool AskToSave();
    std::optional<std::string> Click(const InspectorControl& control);
    void ShowError(const std::string& text);
    void UpdateTitle();
    // Tells the mail client and the modules once that the window closed.
    void CloseInspector();
    // The boxes as they stand.
    Fields Typed() const;
    // Deletes the mail when it was a new one (unsent, with no subject, body,
    // billing, recipient or property) and neither the boxes nor the stored
    // mail changed since the window opened: it was not sent, filed, typed in
    // or saved.
    void DropUntouchedDraft();

    ModuleHost& modules_;
    outlook::ItemPtr item_;
    outlook::InspectorPtr inspector_;
    outlook::Subscription onClose_;
    mailstore::ProfilePtr profile_;
    std::optional<mailstore::Id> itemId_;
    // The mail as it was when the window opened, while it was a new one.
    std::optional<mailstore::ItemSnapshot> opened_;
    Fields openedTyped_;
    // The person chose not to save the boxes.
    bool discarded_ = false;
    std::string defaultAccount_;
    bool closed_ = false;
    QPointer<QWidget> question_;
    // While a module's click runs: the choosers open before it, and whether
    // the window was to be deleted meanwhile.
    int clicking_ = 0;
    std::vector<QWidget*> clickBefore_;
    bool deleteAfterClick_ = false;

    QComboBox* cboFrom_;
    QLineEdit* txtTo_;
    QLineEdit* txtCc_;
    QLineEdit* txtBcc_;
    QLineEdit* txtSubject_;
    QPlainTextEdit* txtBody_;
    QPushButton* cmdSend_;
    QToolBar* toolbar_;
};

}  // namespace host
