#pragma once

#include <QGroupBox>
#include <QLineEdit>
#include <array>
#include <functional>
#include <string>

#include "platform/mirelink/fwd.h"
#include "platform/ostrevane/folder_record.h"

class QCheckBox;

namespace plovanex::chooser {

inline constexpr int kMruCount = 15;
inline constexpr char kMruFrameCaption[] = "Recently Used Folders (double click to select)";
inline constexpr char kShowRightsCaption[] = "Show right hand side of above folder paths";

// The recently used folders in the settings store: MRUFolder<n>,
// MRUEntryId<n> and MRUStoreId<n> for n = 1 to 15, entry 1 the newest.

// The paths of the 15 entries.
std::array<std::string, kMruCount> MruPaths();
// Entry n as a record (its path, EntryID and StoreID), read now.
ostrevane::FolderRecordPtr MruRecord(int n);
// The update at a commit: a path already listed (the scan stops at the
// first empty entry) keeps the list as it is; another goes first and the
// oldest drops out. Either way lastFolderPath becomes chosenPath.
void AddToMRUList(const std::string& chosenPath, const std::string& entryID,
                  const std::string& storeID, std::string& lastFolderPath);
// Drops, from entry 15 up to entry 1, every entry whose path the session
// does not resolve (an empty one included); later entries move up.
void PurgeMRUList(const mirelink::SessionPtr& session);

// A recently used folder's box: a text box with a double click and a
// Validate (the focus leaving it).
class MruBox : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;
    std::function<void()> DblClick;
    std::function<void()> Validate;

    // The caret after the last character: the box shows the end of its text.
    void ScrollToEnd();
    // The caret after the first character, with the text shown from its
    // start.
    void ScrollToStart();
    // SelLength 0 and bold on or off.
    void Highlight(bool bold);

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    bool startPending_ = false;
};

// The frame of 15 boxes and the check box "Show right hand side of above
// folder paths", as each variant shows it (once per tab in the search
// variant). Box n shows entry n.
class MruFrame : public QGroupBox {
  public:
    // The names: of the frame, of the boxes without their number
    // ("txtMRUFolder"), of the check box.
    MruFrame(QWidget* parent, const char* frameName, const char* boxName, const char* checkName);

    MruBox* Box(int n) const { return boxes_[static_cast<std::size_t>(n - 1)]; }
    QCheckBox* ShowRights() const { return check_; }

    // Each box gets entry n as its text, bold off, then entry n as its tool tip.
    void Fill(const std::array<std::string, kMruCount>& paths);
    void SetMRUScrollRight();
    void SetMRUScrollLeft();
    // The check box set from ShowRightsWanted, with the scroll it asks for.
    void ApplyShowRights(int value);

    // Raised by a double click on box n.
    std::function<void(int n)> DblClick;

  private:
    // chkShowRights_Click: scrolls as the box now says and saves its value
    // as ShowRightsWanted.
    void ShowRightsClick();

    std::array<MruBox*, kMruCount> boxes_{};
    QCheckBox* check_ = nullptr;
};

}  // namespace plovanex::chooser
