#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "chooser/chooser_common.h"
#include "chooser/chooser_form.h"
#include "chooser/mru_list.h"
#include "core/choose_outlook_folders.h"
#include "platform/widgets/image_list.h"
#include "platform/widgets/tree_view.h"

class QCloseEvent;
class QEventLoop;
class QPushButton;
class QVBoxLayout;

namespace plovanex::chooser {

using platform::widgets::Node;

// What the two modal chooser variants share: the form with its controls and
// decision flags, the handlers of its buttons and boxes, and the wait.
// ShowIt returns only once the user has decided: the form is shown modeless
// and a nested event loop runs until a handler clears InDialog, so the
// form's handlers run inside ShowIt. The form lives as long as its owner
// keeps it; the tree, the images and the last path serve as caches.
class ModalChooserForm : public ChooserForm {
  public:
    // The members of IChooseOutlookFolders beyond ChooserForm's. HideIt
    // leaves a form that waits on screen.
    void HideIt();
    // Releases the namespace, the clicked node and the folder list.
    virtual void Terminate();
    // The dialog run. A ShowIt while the form already waits is refused: it
    // gives False at once and leaves the waiting question alone.
    bool ShowIt();
    // Unloads the form: hidden, then deleted by the event loop. A form that
    // waits ends its wait as a Cancel and goes once its ShowIt returns.
    void Unload();
    // Inside ShowIt's wait for the user.
    bool Waiting() const { return InDialog; }

  protected:
    ModalChooserForm(const char* formName);

    // The variant's dialog run, inside ShowIt.
    virtual bool Run() = 0;
    virtual void cmdNewFolder_Click() = 0;

    // The recently used boxes: text, bold off, tool tip, and the scroll that
    // ShowRightsWanted asks for.
    void FillMruBoxes();
    // Shows the form with the mail's To and Subject and waits for the
    // decision. False when the form could not be shown: that is logged,
    // ErrorOccurred is set and the form hidden.
    bool ShowAndWait();
    // UseNativeOutlookPickFolders read as a whole number; anything but a
    // number counts as 0.
    static int NativePickerWanted();

    // Handlers of the form.
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdDeleteTheEmail_Click();
    void TreeView1_Click();
    void TreeView1_DblClick();
    void txtMRUFolder_DblClick(int n);
    // A close by the window frame is Cancel, and the form stays loaded.
    void closeEvent(QCloseEvent* event) override;

    // State of the form beyond ChooserForm's.
    bool InDialog = false;

    // Controls beyond ChooserForm's.
    MruFrame* Frame1;
    QWidget* Picture1;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
    QPushButton* cmdNewFolder;
    QPushButton* cmdDeleteTheEmail;
    // The column of the tree, for a variant's own controls above it.
    QVBoxLayout* treeColumn;

  private:
    // Runs a handler of the user's only while the form waits, so that a
    // stray click after the decision changes nothing; errors are
    // reported, never passed to Qt.
    void WhileWaiting(const char* handlerName, const std::function<void()>& handler);
    void EndWait();

    QEventLoop* wait_ = nullptr;
    bool unloading_ = false;
    bool unloadAfterShow_ = false;
};

// The interface the owners hold over a modal form. The form stays a Qt
// window apart from it: it is handed to the event loop to delete, never
// deleted here, and one that waits is deleted once its ShowIt returns.
// While the form waits, a second question's set-up changes nothing: its
// ShowIt is refused, and the waiting question keeps its mail and list.
template <class Form>
class ModalChooser : public IChooseOutlookFolders {
  public:
    ModalChooser() : form_(new Form) {}
    ~ModalChooser() override { Release(); }
    ModalChooser(const ModalChooser&) = delete;
    ModalChooser& operator=(const ModalChooser&) = delete;

    void SetApplication(outlook::ApplicationPtr application) override {
        if (!Waiting()) {
            Get().SetApplication(application);
        }
    }
    bool ErrorOccurred() const override { return form_ && form_->ErrorOccurred(); }
    ostrevane::FolderListPtr folderList() const override {
        return form_ ? form_->folderList() : nullptr;
    }
    void SetFolderList(ostrevane::FolderListPtr list) override {
        if (!Waiting()) {
            Get().SetFolderList(std::move(list));
        }
    }
    std::string LastFolderChosen() const override { return ""; }
    void SetLastFolderChosen(const std::string&) override {}
    std::string emailTo() const override { return form_ ? form_->emailTo() : ""; }
    void SetEmailTo(const std::string& value) override {
        if (!Waiting()) {
            Get().SetEmailTo(value);
        }
    }
    std::string emailSubject() const override { return form_ ? form_->emailSubject() : ""; }
    void SetEmailSubject(const std::string& value) override {
        if (!Waiting()) {
            Get().SetEmailSubject(value);
        }
    }
    bool SingleFolderOnly() const override { return form_ && form_->SingleFolderOnly(); }
    void SetSingleFolderOnly(bool value) override {
        if (!Waiting()) {
            Get().SetSingleFolderOnly(value);
        }
    }
    void HideIt() override {
        if (form_) {
            form_->HideIt();
        }
    }
    void Terminate() override {
        if (form_) {
            form_->Terminate();
        }
    }
    bool ShowIt() override { return Get().ShowIt(); }
    void Unload() override { Release(); }

  private:
    bool Waiting() const { return form_ && form_->Waiting(); }
    // The form, loaded again when it was unloaded, as a form is at its next use.
    Form& Get() {
        if (!form_) {
            form_ = new Form;
        }
        return *form_;
    }
    void Release() {
        if (form_) {
            form_->Unload();
            form_ = nullptr;
        }
    }

    QPointer<Form> form_;
};

}  // namespace plovanex::chooser
