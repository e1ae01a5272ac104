#pragma once

#include <QDialog>
#include <vector>

#include "platform/mirelink/mirelink.h"
#include "platform/outlook/outlook.h"

class QListWidget;
class QTreeWidget;

namespace platform::widgets {

// The mail client's own folder dialog: every folder of the profile as a
// tree ("treeFolders"); OK gives the selected folder.
class PickFolderDialog : public QDialog {
  public:
    explicit PickFolderDialog(outlook::NameSpacePtr ns, QWidget* parent = nullptr);
    // The selected folder, or nothing.
    outlook::FolderPtr SelectedFolder() const;
    // Selects the folder at a path ("\\Store\Folder"); false when there is none.
    bool SelectPath(const std::string& path);

  private:
    outlook::NameSpacePtr ns_;
    QTreeWidget* tree_;
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
// shown modally. Needs a QApplication.
void InstallQtDialogs();

}  // namespace platform::widgets
