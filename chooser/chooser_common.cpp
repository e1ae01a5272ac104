#include "chooser/chooser_common.h"

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "core/rdo_lookup.h"
#include "platform/error.h"
#include "platform/settings/settings_store.h"
#include "platform/widgets/platform_dialogs.h"

#include <atomic>

namespace plovanex::chooser {

namespace keys = common::keys;

namespace {
std::atomic<int> aliveForms{0};
}  // namespace

CountedForm::CountedForm() {
    ++aliveForms;
}

CountedForm::~CountedForm() {
    --aliveForms;
}

int CountedForm::Alive() {
    return aliveForms;
}

std::string OutlookVersionText(const std::string& version) {
    if (!version.empty() && version.front() == '9') {
        return "9";
    }
    return version.substr(0, 2);
}

mirelink::SessionPtr NewSession(const std::string& olAppVersion,
                                const outlook::NameSpacePtr& olNameSpace) {
    auto session = mirelink::CreateSession();
    StartSession(*session, olAppVersion, olNameSpace);
    return session;
}

std::string GetHalvoxSetting(const std::string& key, int defaultNumber) {
    return platform::settings::GetSetting(Helper().SettingsAppName(), keys::SectionHalvoxSoftware,
                                          key, defaultNumber);
}

std::string GetHalvoxSetting(const std::string& key, bool defaultFlag) {
    return platform::settings::GetSetting(Helper().SettingsAppName(), keys::SectionHalvoxSoftware,
                                          key, defaultFlag);
}

void SaveHalvoxSetting(const std::string& key, const std::string& value) {
    platform::settings::SaveSetting(Helper().SettingsAppName(), keys::SectionHalvoxSoftware, key,
                                    value);
}

bool TakeFlushRequest() {
    // "False" goes back before the value is read as a Boolean: a value that
    // is none cannot stop every show.
    const std::string flush = GetHalvoxSetting(keys::FlushOutlookFolderCachePlovanex,
                                               keys::FlushOutlookFolderCachePlovanexDefault);
    SaveHalvoxSetting(keys::FlushOutlookFolderCachePlovanex, keys::FalseText);
    return vb::ToBoolean(flush);
}

ostrevane::FolderRecordPtr NewRecord(const std::string& folderName, const std::string& entryId,
                                     const std::string& storeId) {
    return std::make_shared<ostrevane::FolderRecord>(
        ostrevane::FolderRecord{folderName, entryId, storeId});
}

void ApplySingleFolderOnly(platform::widgets::TreeView& tree, QWidget& form, bool value) {
    tree.SetIndentation(350);
    tree.SetCheckboxes(!value);
    tree.SetSingleSel(value);
    tree.SetSorted(false);
    tree.SetLineStyle(platform::widgets::tvwRootLines);
    if (!value) {
        form.setWindowTitle(kSeveralFoldersCaption);
    }
}

bool PickWithNativePicker(const outlook::NameSpacePtr& olNameSpace,
                          ostrevane::FolderListPtr& folderList) {
    const platform::widgets::ScopedFolderRequest request(
        {.prompt = "Choose the folder to file this mail in."});
    auto folder = Need(olNameSpace).PickFolder();
    if (!folder) {
        return false;
    }
    auto list = std::make_shared<ostrevane::FolderList>();
    list->push_back(NewRecord(folder->Name(), folder->EntryID(), folder->StoreID()));
    folderList = list;
    return true;
}

bool NativePickFolder(const outlook::NameSpacePtr& olNameSpace,
                      ostrevane::FolderListPtr& folderList) {
    bool result = false;
    Trapped({"Plovanex.NativePickFolder", 1, false},
            [&](long&) { result = PickWithNativePicker(olNameSpace, folderList); });
    return result;
}

ostrevane::FolderListPtr DeletedItemsList(const mirelink::SessionPtr& session) {
    auto folder = Need(session).GetDefaultFolder(outlook::olFolderDeletedItems);
    auto list = std::make_shared<ostrevane::FolderList>();
    list->push_back(NewRecord(folder->Name(), folder->EntryID(), folder->StoreID()));
    return list;
}

outlook::FolderPtr GetOutlookFolderFromID(const outlook::NameSpacePtr& olNameSpace,
                                          const std::string& entryId, const std::string& storeId) {
    if (!olNameSpace) {
        return nullptr;
    }
    for (const std::string* store : {static_cast<const std::string*>(nullptr), &storeId}) {
        try {
            if (auto folder = olNameSpace->GetFolderFromID(entryId, store ? *store : "")) {
                return folder;
            }
        } catch (const std::exception&) {
        }
    }
    return nullptr;
}

std::string FolderPath(const std::string& olAppVersion, const outlook::ObjectPtr& folder) {
    std::string result;
    try {
        auto& object = Need(folder);
        auto* asFolder = dynamic_cast<outlook::MAPIFolder*>(&object);
        if (!asFolder) {
            throw platform::Error("Object doesn't support this property or method");
        }
        result = asFolder->Name();
        if (object.Class() != outlook::olFolder) {
            return result;
        }
        if (olAppVersion.empty() || olAppVersion.front() != '1') {
            auto parent = asFolder->Parent();
            if (!parent || parent->Class() != outlook::olFolder) {
                return asFolder->Name();
            }
            return FolderPath(olAppVersion, parent) + "\\" + asFolder->Name();
        }
        std::string path = asFolder->FolderPath();
        while (!path.empty() && path.front() == '\\') {
            path.erase(0, 1);
        }
        return path;
    } catch (const std::exception& e) {
        ReportError(common::ErrorOccurred(e.what()), 1, common::Source("FolderPath"));
        ReportError("Type: " + (folder ? folder->TypeName() : std::string("Nothing")), 1,
                    common::Source("FolderPath"));
    }
    return result;
}

}  // namespace plovanex::chooser
