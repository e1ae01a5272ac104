#pragma once

// The processor's own state, shared by the files that implement it.

#include <memory>
#include <string>

#include "core/choose_outlook_folders.h"
#include "core/process_one_sent_item.h"
#include "platform/outlook/outlook.h"

namespace plovanex {

struct CProcessOneSentItem::State {
    outlook::ApplicationPtr olApp;
    // The item that waits for the search chooser's answer.
    outlook::ItemPtr rememberedItem;
    // A question of this processor is open.
    bool busy = false;
    // The open question is the search chooser's (not the modal one's).
    bool searchQuestion = false;
    // Inside the search chooser's ShowIt.
    bool showing = false;
    // FoldersChosen came during the current ShowIt.
    bool answered = false;
    std::shared_ptr<IChooseOutlookFolders> frmChooseOutlookFolders3;
    std::shared_ptr<IChooseOutlookFoldersWithSearch> m_frmChooseOutlookFolders4;
};

// The value-name stems of one kind of rule's target folders, and the name
// of the procedure that files by them (its MoveIt label and report source).
struct RuleFolderStems {
    const char* count;
    const char* name;
    const char* entryId;
    const char* storeId;
    const char* procedure;
};

// Files the item into every folder of the rule whose value names begin with
// prefix, one MoveIt each; the result is that of the last. Absent values read
// as "0". Reports its errors and then gives the result it had; never throws.
bool MoveToRuleFolders(CProcessOneSentItem& processor, const std::string& prefix,
                       outlook::ItemPtr& olItem, const RuleFolderStems& stems);

}  // namespace plovanex
