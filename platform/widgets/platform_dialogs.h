#pragma once

#include <QDialog>
#include <QPointer>
#include <string>
#include <vector>

#include "platform/mirelink/mirelink.h"
#include "platform/outlook/outlook.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform::widgets {

// What the caller of PickFolder tells the folder dialog: the line that says
// what is being chosen, the window that asks, and the folder it starts on:
// the caller's folder by its path, else a default folder by its number.
struct FolderRequest {
    std::string prompt{};
    QPointer<QWidget> owner{};
    std::string path{};
    int defaultFolder = 0;
};

// Sets the request of the PickFolder calls made during its life and puts
// the previous one back at its end.
class ScopedFolderRequest {
  public:
    explicit ScopedFolderRequest(FolderRequest request);
    ~ScopedFolderRequest();
    ScopedFolderRequest(const ScopedFolderRequest&) = delete;
    ScopedFolderRequest& operator=(const ScopedFolderRequest&) = delete;

  private:
    FolderRequest previous_;
};

// The request in force; an empty one outside every scope.
const FolderRequest& CurrentFolderRequest();

// The mail client's own folder dialog, "Select Folder": the request's prompt
// ("lblPrompt"), every folder of the profile as a tree ("treeFolders") tall
// enough for a dozen folders, and OK and Cancel; OK gives the selected
// folder. It opens over the request's owner, else the window in front, on
// the first folder of these that it finds: the request's folder (by its
// path, else its default folder), the explorer's current folder, the
// default store's Inbox.
class PickFolderDialog : public QDialog {
  public:
    explicit PickFolderDialog(outlook::NameSpacePtr ns, const FolderRequest& request = {});
    // The selected folder, or nothing.
    outlook::FolderPtr SelectedFolder() const;
    // Selects the folder at a path ("\\Store\Folder", or without the
    // leading backslashes); false when there is none.
    bool SelectPath(const std::string& path);

  private:
    void AddFolders();
    void SelectStart(const FolderRequest& request);
    bool SelectFolder(const outlook::FolderPtr& folder);
    void Select(QTreeWidgetItem* node);

    outlook::NameSpacePtr ns_;
    QLabel* prompt_;
    QTreeWidget* tree_;
    QPushButton* ok_ = nullptr;
};

// The address book: its entries ("lstEntries"), one button per recipient
// list that moves the selected entries into the chosen ones ("lstChosen").
class AddressBookDialog : public QDialog {
  public:
    AddressBookDialog(const mirelink::AddressBookRequest& request,
                      std::vector<mirelink::AddressEntryPtr> entries, QWidget* parent = nullptr);
    // Selects the entries with these SMTP addresses in the entry list.
    void SelectEntries(const std::vector<std::string>& smtpAddresses);
    // Adds the selected entries to list 1 (To), 2 (CC) or 3 (BCC).
    void AddSelected(int type);
    const std::vector<mirelink::AddressBookPick>& Picks() const { return picks_; }

  private:
    std::vector<mirelink::AddressEntryPtr> entries_;
    std::vector<mirelink::AddressBookPick> picks_;
    QListWidget* list_;
    QListWidget* chosen_;
};

// Installs both dialogs as the hooks of PickFolder and the address book,
// shown modally over the window that asks. Needs a QApplication.
void InstallQtDialogs();

}  // namespace platform::widgets
