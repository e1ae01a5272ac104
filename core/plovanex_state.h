#pragma once

// The add-in class's private state and procedures, shared by its source files.

#include <array>
#include <memory>
#include <string>

#include "core/choose_outlook_folders.h"
#include "core/plovanex.h"
#include "core/process_one_sent_item.h"
#include "core/rdo_lookup.h"
#include "platform/mirelink/mirelink.h"
#include "platform/ostrevane/folder_record.h"
#include "platform/outlook/outlook.h"

namespace plovanex {

// A store of the MAPI session held with its folder events, which change
// nothing.
struct StoreSink {
    mirelink::StorePtr store;
    void OnFolderCreated(const std::string&) {}
    void OnFolderDeleted(const std::string&) {}
    void OnFolderMoved(const std::string&) {}
};

inline constexpr int kStoreSinks = 10;

struct CPlovanex::State {
    explicit State(CPlovanex& owner) : self(owner) {}

    CPlovanex& self;
    outlook::ItemPtr pendingItem;
    std::shared_ptr<IChooseOutlookFolders> chooser2;
    std::shared_ptr<IChooseOutlookFolders> chooser3;
    std::shared_ptr<CProcessOneSentItem> processor;
    std::string windowsUserName;
    std::shared_ptr<IChooseOutlookFoldersWithSearch> m_frmChooseOutlookFolders4;
    std::array<StoreSink, kStoreSinks> myRDOStore;
    // Set while an item event is being worked off: an item that the
    // add-in's own move or copy brings into Sent Items meanwhile is not
    // filed again.
    bool inItemEvent = false;

    ostrevane::IHostEngine& Engine() const;
    outlook::ApplicationPtr Application() const;
    void LogToEngine(const std::string& procedure, const std::string& message);
    std::string GetWindowsUserName();

    void EnsureSettings();
    bool MapTheStore(const mirelink::StoresPtr& stores, int index);

    void ItemEvent(outlook::ItemPtr& item);
    bool ProcessSentItem(outlook::ItemPtr& item);
    std::string GetSenderNTUserName(outlook::ItemPtr& item);

    void SendAndFileWithSearch(outlook::ItemPtr& item);
    void FoldersChosen(ostrevane::FolderListPtr& folderList);
    bool SendAndFileModal(outlook::ItemPtr& item, ChooserVariant variant,
                          const std::string& procedure);
    bool UsingWordAsEditor(const std::string& version);

    // The folder index upkeep; no entry point calls it. AddFolder gives
    // whether the row was written.
    void RefreshFolders(const mirelink::SessionPtr& session, const std::string& EntryID,
                        const std::string& StoreID, bool& addIt);
    bool AddFolder(const mirelink::FolderPtr& folder);
    void RemoveFolder(const mirelink::FolderPtr& folder);
    std::string LoadIndexFile(const std::string& path);
    bool SaveIndexFile(const std::string& path, const std::string& text);
};

// The number the first two characters of a version text form: "9." gives 9.
int MajorVersion(const std::string& version);

}  // namespace plovanex
