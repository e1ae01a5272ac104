#include <unistd.h>

#include <filesystem>
#include <iomanip>
#include <iostream>

#include "common/settings_keys.h"
#include "host/commands.h"
#include "host/demo_settings.h"
#include "host/engine.h"
#include "host/profile_access.h"
#include "host/running_add_ins.h"
#include "platform/error.h"
#include "platform/os/os.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/settings/settings_store.h"

namespace host {

namespace {

namespace keys = common::keys;

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

void RunDemo(const std::string& profileName, const std::string& outlookVersion) {
    auto profile = mailstore::Profile::Exists(profileName) ? OpenProfile(profileName)
                                                           : CreateProfile(profileName);
    if (profile->Stores().empty()) {
        mailstore::BuildDemoLayout(*profile);
    }
    auto library = platform::os::ProgramFolder() / "libPlovanex.so";
    if (InstallModule(library).empty()) {
        throw platform::Error("the add-in " + library.string() + " could not be registered");
    }

    auto application = outlook::CreateApplication(profile, outlookVersion);
    auto ns = application->GetNamespace("MAPI");
    RunningAddIns addIns(application);
    // The add-in writes its first-run settings here.
    addIns.OpenExplorer();

    WriteDemoSettings(*profile);

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
        addIns.Modules().InspectorOpen(item->Display());
        item->Send();
        std::string folders;
        for (const auto& path : FoldersHolding(*profile, item)) {
            folders += (folders.empty() ? "" : ", ") + path;
        }
        std::cout << std::setw(30) << mail.subject << folders << '\n';
    }
    addIns.Stop();
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
