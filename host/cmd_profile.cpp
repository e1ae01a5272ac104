#include <iostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/commands.h"
#include "host/listing.h"
#include "host/profile_access.h"
#include "host/send_mail.h"
#include "platform/error.h"

namespace host {

namespace {

// The Outlook object of a folder given by path.
outlook::FolderPtr OutlookFolder(outlook::NameSpacePtr ns, mailstore::Profile& profile,
                                 const std::string& path) {
    auto row = profile.Folder(FolderAt(profile, path));
    return ns->GetFolderFromID(row.entryId, profile.Store(row.storeId).entryId);
}

// The folder and every folder below it, each before its subfolders, each
// path as `folders` writes it.
void PrintFolders(mailstore::Profile& profile, mailstore::Id top) {
    std::vector<std::pair<mailstore::Id, std::vector<std::string>>> todo{{top, {}}};
    while (!todo.empty()) {
        auto [folder, levels] = std::move(todo.back());
        todo.pop_back();
        auto row = profile.Folder(folder);
        levels.push_back(row.name);
        std::cout << ListedPath(levels) << '\t' << ListedColumn(row.entryId) << '\t'
                  << ListedColumn(profile.Store(row.storeId).entryId) << '\t'
                  << profile.ItemCount(folder) << '\n';
        auto children = profile.Children(folder);
        for (auto child = children.rbegin(); child != children.rend(); ++child) {
            todo.emplace_back(child->id, levels);
        }
    }
}

}  // namespace

void AddProfileCommands(CLI::App& app, Options& options) {
    auto* profile = app.add_subcommand("profile", "Make mail profiles");
    profile->require_subcommand(1);
    auto* create = profile->add_subcommand("create", "Make the profile named by --profile");
    auto demo = std::make_shared<bool>(false);
    create->add_flag("--demo", *demo, "Fill it with the demo layout");
    create->callback([&options, demo] {
        auto p = CreateProfile(options.profile);
        if (*demo) {
            mailstore::BuildDemoLayout(*p);
        }
        std::cout << p->File().string() << '\n';
    });

    auto* folders = app.add_subcommand(
        "folders",
        "Print every folder: path, EntryID, StoreID and item count, TAB-separated; in a path a "
        "backslash parts the levels, and a backslash, control character or DEL in a name is "
        "written \\\\xHH (its code in hexadecimal), an empty name \\\\x");
    folders->callback([&options] {
        auto p = OpenProfile(options.profile);
        for (const auto& store : p->Stores()) {
            PrintFolders(*p, store.rootId);
        }
    });

    auto path = std::make_shared<std::string>();
    auto* items = app.add_subcommand(
        "items",
        "Print every item of a folder: EntryID, type name, subject and To, TAB-separated; in the "
        "subject and To a backslash is written \\\\, a TAB, CR or LF \\t, \\r or \\n, and "
        "another control character or DEL \\xHH (its code in hexadecimal)");
    items->add_option("PATH", *path, "Folder path, such as \\\\Personal Folders\\Inbox")
        ->required();
    items->callback([&options, path] {
        auto p = OpenProfile(options.profile);
        auto application = outlook::CreateApplication(p, options.outlookVersion);
        auto folderItems = OutlookFolder(application->GetNamespace("MAPI"), *p, *path)->Items();
        for (int i = 1; i <= folderItems->Count(); ++i) {
            auto item = folderItems->Item(i);
            std::string to;
            try {
                to = item->To();
            } catch (const platform::Error&) {
                // An item type without To.
            }
            std::cout << ListedColumn(item->EntryID()) << '\t' << item->TypeName() << '\t'
                      << ListedColumn(item->Subject()) << '\t' << ListedColumn(to) << '\n';
        }
    });

    auto* folder = app.add_subcommand("folder", "Change folders");
    folder->require_subcommand(1);
    auto names = std::make_shared<std::pair<std::string, std::string>>();
    auto* add = folder->add_subcommand("add", "Add a mail folder, as the mail client's New Folder");
    add->add_option("PARENTPATH", names->first, "Path of the parent folder")->required();
    add->add_option("NAME", names->second, "Name of the new folder")->required();
    add->callback([&options, names] {
        auto p = OpenProfile(options.profile);
        auto application = outlook::CreateApplication(p, options.outlookVersion);
        auto parent = OutlookFolder(application->GetNamespace("MAPI"), *p, names->first);
        auto made = parent->Folders()->Add(names->second);
        std::cout << ListedPath(*p, *p->FolderByEntryId(made->EntryID(), made->StoreID())) << '\n';
    });

    auto args = std::make_shared<SendRequest>();
    auto* send = app.add_subcommand(
        "send",
        "Compose a mail in a mail window and send it; print every folder that then holds it or a "
        "copy of it");
    send->add_option("--to", args->to, "Recipient addresses")->required()->expected(1, -1);
    send->add_option("--cc", args->cc, "CC addresses")->expected(1, -1);
    send->add_option("--bcc", args->bcc, "BCC addresses")->expected(1, -1);
    send->add_option("--subject", args->subject, "Subject")->required();
    send->add_option("--body", args->body, "Body");
    send->add_option("--from", args->from, "SMTP address of the sending mailbox");
    send->add_option("--billing", args->billing, "Billing information");
    send->add_flag("--send-and-file", args->sendAndFile,
                   "Send by a click on the add-in's \"Send And File\" button instead of Send");
    send->add_option("--choose", args->choose,
                     "Answer each folder chooser that opens: the folder at PATH, cancel, or delete "
                     "(Delete The Email); without it a chooser is cancelled")
        ->type_name("PATH|cancel|delete");
    send->callback([&options, args] { SendMail(options, *args, std::cout, std::cerr); });
}

}  // namespace host
