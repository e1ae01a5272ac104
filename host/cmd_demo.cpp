#include <unistd.h>

#include <filesystem>
#include <iomanip>
#include <iostream>

#include "common/settings_keys.h"
#include "host/builds_of_this_run.h"
#include "host/commands.h"
#include "host/engine.h"
#include "host/profile_access.h"
#include "platform/error.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/settings/settings_store.h"

namespace host {

namespace {

namespace keys = common::keys;

// The folder of the host program, where the add-in library lies beside it.
std::filesystem::path HostFolder() {
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        throw platform::Error("the host's own folder is not known: " + ec.message());
    }
    return self.parent_path();
}

struct DemoMail {
    std::string subject;
    std::string to;
    std::string from;    // sending mailbox; empty for the profile owner's
    std::string saveIn;  // the folder the user picked in the mail window
};

// Filed, in turn: by the default folder, the account override, the sender's
// own pick, the contact rule, the keyword rule (also ahead of the contact
// rule), and the override again.
const DemoMail kMails[] = {
    {"Quarterly figures", "contact@acme.example", "", ""},
    {"Desk rota for May", "user@example.com", "team@example.com", ""},
    {"Launch plan", "contact@acme.example", "", "\\\\Personal Folders\\Projects\\Apollo"},
    {"Weekly notes", "lead@example.com; contact@acme.example", "", ""},
    {"Acme price list", "contact@acme.example", "", ""},
    {"Acme visit with the lead", "lead@example.com", "", ""},
    {"Minutes of the desk meeting", "user@example.com", "team@example.com", ""},
};

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

void RunDemo(const std::string& profileName, const std::string& outlookVersion) {
    auto profile = mailstore::Profile::Exists(profileName) ? OpenProfile(profileName)
                                                           : CreateProfile(profileName);
    if (profile->Stores().empty()) {
        mailstore::BuildDemoLayout(*profile);
    }
    auto library = HostFolder() / "libPlovanex.so";
    if (InstallModule(library).empty()) {
        throw platform::Error("the add-in " + library.string() + " could not be registered");
    }

    auto application = outlook::CreateApplication(profile, outlookVersion);
    auto ns = application->GetNamespace("MAPI");
    auto explorer = application->OpenExplorer(ns->GetDefaultFolder(outlook::olFolderInbox));
    BuildsOfThisRun builds;
    ModuleHost modules(application);
    modules.Startup();
    // The add-in writes its first-run settings here.
    modules.ExplorerOpen(explorer);

    SaveFolder(*profile, "\\\\Personal Folders\\Archive\\2026", keys::MoveToFolderName,
               keys::MoveToFolderEntryId, keys::MoveToFolderStoreId);
    auto app = ostrevane::SettingsHelper().SettingsAppName();
    platform::settings::SaveSetting(app, keys::SectionPlovanex, keys::FromAccount(1),
                                    "team@example.com");
    SaveFolder(*profile, "\\\\Personal Folders\\Clients\\Globex", keys::FromOutlookFolderName(1),
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
    SaveFolder(*profile, "\\\\Personal Folders\\Clients\\Acme",
               rule(kKeywordRule, keys::KeywordFolderName, 1),
               rule(kKeywordRule, keys::KeywordFolderEntryId, 1),
               rule(kKeywordRule, keys::KeywordFolderStoreId, 1));
    save(rule(kContactRule, keys::AssocContactCount), "1");
    save(rule(kContactRule, keys::AssocContactName, 1), "Project Lead");
    save(rule(kContactRule, keys::AssocContactTag, 1), "lead@example.com");
    save(rule(kContactRule, keys::AssocFolderCount), "1");
    SaveFolder(*profile, "\\\\Personal Folders\\Projects\\Apollo",
               rule(kContactRule, keys::AssocFolderName, 1),
               rule(kContactRule, keys::AssocFolderEntryId, 1),
               rule(kContactRule, keys::AssocFolderStoreId, 1));
    // Keywords first, then contacts, then the default folder and overrides.
    save(keys::Order(1), std::to_string(keys::ModeKeyword));
    save(keys::Order(2), std::to_string(keys::ModeContact));
    save(keys::Order(3), std::to_string(keys::ModeConfirmation));

    std::cout << "Keyword Acme: Personal Folders\\Clients\\Acme\n"
              << "Contact Project Lead: Personal Folders\\Projects\\Apollo\n"
              << "Default folder: Personal Folders\\Archive\\2026\n"
              << "Mail sent from team@example.com: Personal Folders\\Clients\\Globex\n"
              << "Order: keywords, contacts, then default folder and overrides\n\n";
    std::cout << std::left << std::setw(30) << "Subject"
              << "Folders holding it\n";
    for (const auto& mail : kMails) {
        auto item = application->CreateItem(outlook::olMailItem);
        item->SetTo(mail.to);
        item->SetSubject(mail.subject);
        item->SetSendUsingAccount(mail.from);
        if (!mail.saveIn.empty()) {
            auto row = profile->Folder(FolderAt(*profile, mail.saveIn));
            item->SetSaveSentMessageFolder(
                ns->GetFolderFromID(row.entryId, profile->Store(row.storeId).entryId));
        }
        modules.InspectorOpen(item->Display());
        item->Send();
        std::string folders;
        for (const auto& path : FoldersHolding(*profile, item)) {
            folders += (folders.empty() ? "" : ", ") + path;
        }
        std::cout << std::setw(30) << mail.subject << folders << '\n';
    }
    builds.WaitForThem();
    modules.Shutdown();
}

}  // namespace

void AddDemoCommand(CLI::App& app, Options& options) {
    auto* demo = app.add_subcommand(
        "demo",
        "Make the demo profile, register the add-in, set a keyword rule, a contact rule, a "
        "default folder and an account override, send a few mails through the add-in and print "
        "where each was filed");
    demo->callback([&options] { RunDemo(options.profile, options.outlookVersion); });
}

}  // namespace host
