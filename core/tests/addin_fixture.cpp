#include "core/tests/addin_fixture.h"

#include "common/settings_keys.h"
#include "core/globals.h"
#include "platform/settings/settings_store.h"

namespace plovanex_test {

namespace keys = common::keys;

AddInTest::AddInTest() {
    plovanex::Library() = {};
    kit.Demo();
}

AddInTest::~AddInTest() {
    modules.reset();
}

void AddInTest::Start(const std::string& version) {
    app = outlook::CreateApplication(kit.Profile(), version);
    modules = std::make_unique<host::ModuleHost>(app);
    modules->Startup(addin);
    auto ns = app->GetNamespace("MAPI");
    modules->ExplorerOpen(app->OpenExplorer(ns->GetDefaultFolder(outlook::olFolderInbox)));
}

outlook::ItemPtr AddInTest::Compose(const std::string& subject, const std::string& from,
                                    const std::string& billing) {
    auto item = app->CreateItem(outlook::olMailItem);
    item->SetTo("lead@example.com");
    item->SetSubject(subject);
    item->SetSendUsingAccount(from);
    item->SetBillingInformation(billing);
    modules->InspectorOpen(item->Display());
    return item;
}

outlook::ItemPtr AddInTest::SendMail(const std::string& subject, const std::string& from,
                                     const std::string& billing) {
    auto item = Compose(subject, from, billing);
    item->Send();
    return item;
}

outlook::ItemPtr AddInTest::ItemOf(mailstore::Id id) {
    auto& profile = *kit.Profile();
    auto row = profile.Item(id);
    return app->GetNamespace("MAPI")->GetItemFromID(row.entryId,
                                                    profile.Store(row.storeId).entryId);
}

outlook::FolderPtr AddInTest::FolderOf(const std::string& path) {
    auto [entryId, storeId] = Ids(path);
    return app->GetNamespace("MAPI")->GetFolderFromID(entryId, storeId);
}

std::vector<std::string> AddInTest::FoldersOf(const outlook::ItemPtr& item) {
    auto& profile = *kit.Profile();
    auto parent = item->Parent();
    auto id = profile.ItemByEntryId(item->EntryID(), parent ? parent->StoreID() : "");
    std::vector<std::string> paths;
    if (!id) {
        return paths;
    }
    for (auto folder : testkit::FoldersHolding(profile, profile.Item(*id).internetMessageId)) {
        paths.push_back(profile.FolderPath(folder));
    }
    return paths;
}

std::pair<std::string, std::string> AddInTest::Ids(const std::string& path) {
    auto& profile = *kit.Profile();
    auto row = profile.Folder(kit.FolderId(path));
    return {row.entryId, profile.Store(row.storeId).entryId};
}

void AddInTest::Set(const std::string& key, const std::string& value) {
    plovanex::SaveSetting(key, value);
}

std::string AddInTest::Get(const std::string& key) {
    return plovanex::GetSetting(key, "<absent>");
}

void AddInTest::SetDefaultFolder(const std::string& path) {
    auto [entryId, storeId] = Ids(path);
    Set(keys::MoveToFolderName, path.substr(2));
    Set(keys::MoveToFolderEntryId, entryId);
    Set(keys::MoveToFolderStoreId, storeId);
}

void AddInTest::SetOverride(int n, const std::string& account, const std::string& path) {
    auto [entryId, storeId] = Ids(path);
    Set(keys::FromAccount(n), account);
    Set(keys::FromOutlookFolderEntryId(n), entryId);
    Set(keys::FromOutlookFolderStoreId(n), storeId);
}

std::vector<std::string> AddInTest::Lines(const std::string& procedure) {
    std::vector<std::string> out;
    for (const auto& line : home.Capture().Lines()) {
        if (line.application == "Plovanex" && line.source == procedure) {
            out.push_back(line.text);
        }
    }
    return out;
}

void AddInTest::RaiseItemEvent(outlook::ItemPtr item, std::int32_t kind, bool otherFolder) {
    auto [entryId, storeId] = Ids(otherFolder ? kArchive : kSentItems);
    bool cancel = true;
    ostrevane::ModuleResult result;
    addin->QvItemEvent(kind, item, cancel, entryId, storeId, result);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(result, ostrevane::ModuleResult(0));
}

}  // namespace plovanex_test
