// First-run settings, the index builder's start and the store watch.

#include <dlfcn.h>

#include <filesystem>

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "core/index_builder.h"
#include "core/install_folder.h"
#include "core/plovanex_state.h"
#include "platform/error.h"
#include "platform/os/os.h"

namespace plovanex {

namespace keys = common::keys;
namespace fs = std::filesystem;

fs::path InstallFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&InstallFolder), &info) == 0 || !info.dli_fname) {
        throw platform::Error("The folder of the add-in library is not known");
    }
    return fs::absolute(info.dli_fname).parent_path();
}

void CPlovanex::State::EnsureSettings() {
    Trapped({common::Source("EnsureSettings"), 1, false}, [&](long&) {
        SaveSetting(keys::RunNow, keys::RunNowFirstRun);
        SaveSetting(keys::KeepGoingWanted, keys::KeepGoingWantedFirstRun);
        auto dataFolder = fs::path(Helper().GetDataFolder(0));
        if (vb::ToInteger(GetSetting(keys::Order(1), int{keys::OrderDefaultAddIn})) ==
            keys::OrderDefaultAddIn) {
            fs::copy_file(InstallFolder() / "FolderList.xml", dataFolder / "FolderList.xml",
                          fs::copy_options::overwrite_existing);
            SaveSetting(keys::Order(1), keys::Order1FirstRun);
            for (int n = 2; n <= keys::OrderCount; ++n) {
                SaveSetting(keys::Order(n), keys::OrderOtherFirstRun);
            }
            SaveSetting(keys::SharedDefaults, keys::SharedDefaultsFirstRun);
            SaveSetting(keys::PromptOutlookFolder, keys::PromptOutlookFolderFirstRun);
            SaveSetting(keys::MoveWanted, keys::MoveWantedFirstRun);
            SaveSetting(keys::OverrideSendButton, keys::OverrideSendButtonFirstRun);
            SaveSetting(keys::IndexPublicFoldersWanted, keys::IndexPublicFoldersWantedFirstRun);
            SaveSetting(keys::ProcessPriority, keys::ProcessPriorityFirstRun);
            SaveSetting(keys::DelayLength, keys::DelayLengthFirstRun);
            auto application = Application();
            outlook::ObjectPtr sentItems =
                application->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderSentMail);
            auto version = application->Version();
            SaveSetting(keys::MoveToFolderName, self.GetFullOutlookPath(version, sentItems));
            auto& folder = static_cast<outlook::MAPIFolder&>(*sentItems);
            SaveSetting(keys::MoveToFolderEntryId, folder.EntryID());
            SaveSetting(keys::MoveToFolderStoreId, folder.StoreID());
        }
        std::error_code ec;
        if (!fs::exists(dataFolder / "MyFolderList.xml", ec)) {
            StartIndexBuilder();
        }
        auto session = mirelink::CreateSession();
        session->Logon();
        if (!session->LoggedOn()) {
            session->SetMAPIOBJECT(Application()->GetNamespace("MAPI")->MAPIOBJECT());
        }
        auto stores = session->Stores();
        int count = stores->Count();
        for (int index = 1; index <= count; ++index) {
            MapTheStore(stores, index);
        }
    });
}

bool CPlovanex::State::MapTheStore(const mirelink::StoresPtr& stores, int index) {
    try {
        auto store = stores->Item(index);
        for (std::size_t n = 0; n < myRDOStore.size(); ++n) {
            if (!myRDOStore[n].store) {
                myRDOStore[n].store = store;
                if (n == 0) {
                    LogToEngine("EnsureSettings", "Mapping store " + store->Name());
                }
                break;
            }
        }
    } catch (const std::exception& e) {
        ReportError(std::string("Warning: Could not map the store.  Reason: ") + e.what(), 0,
                    common::Source("MapTheStore"));
    }
    return false;
}

}  // namespace plovanex
