#pragma once

// The processor's own state, shared by the files that implement it.

#include <memory>

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

}  // namespace plovanex
