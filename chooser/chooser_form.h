#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "chooser/chooser_common.h"
#include "chooser/frm_new_outlook_folder.h"
#include "platform/ostrevane/folder_record.h"
#include "platform/outlook/fwd.h"
#include "platform/widgets/image_list.h"
#include "platform/widgets/tree_view.h"

class QGridLayout;
class QLabel;
class QLineEdit;

namespace plovanex::chooser {

// What every chooser form holds: the members of the chooser interface that
// only keep a value, the decision flags, the mail's To and Subject boxes,
// and the folder tree with its image list.
class ChooserForm : public QWidget {
  public:
    ~ChooserForm() override;

    // Keeps the version text and the namespace; the application itself is
    // not kept.
    void SetApplication(const outlook::ApplicationPtr& application);
    bool ErrorOccurred() const { return ErrorOccurred_; }
    ostrevane::FolderListPtr folderList() const { return folderList_; }
    void SetFolderList(ostrevane::FolderListPtr list) { folderList_ = std::move(list); }
    std::string emailTo() const { return emailTo_; }
    void SetEmailTo(const std::string& value) { emailTo_ = value; }
    std::string emailSubject() const { return emailSubject_; }
    void SetEmailSubject(const std::string& value) { emailSubject_ = value; }
    bool SingleFolderOnly() const { return SingleFolderOnly_; }
    void SetSingleFolderOnly(bool value);

  protected:
    explicit ChooserForm(const char* formName);

    // The layout of the To and Subject lines.
    QGridLayout* MailHeader();
    // The mail's To and Subject into their boxes, also as tool tips.
    void ShowMailTexts();
    // Shows the form in front and above the window that asked (the active
    // window); at its first show over that window, later where it was left.
    void ShowInFront();
    // The form's new-folder dialog, made at its first use, and again when
    // it was deleted (the program's windows may be deleted from outside).
    frmNewOutlookFolder& NewFolderForm();

    // State of the form, kept between shows.
    std::string olAppVersion;
    outlook::NameSpacePtr olNameSpace;
    bool SingleFolderOnly_ = false;
    std::string emailTo_;
    std::string emailSubject_;
    ostrevane::FolderListPtr folderList_;
    bool Cancelled = false;
    bool DeleteTheEmail = false;
    bool MruChosen = false;
    bool ErrorOccurred_ = false;
    platform::widgets::Node ClickedNode;
    std::string LastFolderPath;
    bool ImagesLoaded = false;

    // Controls.
    QLabel* lblTo;
    QLineEdit* txtEmailTo;
    QLabel* lblSubject;
    QLineEdit* txtSubject;
    platform::widgets::TreeView* TreeView1;
    platform::widgets::ImageList ImageList1;

  private:
    QPointer<frmNewOutlookFolder> newFolderForm_;
    CountedForm counted_;
};

}  // namespace plovanex::chooser
