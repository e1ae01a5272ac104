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
                             std::string& emailSubject);
    void ProcessQueuedItems();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace plovanex
