#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chooser/tests/chooser_fixture.h"

namespace chooser_test {

// A modal chooser over the demo profile, asked as its callers ask it. The
// user's doings run inside ShowIt's wait, through the form's widgets.
class ModalTest : public ChooserTest {
  protected:
    explicit ModalTest(plovanex::ChooserVariant variant);
    ~ModalTest() override;

    // The chooser made afresh, as its owner makes it at first use.
    void NewModal();
    // Sets the chooser up (a new empty list, To and Subject) and calls
    // ShowIt; doings run inside the wait. A wait that the doings leave open
    // fails the test and is cancelled, so that no test hangs.
    bool AskModal(const std::function<void()>& doings, bool singleFolderOnly = true);
    // The records of the chooser's folderList.
    std::vector<ostrevane::FolderRecord> Chosen();
    // The recently used list: these paths with their folders' ids, the rest
    // empty.
    void SetMruList(const std::vector<std::string>& paths);
    // The tree's selected node, or nothing.
    platform::widgets::Node Selected();

    std::shared_ptr<plovanex::IChooseOutlookFolders> modal;
    // The list the caller handed to the last ShowIt.
    ostrevane::FolderListPtr callerList;
};

}  // namespace chooser_test
