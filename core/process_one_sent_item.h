#pragma once

#include <memory>
#include <string>

#include "core/choose_outlook_folders.h"
#include "platform/ostrevane/folder_record.h"
#include "platform/ostrevane/module.h"
#include "platform/outlook/fwd.h"
#include "platform/visibility.h"

namespace plovanex {

// The processor's public interface, as other libraries reach it when they
// create the class by its name "CProcessOneSentItem".
class PLATFORM_API _CProcessOneSentItem {
  public:
    virtual ~_CProcessOneSentItem() = default;
    virtual void SetolApp(outlook::ApplicationPtr application) = 0;
    // Files one item by the modes; True when a mode filed it or handed it to
    // the chooser.
    virtual bool processOneSentItem(outlook::ItemPtr& olItem) = 0;
    // Moves or copies the item to the folder of these ids.
    virtual bool MoveIt(outlook::ItemPtr& olItem, std::string& olToFolderEntryId,
                        std::string& olToFolderStoreId, std::string& whoMovedIt) = 0;
    // Asks the user through the lazy modal chooser and waits for the answer;
    // True with the chosen records in folderList. Nothing in the system asks.
    virtual bool PickOutlookFolders3(outlook::ApplicationPtr& olApp, bool& multiple,
                                     ostrevane::FolderListPtr& folderList, std::string& emailTo,
                                     std::string& emailSubject) = 0;
};

// Decides where one sent item goes and has it filed.
class CProcessOneSentItem : public ostrevane::ModuleObject, public _CProcessOneSentItem {
  public:
    CProcessOneSentItem();
    // Class_Terminate: releases the remembered item and the chooser forms.
    ~CProcessOneSentItem() override;

    void SetolApp(outlook::ApplicationPtr application) override;
    bool processOneSentItem(outlook::ItemPtr& olItem) override;
    bool MoveIt(outlook::ItemPtr& olItem, std::string& olToFolderEntryId,
                std::string& olToFolderStoreId, std::string& whoMovedIt) override;

    // The confirmation prompt through the chooser.
    bool PickOutlookFolders4(outlook::ApplicationPtr& olApp, bool& multiple,
                             ostrevane::FolderListPtr& folderList, std::string& emailTo,
                             std::string& emailSubject);
    bool PickOutlookFolders3(outlook::ApplicationPtr& olApp, bool& multiple,
                             ostrevane::FolderListPtr& folderList, std::string& emailTo,
                             std::string& emailSubject) override;
    void ProcessQueuedItems();
    // True while a question of this processor is open. A search question
    // whose dialog is gone without an answer is ended here.
    bool QuestionOpen();

  private:
    // Mode 1: the prompt, or the shared mailbox, the account overrides, the
    // sending account's Sent Items and the user's default folder. `step` is
    // the caller's step number, kept current for its error report.
    bool ConfirmationMode(outlook::ItemPtr& olItem, long& step);
    // One account override (pieces parted by ";") against the item's sender.
    bool ProcessOverrides(const std::string& account, outlook::ItemPtr& olItem);

    // Mode 2 (keyword_mode.cpp): True when a keyword rule filed the item.
    // Traps and reports its own errors; never throws.
    bool ScanForKeywords(outlook::ItemPtr& olItem);
    // Mode 3 (contact_mode.cpp): True when a contact-association rule filed
    // the item. Traps and reports its own errors; never throws.
    bool LookForContacts(outlook::ItemPtr& olItem);

    // The answer of the search chooser; the list is nothing after a failed show.
    void m_frmChooseOutlookFolders4_FoldersChosen(ostrevane::FolderListPtr& folderList);
    // Starts a question unless one is open (then the asked-while-busy flag
    // is set and the result is False).
    bool StartQuestion(bool search);
    // Ends the open search question: not busy, no remembered item.
    void EndQuestion();

    // The Outlook folder of these ids, or nothing; never throws.
    outlook::FolderPtr GetOutlookFolderFromID(const std::string& entryId,
                                              const std::string& storeId);

    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace plovanex
