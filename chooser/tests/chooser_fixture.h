#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/choose_outlook_folders.h"
#include "platform/ostrevane/folder_record.h"
#include "platform/outlook/outlook.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/testkit.h"
#include "platform/widgets/message_box.h"
#include "platform/widgets/tree_view.h"

namespace ostrevane {
inline bool operator==(const FolderRecord& a, const FolderRecord& b) {
    return a.FolderName == b.FolderName && a.EntryID == b.EntryID && a.StoreID == b.StoreID;
}
inline void PrintTo(const FolderRecord& r, std::ostream* out) {
    *out << "{" << r.FolderName << ", " << r.EntryID << ", " << r.StoreID << "}";
}
inline void PrintTo(const Report& r, std::ostream* out) {
    *out << "{\"" << r.message << "\", " << r.code << ", " << r.source << "}";
}
}  // namespace ostrevane

namespace chooser_test {

// Installs the mail client's folder picker, answering with the folder at a
// path (empty: Cancel), for the test's scope.
class ScopedPicker {
  public:
    explicit ScopedPicker(const std::string& path)
        : previous_(outlook::InstallPickFolderHook(outlook::PickFolderAt(path))) {}
    ~ScopedPicker() { outlook::InstallPickFolderHook(previous_); }
    ScopedPicker(const ScopedPicker&) = delete;
    ScopedPicker& operator=(const ScopedPicker&) = delete;

  private:
    outlook::PickFolderHook previous_;
};

// A decision as FoldersChosen brought it: the records, or nothing.
using Answer = std::optional<std::vector<ostrevane::FolderRecord>>;

// The demo profile, the mail client on it, the folder index its builder
// writes, and the real search chooser asked as its owners ask it. The test
// drives the dialog's widgets by their names.
class ChooserTest : public testkit::HomeTest, protected testkit::DemoPaths {
  protected:
    static void SetUpTestSuite();
    // The search chooser, made as its owners make it.
    ChooserTest();
    // The form of another variant is found by its name; no chooser is made.
    explicit ChooserTest(plovanex::ChooserVariant variant);
    ~ChooserTest() override;

    // The index builder writes MyFolderList.xml from the profile.
    void BuildIndex();
    void WriteIndex(const std::string& text);
    std::string IndexPath() const;

    // Sets the chooser up as Send And File does and calls ShowIt.
    bool Ask(bool singleFolderOnly = true);
    // The chooser made afresh, as a new owner makes it.
    void NewChooser();

    // The dialog's form, visible or not.
    QWidget& Form();
    template <class T>
    T& Control(const char* name) {
        auto* control = Form().findChild<T*>(name);
        if (!control) {
            throw std::runtime_error(std::string("no control ") + name);
        }
        return *control;
    }
    platform::widgets::TreeView& Tree();
    void ShowTab(int tab);
    void Click(const char* button);
    void DoubleClick(const char* box);
    void TypeSearch(const std::string& text);
    // The search list's lines.
    std::vector<std::string> SearchLines();
    // Selects the line showing path, or double-clicks it.
    void PickLine(const std::string& path, bool doubleClick = false);
    // The tree node of a tree path ("Personal Folders\Clients"), opening
    // the nodes above it as a user does; nothing when there is none.
    platform::widgets::Node NodeAt(const std::string& treePath);
    void ClickNode(const std::string& treePath);
    void DoubleClickNode(const std::string& treePath);

    // The folder at a path as a record: its name and ids.
    ostrevane::FolderRecord Record(const std::string& path);
    // Entry n of the recently used list: the path and the folder's own ids.
    void SetMru(int n, const std::string& path);
    // The paths of the recently used list, as far as it goes.
    std::vector<std::string> MruList();
    std::string Get(const std::string& key);
    void Set(const std::string& key, const std::string& value);
    void SetHalvox(const std::string& key, const std::string& value);
    std::string GetHalvox(const std::string& key);
    std::vector<ostrevane::Report> Reports() { return home.Capture().Reports(); }
    std::vector<std::string> Lines(const std::string& source);

    plovanex::ChooserVariant variant_;
    testkit::ProfileBuilder kit;
    outlook::ApplicationPtr app;
    std::shared_ptr<plovanex::IChooseOutlookFoldersWithSearch> chooser;
    // Every FoldersChosen, in order.
    std::vector<Answer> answers;
    // The message boxes shown, answered OK, and the windows they opened over.
    std::vector<std::string> boxes;
    std::vector<QPointer<QWidget>> boxOwners;
    platform::widgets::ScopedMessageBoxHook boxHook;
};

}  // namespace chooser_test
