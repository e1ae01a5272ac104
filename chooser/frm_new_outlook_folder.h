#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace plovanex::chooser {

// The modal dialog that asks the name of a new folder.
class frmNewOutlookFolder : public QDialog {
  public:
    // Opens over `owner`, the chooser that asks.
    explicit frmNewOutlookFolder(QWidget* owner = nullptr);

    // What the new folder will hold and its parent's name, set before ShowIt.
    void SetFolderHolds(const std::string& text);
    void SetFolderParent(const std::string& name);
    // Shows the dialog modally; when it has closed, the answer: the name as
    // typed, or empty for Cancel.
    std::string ShowIt();
    void Terminate();

  protected:
    // A close by the window frame (or Escape) counts as Cancel, so that no
    // folder is made under a name left from an earlier use.
    void reject() override;

  private:
    void cmdOk_Click();
    void cmdCancel_Click();

    std::string NewFolderName;
    QLineEdit* txtNewOutlookFolderName;
    QLabel* lblNewOutlookFolderHolds;
    QLabel* lblNewOutlookFolderParent;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
};

// The text for a parent's DefaultItemType: "Mail Items", "Contact Items", ...
std::string FolderHoldsText(int defaultItemType);

}  // namespace plovanex::chooser

#include <functional>

#include "platform/outlook/fwd.h"
#include "platform/widgets/tree_view.h"

namespace plovanex::chooser {

// cmdNewFolder_Click of a chooser: asks the name in frmNewOutlookFolder and
// makes a subfolder of the folder of the node clicked last, with its node.
struct NewFolderCommand {
    platform::widgets::TreeView& tree;
    frmNewOutlookFolder& dialog;
    std::string olAppVersion;
    outlook::NameSpacePtr olNameSpace;
    // The parent: the node clicked last.
    platform::widgets::Node clickedNode;
    // The new node becomes the tree's selected node.
    bool selectNewNode = true;
    // "New folder created" is logged.
    bool logCreated = true;
    // The parent is the mail client's own folder of the node's ids, not the
    // MAPI session's.
    bool outlookParent = false;
    // The StoreID a node carries; its Tag unless a variant says otherwise.
    std::function<std::string(const platform::widgets::Node&)> storeIdOf{};
    // The Tag of the new node; its StoreID unless a variant says otherwise.
    std::function<std::string(const platform::widgets::Node& parent, const std::string& storeId)>
        tagOf{};
    // Reads the parent's level when the tree has not read it yet, so that
    // the new node does not stand beside the placeholder, which would keep
    // the level unread for good.
    std::function<void(const platform::widgets::Node& parent)> readLevel{};

    // Reports its errors (source "Plovanex.NewFolder") and never raises.
    void Run();
};

}  // namespace plovanex::chooser
