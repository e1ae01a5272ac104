#include "host/demo_settings.h"

#include "common/settings_keys.h"
#include "host/profile_access.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/settings/settings_store.h"

namespace host {

namespace {

namespace keys = common::keys;

// The demo's rules, under keys of their own.
constexpr int kKeywordRule = 101;
constexpr int kContactRule = 202;

// Writes a folder's path text and ids under three keys.
void SaveFolder(mailstore::Profile& profile, const std::string& path, const std::string& nameKey,
                const std::string& entryKey, const std::string& storeKey) {
    auto row = profile.Folder(FolderAt(profile, path));
    auto app = ostrevane::SettingsHelper().SettingsAppName();
    auto text = profile.FolderPath(row.id).substr(2);
    platform::settings::SaveSetting(app, keys::SectionPlovanex, nameKey, text);
    platform::settings::SaveSetting(app, keys::SectionPlovanex, entryKey, row.entryId);
    platform::settings::SaveSetting(app, keys::SectionPlovanex, storeKey,
                                    profile.Store(row.storeId).entryId);
}

}  // namespace

void WriteDemoSettings(mailstore::Profile& profile) {
    SaveFolder(profile, "\\\\Personal Folders\\Archive\\2026", keys::MoveToFolderName,
               keys::MoveToFolderEntryId, keys::MoveToFolderStoreId);
    auto app = ostrevane::SettingsHelper().SettingsAppName();
    platform::settings::SaveSetting(app, keys::SectionPlovanex, keys::FromAccount(1),
                                    "team@example.com");
    SaveFolder(profile, "\\\\Personal Folders\\Clients\\Globex", keys::FromOutlookFolderName(1),
               keys::FromOutlookFolderEntryId(1), keys::FromOutlookFolderStoreId(1));

    // A keyword rule and a contact rule, as the rule editors write them.
    const auto save = [&app](const std::string& key, const std::string& value) {
        platform::settings::SaveSetting(app, keys::SectionPlovanex, key, value);
    };
    const auto rule = [](int key, const std::string& stem, int i = 0) {
        return i == 0 ? keys::RuleValueName(key, stem) : keys::RuleValueName(key, stem, i);
    };
    save(rule(kKeywordRule, keys::Keywords), "Acme");
    save(rule(kKeywordRule, keys::KeywordFolderCount), "1");
    SaveFolder(profile, "\\\\Personal Folders\\Clients\\Acme",
               rule(kKeywordRule, keys::KeywordFolderName, 1),
               rule(kKeywordRule, keys::KeywordFolderEntryId, 1),
               rule(kKeywordRule, keys::KeywordFolderStoreId, 1));
    save(rule(kContactRule, keys::AssocContactCount), "1");
    save(rule(kContactRule, keys::AssocContactName, 1), "Project Lead");
    save(rule(kContactRule, keys::AssocContactTag, 1), "lead@example.com");
    save(rule(kContactRule, keys::AssocFolderCount), "1");
    SaveFolder(profile, "\\\\Personal Folders\\Projects\\Apollo",
               rule(kContactRule, keys::AssocFolderName, 1),
               rule(kContactRule, keys::AssocFolderEntryId, 1),
               rule(kContactRule, keys::AssocFolderStoreId, 1));
    // Keywords first, then contacts, then the default folder and overrides.
    save(keys::Order(1), std::to_string(keys::ModeKeyword));
    save(keys::Order(2), std::to_string(keys::ModeContact));
    save(keys::Order(3), std::to_string(keys::ModeConfirmation));
}

}  // namespace host
