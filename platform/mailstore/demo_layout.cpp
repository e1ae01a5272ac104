#include "platform/mailstore/profile.h"

namespace mailstore {

namespace {

constexpr int kMail = 0;
constexpr int kAppointment = 1;
constexpr int kContact = 2;
constexpr int kTask = 3;
constexpr int kJournal = 4;
constexpr int kNote = 5;
constexpr int kPost = 6;

}  // namespace

void BuildDemoLayout(Profile& p) {
    Id personal =
        p.AddStore("Personal Folders", StoreKind::Personal, "Demo User", "user@example.com", true);
    Id root = p.Store(personal).rootId;
    p.AddFolder(root, "Inbox", kMail, role::kInbox);
    p.AddFolder(root, "Sent Items", kMail, role::kSentItems);
    p.AddFolder(root, "Deleted Items", kMail, role::kDeletedItems);
    p.AddFolder(root, "Drafts", kMail, role::kDrafts);
    p.AddFolder(root, "Outbox", kMail, role::kOutbox);
    p.AddFolder(root, "Junk E-mail", kMail, role::kJunk);
    p.AddFolder(root, "Calendar", kAppointment, role::kCalendar);
    p.AddFolder(root, "Contacts", kContact, role::kContacts);
    p.AddFolder(root, "Journal", kJournal, role::kJournal);
    p.AddFolder(root, "Notes", kNote, role::kNotes);
    p.AddFolder(root, "Tasks", kTask, role::kTasks);
    p.AddFolder(root, "Unread Mail", kMail, role::kNone, FolderKind::Search);
    const std::pair<const char*, std::vector<const char*>> groups[] = {
        {"Clients", {"Acme", "Globex"}},
        {"Projects", {"Apollo", "Zephyr"}},
        {"Archive", {"2025", "2026"}},
    };
    for (const auto& [group, names] : groups) {
        Id parent = p.AddFolder(root, group);
        for (const char* name : names) {
            p.AddFolder(parent, name);
        }
    }

    Id team =
        p.AddStore("Mailbox - Team Desk", StoreKind::Mailbox, "Team Desk", "team@example.com");
    Id teamRoot = p.Store(team).rootId;
    p.AddFolder(teamRoot, "Inbox", kMail, role::kInbox);
    p.AddFolder(teamRoot, "Sent Items", kMail, role::kSentItems);

    Id pub = p.AddStore("Public Folders", StoreKind::Public, "", "");
    Id pubRoot = p.Store(pub).rootId;
    p.AddFolder(pubRoot, "Favorites", kPost);
    Id all = p.AddFolder(pubRoot, "All Public Folders", kPost, role::kPublicFoldersAll);
    p.AddFolder(all, "Announcements", kPost);

    p.AddAddressEntry("Demo User", "EX", "/o=Example/ou=Site/cn=Recipients/cn=user",
                      "user@example.com");
    p.AddAddressEntry("Project Lead", "EX", "/o=Example/ou=Site/cn=Recipients/cn=lead",
                      "lead@example.com");
    p.AddAddressEntry("Team Desk", "EX", "/o=Example/ou=Site/cn=Recipients/cn=team",
                      "team@example.com");
    p.AddAddressEntry("Acme Contact", "SMTP", "contact@acme.example", "contact@acme.example");
}

}  // namespace mailstore
