#include "platform/mailstore/profile.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <thread>

#include "platform/error.h"
#include "platform/mailstore/profile_impl.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/testkit.h"

namespace mailstore {

struct ProfileTestAccess {
    using Impl = Profile::Impl;
    static Impl& Inside(Profile& p) { return *p.impl_; }
};

}  // namespace mailstore

namespace {

using mailstore::Id;
using ::testing::HasSubstr;

// A folder's items as plain SQLite reads them, in id order.
std::vector<Id> IdsOnFile(const std::filesystem::path& file, Id folder) {
    SQLite::Database db(file.string(), SQLite::OPEN_READONLY);
    SQLite::Statement s(db, "SELECT id FROM items WHERE folder_id=? ORDER BY id");
    s.bind(1, static_cast<int64_t>(folder));
    std::vector<Id> ids;
    while (s.executeStep()) {
        ids.push_back(s.getColumn(0).getInt64());
    }
    return ids;
}

// A folder's items read one position at a time, as Items.Item(i) reads them,
// up to the first position that holds none; the count must agree.
std::vector<Id> ReadByPosition(mailstore::Profile& p, Id folder) {
    std::vector<Id> ids;
    for (int i = 0;; ++i) {
        auto id = p.ItemAt(folder, i);
        if (!id) {
            break;
        }
        ids.push_back(*id);
    }
    EXPECT_EQ(p.ItemCount(folder), static_cast<int>(ids.size()));
    EXPECT_EQ(p.ItemAt(folder, -1), std::nullopt);
    return ids;
}

class ProfileTest : public testkit::HomeTest {
  protected:
    testkit::ProfileBuilder kit;
    mailstore::Profile& p = *kit.Profile();

    void SetUp() override { kit.Demo(); }
};

TEST_F(ProfileTest, DemoLayoutPathsAndRoles) {
    auto stores = p.Stores();
    ASSERT_EQ(stores.size(), 3u);
    EXPECT_EQ(stores[0].name, "Personal Folders");
    EXPECT_TRUE(stores[0].isDefault);
    EXPECT_FALSE(stores[1].isDefault);
    EXPECT_EQ(p.FolderPath(stores[0].rootId), "\\\\Personal Folders");
    Id acme = kit.FolderId("\\\\Personal Folders\\Clients\\Acme");
    EXPECT_EQ(p.FolderPath(acme), "\\\\Personal Folders\\Clients\\Acme");
    EXPECT_EQ(p.FolderByPath("Personal Folders\\clients\\ACME"), acme);
    EXPECT_EQ(p.FolderByPath("\\\\Personal Folders\\Clients\\Nowhere"), std::nullopt);
    EXPECT_EQ(p.FolderByPath("\\\\No Store"), std::nullopt);
    EXPECT_EQ(p.DefaultFolder(stores[1].id, mailstore::role::kSentItems),
              kit.FolderId("\\\\Mailbox - Team Desk\\Sent Items"));
    EXPECT_EQ(p.Folder(kit.FolderId("\\\\Public Folders\\All Public Folders")).role,
              mailstore::role::kPublicFoldersAll);
    EXPECT_EQ(p.Folder(stores[0].rootId).kind, mailstore::FolderKind::Root);
}

TEST_F(ProfileTest, IdsAreUpperHexAndUnique) {
    std::set<std::string> seen;
    std::regex hex("[0-9A-F]+");
    auto check = [&](const std::string& id) {
        EXPECT_TRUE(std::regex_match(id, hex)) << id;
        EXPECT_TRUE(seen.insert(id).second) << id;
    };
    for (const auto& s : p.Stores()) {
        check(s.entryId);
        std::vector<Id> todo{s.rootId};
        while (!todo.empty()) {
            Id f = todo.back();
            todo.pop_back();
            check(p.Folder(f).entryId);
            for (const auto& c : p.Children(f)) {
                todo.push_back(c.id);
            }
        }
    }
    for (const auto& e : p.AddressBook()) {
        check(e.entryId);
    }
}

TEST_F(ProfileTest, LookupByEntryIdAloneSearchesTheDefaultStoreOnly) {
    auto team = p.Stores()[1];
    Id teamSent = kit.FolderId("\\\\Mailbox - Team Desk\\Sent Items");
    auto entry = p.Folder(teamSent).entryId;
    EXPECT_EQ(p.FolderByEntryId(entry), std::nullopt);
    EXPECT_EQ(p.FolderByEntryId(entry, team.entryId), teamSent);
    EXPECT_EQ(p.FolderByEntryId(entry, "00FF"), std::nullopt);
    Id inbox = kit.FolderId("\\\\Personal Folders\\Inbox");
    EXPECT_EQ(p.FolderByEntryId(p.Folder(inbox).entryId), inbox);

    Id item = kit.Add("\\\\Mailbox - Team Desk\\Inbox", {.subject = "shared"});
    auto itemEntry = p.Item(item).entryId;
    EXPECT_EQ(p.ItemByEntryId(itemEntry), std::nullopt);
    EXPECT_EQ(p.ItemByEntryId(itemEntry, team.entryId), item);
}

TEST_F(ProfileTest, MoveAndCopy) {
    Id inbox = kit.FolderId("\\\\Personal Folders\\Inbox");
    Id acme = kit.FolderId("\\\\Personal Folders\\Clients\\Acme");
    Id teamInbox = kit.FolderId("\\\\Mailbox - Team Desk\\Inbox");
    Id item = kit.Add("\\\\Personal Folders\\Inbox",
                      {.subject = "Plan", .to = "lead@example.com", .properties = {{"K", "V"}}});
    auto original = p.Item(item);

    p.MoveItem(item, acme);
    EXPECT_EQ(p.ItemCount(inbox), 0);
    EXPECT_EQ(p.ItemsIn(acme), std::vector<Id>{item});
    EXPECT_EQ(p.Item(item).entryId, original.entryId);

    Id copy = p.CopyItem(item, teamInbox);
    auto c = p.Item(copy);
    EXPECT_NE(c.entryId, original.entryId);
    EXPECT_EQ(c.internetMessageId, original.internetMessageId);
    EXPECT_EQ(c.subject, "Plan");
    EXPECT_EQ(c.storeId, p.Stores()[1].id);
    EXPECT_EQ(p.Recipients(copy).size(), 1u);
    EXPECT_EQ(p.Property(copy, "k"), "V");
    EXPECT_EQ(testkit::FoldersHolding(p, original.internetMessageId),
              (std::vector<Id>{acme, teamInbox}));
}

TEST_F(ProfileTest, FailuresNameWhatIsMissing) {
    Id acme = kit.FolderId("\\\\Personal Folders\\Clients\\Acme");
    EXPECT_THROW(p.MoveItem(987654, acme), platform::Error);
    Id item = kit.Add("\\\\Personal Folders\\Inbox", {.subject = "x"});
    EXPECT_THROW(p.MoveItem(item, 987654), platform::Error);
    EXPECT_THROW(p.CopyItem(item, 987654), platform::Error);
    EXPECT_THROW(p.AddFolder(acme, ""), platform::Error);
    try {
        p.AddFolder(kit.FolderId("\\\\Personal Folders\\Clients"), "acme");
        FAIL() << "a second folder of the same name";
    } catch (const platform::Error& e) {
        EXPECT_THAT(e.Description(), HasSubstr("already exists"));
    }
    EXPECT_THROW(p.AddAddressEntry("x", "X400", "x", "x"), platform::Error);
}

// The user's changes to the profile: an item deleted, a folder renamed or
// deleted, a store taken out. What is gone is gone with everything below
// it; nothing else changes.
TEST_F(ProfileTest, RenameDeleteAndRemoveChangeOnlyWhatTheyName) {
    Id clients = kit.FolderId("\\\\Personal Folders\\Clients");
    Id acme = kit.FolderId("\\\\Personal Folders\\Clients\\Acme");
    Id kept = kit.Add("\\\\Personal Folders\\Inbox", {.subject = "kept"});
    Id gone = kit.Add("\\\\Personal Folders\\Clients\\Acme",
                      {.subject = "gone", .to = "lead@example.com", .properties = {{"K", "V"}}});
    Id teamItem = kit.Add("\\\\Mailbox - Team Desk\\Inbox", {.subject = "team"});
    Id draft = kit.Add("\\\\Personal Folders\\Drafts",
                       {.subject = "draft", .to = "lead@example.com", .properties = {{"K", "V"}}});

    p.DeleteItem(draft);
    EXPECT_EQ(p.FindItem(draft), std::nullopt);
    EXPECT_TRUE(p.Recipients(draft).empty());
    EXPECT_EQ(p.Property(draft, "K"), std::nullopt);
    EXPECT_EQ(p.ItemCount(kit.FolderId("\\\\Personal Folders\\Drafts")), 0);
    EXPECT_EQ(p.Property(gone, "K"), "V");
    EXPECT_THROW(p.DeleteItem(draft), platform::Error);

    p.RenameFolder(acme, "Acme Corp");
    EXPECT_EQ(p.FolderPath(acme), "\\\\Personal Folders\\Clients\\Acme Corp");
    EXPECT_THROW(p.RenameFolder(acme, "globex"), platform::Error);
    EXPECT_THROW(p.RenameFolder(acme, ""), platform::Error);
    EXPECT_THROW(p.RenameFolder(p.Stores()[0].rootId, "Other"), platform::Error);

    p.DeleteFolder(clients);
    EXPECT_EQ(p.FindFolder(clients), std::nullopt);
    EXPECT_EQ(p.FindFolder(acme), std::nullopt);
    EXPECT_EQ(p.FindItem(gone), std::nullopt);
    EXPECT_TRUE(p.Recipients(gone).empty());
    EXPECT_EQ(p.Property(gone, "K"), std::nullopt);
    EXPECT_EQ(p.Item(kept).subject, "kept");
    EXPECT_TRUE(p.FolderByPath("\\\\Personal Folders\\Projects\\Apollo"));
    EXPECT_THROW(p.DeleteFolder(p.Stores()[0].rootId), platform::Error);

    const auto team = p.Stores()[1];
    p.RemoveStore(team.id);
    EXPECT_EQ(p.Stores().size(), 2u);
    EXPECT_EQ(p.FindItem(teamItem), std::nullopt);
    EXPECT_EQ(p.FolderByPath("\\\\Mailbox - Team Desk\\Inbox"), std::nullopt);
    EXPECT_THROW(p.RemoveStore(p.Stores()[0].id), platform::Error);
    EXPECT_THROW(p.RemoveStore(team.id), platform::Error);
}

// An unchanged unsent draft is deleted; one that another connection changes
// before the delete is kept, also when that connection still holds its write
// open as the delete starts: the compare waits for it.
TEST_F(ProfileTest, DeleteItemIfUnchangedKeepsWhatAnotherConnectionWrote) {
    const Id drafts = kit.FolderId("\\\\Personal Folders\\Drafts");
    const std::string sentItems = std::to_string(kit.FolderId("\\\\Personal Folders\\Sent Items"));
    const std::string other =
        std::to_string(kit.Add("\\\\Personal Folders\\Inbox", {.subject = "other"}));
    const std::string elsewhere = "UPDATE items SET subject='x' WHERE id=" + other + " AND ?>0";
    const struct {
        const char* what;
        const char* folder;
        std::string sql;  // ? is the draft's id
        bool kept;
    } cases[] = {
        {"untouched, another mail changed", "\\\\Personal Folders\\Drafts", elsewhere, false},
        {"subject", "\\\\Personal Folders\\Drafts", "UPDATE items SET subject='typed' WHERE id=?",
         true},
        {"body", "\\\\Personal Folders\\Drafts", "UPDATE items SET body='typed' WHERE id=?", true},
        {"billing", "\\\\Personal Folders\\Drafts", "UPDATE items SET billing='b' WHERE id=?",
         true},
        {"recipients", "\\\\Personal Folders\\Drafts",
         "INSERT INTO recipients (item_id, pos, name, address, address_type, type)"
         " VALUES (?, 1, 'Lead', 'lead@example.com', 'SMTP', 1)",
         true},
        {"a property", "\\\\Personal Folders\\Drafts",
         "INSERT INTO item_props (item_id, name, value) VALUES (?, 'K', 'V')", true},
        {"sent flag", "\\\\Personal Folders\\Drafts", "UPDATE items SET sent=1 WHERE id=?", true},
        {"sent and moved to Sent Items", "\\\\Personal Folders\\Drafts",
         "UPDATE items SET sent=1, folder_id=" + sentItems + " WHERE id=?", true},
        {"moved to Sent Items", "\\\\Personal Folders\\Drafts",
         "UPDATE items SET folder_id=" + sentItems + " WHERE id=?", true},
        {"unchanged but outside Drafts", "\\\\Personal Folders\\Inbox", elsewhere, true},
    };
    for (const bool held : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (held ? ", held open" : ""));
            const Id draft = kit.Add(c.folder, {.sent = false});
            const auto snapshot = p.Snapshot(draft);
            ASSERT_TRUE(snapshot);
            SQLite::Database db(p.File().string(), SQLite::OPEN_READWRITE);
            SQLite::Transaction tx(db, SQLite::TransactionBehavior::IMMEDIATE);
            SQLite::Statement write(db, c.sql);
            write.bind(1, static_cast<int64_t>(draft));
            write.exec();
            bool deleted = false;
            if (held) {
                std::thread deleting([&] { deleted = p.DeleteItemIfUnchanged(*snapshot); });
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                tx.commit();
                deleting.join();
            } else {
                tx.commit();
                deleted = p.DeleteItemIfUnchanged(*snapshot);
            }
            EXPECT_EQ(deleted, !c.kept);
            EXPECT_EQ(p.FindItem(draft).has_value(), c.kept);
        }
    }
    EXPECT_EQ(p.ItemCount(drafts), 12);
}

// A backslash parts a path's levels, so no path could reach a folder whose
// name holds one; a control character would break a listing's line. Such a
// name is refused, by name or by code, and nothing changes. A file that
// already holds one still opens.
TEST_F(ProfileTest, FolderNameThatNoPathCouldShowIsRefused) {
    Id clients = kit.FolderId("\\\\Personal Folders\\Clients");
    Id acme = kit.FolderId(testkit::DemoPaths::kAcme);
    const auto childrenBefore = p.Children(clients).size();
    const std::string backslash = "the character '\\'";
    const struct {
        const char* name;
        std::function<void()> change;
        std::string character;
    } cases[] = {
        {"add inside", [&] { p.AddFolder(clients, "Acme\\Europe"); }, backslash},
        {"add leading", [&] { p.AddFolder(clients, "\\Initech"); }, backslash},
        {"add trailing", [&] { p.AddFolder(clients, "Initech\\"); }, backslash},
        {"add only", [&] { p.AddFolder(clients, "\\"); }, backslash},
        {"rename", [&] { p.RenameFolder(acme, "Acme\\Europe"); }, backslash},
        {"add TAB", [&] { p.AddFolder(clients, "Tab\there"); }, "the character U+0009"},
        {"add NUL", [&] { p.AddFolder(clients, std::string("N\0L", 3)); }, "the character U+0000"},
        {"add U+001F", [&] { p.AddFolder(clients, "\x1F"); }, "the character U+001F"},
        {"add DEL", [&] { p.AddFolder(clients, "Del\x7F"); }, "the character U+007F"},
        {"rename LF", [&] { p.RenameFolder(acme, "Two\nlines"); }, "the character U+000A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.change();
            ADD_FAILURE() << "accepted";
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.Description(), "Mail profile " + p.File().string() +
                                           ": a folder name cannot hold " + c.character);
        }
    }
    EXPECT_EQ(p.Children(clients).size(), childrenBefore);
    EXPECT_EQ(p.Folder(acme).name, "Acme");
    // Past U+007F every byte of UTF-8 is a letter's.
    const std::string accented = "Caf\xC3\xA9 \xE2\x87\xA5";
    EXPECT_EQ(p.FolderPath(p.AddFolder(clients, accented)),
              "\\\\Personal Folders\\Clients\\" + accented);

    kit.SetName(testkit::DemoPaths::kAcme, "Ac\\me\t");
    auto reopened = mailstore::Profile::Open("Default");
    EXPECT_EQ(reopened->FolderPath(acme), "\\\\Personal Folders\\Clients\\Ac\\me\t");
}

TEST_F(ProfileTest, FolderTableCountsChildren) {
    Id root = p.Stores()[0].rootId;
    auto rows = p.FolderTable(root);
    ASSERT_EQ(rows.size(), 15u);
    EXPECT_EQ(rows[0].fullName, "Inbox");
    EXPECT_EQ(rows[0].childCount, 0);
    EXPECT_EQ(rows[0].storeId, p.Stores()[0].entryId);
    EXPECT_EQ(rows[12].fullName, "Clients");
    EXPECT_EQ(rows[12].childCount, 2);
    EXPECT_EQ(rows[12].entryId, p.Folder(kit.FolderId("\\\\Personal Folders\\Clients")).entryId);
}

TEST_F(ProfileTest, ComposeResolvesAgainstTheAddressBook) {
    struct Case {
        std::string text, name, address, type;
        bool known;
    };
    const Case cases[] = {
        {"lead@example.com", "Project Lead", "/o=Example/ou=Site/cn=Recipients/cn=lead", "EX",
         true},
        {"Acme Contact", "Acme Contact", "contact@acme.example", "SMTP", true},
        {"stranger@else.example", "stranger@else.example", "stranger@else.example", "SMTP", false},
    };
    for (const auto& c : cases) {
        auto r = mailstore::ResolveRecipient(p, c.text, 2);
        EXPECT_EQ(r.name, c.name) << c.text;
        EXPECT_EQ(r.address, c.address) << c.text;
        EXPECT_EQ(r.addressType, c.type) << c.text;
        EXPECT_EQ(r.entry.has_value(), c.known) << c.text;
        EXPECT_EQ(r.type, 2);
    }
    EXPECT_EQ(mailstore::ResolveRecipients(p, " a@x.example ; ;b@x.example,", 1).size(), 2u);
    auto sender = mailstore::SenderInfo(p, mailstore::SendingStore(p, "TEAM@example.com"));
    EXPECT_EQ(sender.senderName, "Team Desk");
    EXPECT_EQ(sender.senderAddress, "/o=Example/ou=Site/cn=Recipients/cn=team");
    EXPECT_THROW(mailstore::SendingStore(p, "nobody@example.com"), platform::Error);
}

TEST_F(ProfileTest, ArrivalsAreHeardThroughEveryProfileObjectOfTheFile) {
    Id acme = kit.FolderId("\\\\Personal Folders\\Clients\\Acme");
    std::vector<Id> heard;
    auto sub = p.OnItemArrived(acme, [&](Id item) { heard.push_back(item); });
    auto other = mailstore::Profile::Open("Default");
    Id item = kit.Add("\\\\Personal Folders\\Inbox", {.subject = "x"});
    other->MoveItem(item, acme);
    Id copy = other->CopyItem(item, acme);
    EXPECT_EQ(heard, (std::vector<Id>{item, copy}));
    sub.reset();
    other->MoveItem(kit.Add("\\\\Personal Folders\\Inbox", {}), acme);
    EXPECT_EQ(heard.size(), 2u);
}

TEST_F(ProfileTest, SendFilesOnceAndRefusesASecondSend) {
    Id sent = kit.FolderId("\\\\Personal Folders\\Sent Items");
    Id item = kit.Add("\\\\Personal Folders\\Drafts", {.subject = "x", .sent = false});
    auto info = mailstore::SenderInfo(p, *p.DefaultStore());
    p.SendItem(item, sent, info);
    auto row = p.Item(item);
    EXPECT_TRUE(row.sent);
    EXPECT_EQ(row.folderId, sent);
    EXPECT_EQ(row.senderAddress, "/o=Example/ou=Site/cn=Recipients/cn=user");
    EXPECT_THROW(p.SendItem(item, sent, info), platform::Error);
}

// Makes the VFS of that name the default of new connections while it lives.
class ScopedDefaultVfs {
  public:
    explicit ScopedDefaultVfs(const char* name) : previous_(sqlite3_vfs_find(nullptr)) {
        sqlite3_vfs_register(sqlite3_vfs_find(name), 1);
    }
    ~ScopedDefaultVfs() { sqlite3_vfs_register(previous_, 1); }
    ScopedDefaultVfs(const ScopedDefaultVfs&) = delete;
    ScopedDefaultVfs& operator=(const ScopedDefaultVfs&) = delete;

  private:
    sqlite3_vfs* previous_;
};

// A profile in each journal mode: WAL, or a rollback journal where the file
// system shares no memory (here a VFS that maps none).
struct JournalMode {
    const char* vfs;
    const char* mode;
};

class JournalModeTest : public testkit::HomeTest,
                        public ::testing::WithParamInterface<JournalMode> {
  protected:
    ScopedDefaultVfs vfs{GetParam().vfs};
    testkit::ProfileBuilder kit;
    mailstore::Profile& p = *kit.Profile();

    void SetUp() override {
        kit.Demo();
        SQLite::Database db(p.File().string(), SQLite::OPEN_READONLY);
        ASSERT_EQ(db.execAndGet("PRAGMA journal_mode").getString(), GetParam().mode);
    }
};

INSTANTIATE_TEST_SUITE_P(Modes, JournalModeTest,
                         ::testing::Values(JournalMode{"unix", "wal"},
                                           JournalMode{"unix-dotfile", "delete"}),
                         [](const auto& info) { return std::string(info.param.mode); });

// Rows read before are kept; whoever writes next (this object, another
// object of the file, another process, plain SQLite) is seen at the next call,
// and moves the generation on, which stays while nobody writes.
TEST_P(JournalModeTest, ReadsSeeEveryWriterAtOnce) {
    Id acme = kit.FolderId("\\\\Personal Folders\\Clients\\Acme");
    Id inbox = kit.FolderId("\\\\Personal Folders\\Inbox");
    Id item = kit.Add("\\\\Personal Folders\\Inbox", {.subject = "before"});
    const std::string entryId = p.Item(item).entryId;
    auto sql = [&](const std::string& statement) {
        SQLite::Database db(p.File().string(), SQLite::OPEN_READWRITE);
        db.setBusyTimeout(5000);
        db.exec(statement);
    };
    // Each writer adds a folder under Acme named after it, moves the item to
    // Acme and retitles it; plain SQLite also renames Acme.
    auto writes = [&](mailstore::Profile& w, const std::string& name) {
        w.AddFolder(acme, name);
        w.MoveItem(item, acme);
        w.SetItemField(item, mailstore::ItemField::Subject, name);
    };
    const struct {
        const char* name;
        std::function<void()> write;
        const char* acmeName;
    } cases[] = {
        {"this object", [&] { writes(p, "this object"); }, "Acme"},
        {"another object", [&] { writes(*mailstore::Profile::Open("Default"), "another object"); },
         "Acme"},
        {"another process",
         [&] {
             EXPECT_EQ(testkit::RunInChild([&] {
                           writes(*mailstore::Profile::Open("Default"), "another process");
                       }),
                       0);
         },
         "Acme"},
        {"plain SQLite",
         [&] {
             sql("BEGIN; UPDATE folders SET name='Renamed' WHERE id=" + std::to_string(acme) +
                 "; INSERT INTO folders (entry_id, store_id, parent_id, name, role, item_type,"
                 " kind) SELECT 'F' || hex(randomblob(8)), store_id, id, 'plain SQLite', 0, 0, 1"
                 " FROM folders WHERE id=" +
                 std::to_string(acme) + "; UPDATE items SET folder_id=" + std::to_string(acme) +
                 ", subject='plain SQLite' WHERE id=" + std::to_string(item) + "; COMMIT");
         },
         "Renamed"},
    };
    int children = p.ChildCount(acme);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        p.MoveItem(item, inbox);
        // Every kind of row this object keeps, read before the write.
        ASSERT_EQ(p.Item(item).folderId, inbox);
        ASSERT_EQ(p.ItemsIn(acme).size(), 0u);
        ASSERT_EQ(static_cast<int>(p.Children(acme).size()), children);
        ASSERT_EQ(p.FolderPath(acme), "\\\\Personal Folders\\Clients\\Acme");
        ASSERT_EQ(p.Folder(acme).name, "Acme");
        ASSERT_EQ(p.ItemByEntryId(entryId), item);
        ASSERT_FALSE(p.FolderByPath(std::string("\\\\Personal Folders\\Clients\\Acme\\") + c.name));
        const auto generation = p.Generation();
        EXPECT_EQ(p.Generation(), generation);

        c.write();
        EXPECT_NE(p.Generation(), generation);
        ++children;
        EXPECT_EQ(p.Item(item).folderId, acme);
        EXPECT_EQ(p.Item(item).subject, c.name);
        EXPECT_EQ(p.ItemsIn(acme), std::vector<Id>{item});
        EXPECT_EQ(p.ChildCount(acme), children);
        ASSERT_EQ(static_cast<int>(p.Children(acme).size()), children);
        EXPECT_EQ(p.Children(acme).back().name, c.name);
        EXPECT_EQ(p.Folder(acme).name, c.acmeName);
        const std::string acmePath = std::string("\\\\Personal Folders\\Clients\\") + c.acmeName;
        EXPECT_EQ(p.FolderPath(acme), acmePath);
        EXPECT_EQ(p.FolderPath(p.Children(acme).back().id), acmePath + "\\" + c.name);
        EXPECT_EQ(p.FolderByPath(acmePath + "\\" + c.name), p.Children(acme).back().id);
    }
}

// Positional reads of a folder follow every change to what it holds, by
// whoever makes it, and keep id order.
TEST_F(ProfileTest, PositionalReadsFollowEveryChangeOfTheFolder) {
    const Id inbox = kit.FolderId(testkit::DemoPaths::kInbox);
    const Id acme = kit.FolderId(testkit::DemoPaths::kAcme);
    const Id sent = kit.FolderId(testkit::DemoPaths::kSentItems);
    auto add = [&](mailstore::Profile& w, Id folder) {
        mailstore::ItemRow row;
        row.folderId = folder;
        row.subject = "added";
        return w.AddItem(row);
    };
    // Off, as in the sqlite3 shell: a row that a REPLACE removes fires no
    // delete trigger.
    auto sql = [&](const std::string& statement) {
        SQLite::Database db(p.File().string(), SQLite::OPEN_READWRITE);
        db.setBusyTimeout(5000);
        db.exec("PRAGMA recursive_triggers=OFF");
        db.exec(statement);
    };
    auto middle = [&](Id folder) { return p.ItemsIn(folder)[p.ItemsIn(folder).size() / 2]; };
    // A copy of an item's row, as plain SQLite would put it back in place.
    auto copyOf = [&](Id item, const std::string& changes) {
        return "CREATE TEMP TABLE copy AS SELECT * FROM items WHERE id=" + std::to_string(item) +
               "; UPDATE copy SET " + changes + "; ";
    };
    // Each case changes what Inbox or Acme holds; a folder made by a case
    // is read too.
    std::optional<Id> made;
    const struct {
        const char* name;
        std::function<void()> write;
    } cases[] = {
        {"this object moves one out and one in",
         [&] {
             p.MoveItem(middle(inbox), acme);
             p.MoveItem(middle(acme), inbox);
         }},
        {"this object moves one within its folder", [&] { p.MoveItem(middle(inbox), inbox); }},
        {"this object deletes one", [&] { p.DeleteItem(middle(inbox)); }},
        {"this object copies, adds and sends",
         [&] {
             p.CopyItem(middle(acme), inbox);
             add(p, acme);
             Id draft = kit.Add(testkit::DemoPaths::kDrafts, {.subject = "d", .sent = false});
             p.SendItem(draft, inbox, mailstore::SenderInfo(p, *p.DefaultStore()));
         }},
        {"this object moves every item out, last first, reading each by position",
         [&] {
             for (int i = p.ItemCount(inbox); i >= 1; --i) {
                 auto id = p.ItemAt(inbox, i - 1);
                 ASSERT_EQ(id, IdsOnFile(p.File(), inbox).back());
                 p.MoveItem(*id, sent);
             }
             p.MoveItem(middle(sent), inbox);
         }},
        {"another object moves and adds",
         [&] {
             auto other = mailstore::Profile::Open("Default");
             other->MoveItem(middle(acme), inbox);
             add(*other, acme);
         }},
        {"another process moves and adds",
         [&] {
             EXPECT_EQ(testkit::RunInChild([&] {
                           auto other = mailstore::Profile::Open("Default");
                           other->MoveItem(middle(inbox), acme);
                           add(*other, inbox);
                       }),
                       0);
         }},
        {"plain SQLite deletes one and moves one",
         [&] {
             sql("DELETE FROM items WHERE id=" + std::to_string(middle(inbox)) +
                 "; UPDATE items SET folder_id=" + std::to_string(inbox) +
                 " WHERE id=" + std::to_string(middle(acme)));
         }},
        {"plain SQLite replaces a row with a copy in another folder",
         [&] {
             sql(copyOf(middle(acme), "folder_id=" + std::to_string(inbox)) +
                 "REPLACE INTO items SELECT * FROM copy");
         }},
        {"plain SQLite inserts a row of another item's EntryID, or replaces",
         [&] {
             sql(copyOf(middle(inbox), "id=NULL, folder_id=" + std::to_string(acme)) +
                 "INSERT OR REPLACE INTO items SELECT * FROM copy");
         }},
        {"plain SQLite gives a row another item's EntryID, or replaces",
         [&] {
             sql("UPDATE OR REPLACE items SET entry_id=(SELECT entry_id FROM items WHERE id=" +
                 std::to_string(middle(acme)) + ") WHERE id=" + std::to_string(middle(inbox)));
         }},
        {"plain SQLite gives a row another item's id, or replaces",
         [&] {
             sql("UPDATE OR REPLACE items SET id=" + std::to_string(middle(inbox)) +
                 " WHERE id=" + std::to_string(middle(acme)));
         }},
        // The new folder may get the deleted one's id.
        {"this object deletes a folder and makes one",
         [&] {
             Id doomed = p.AddFolder(acme, "Doomed");
             add(p, doomed);
             add(p, doomed);
             ASSERT_EQ(ReadByPosition(p, doomed).size(), 2u);
             p.DeleteFolder(doomed);
             EXPECT_EQ(ReadByPosition(p, doomed), std::vector<Id>{});
             made = p.AddFolder(acme, "Made");
             add(p, *made);
         }},
    };
    for (int i = 0; i < 6; ++i) {
        kit.Add(testkit::DemoPaths::kInbox, {.subject = "in " + std::to_string(i)});
        kit.Add(testkit::DemoPaths::kAcme, {.subject = "acme " + std::to_string(i)});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        made.reset();
        for (Id folder : {inbox, acme, sent}) {
            ASSERT_EQ(ReadByPosition(p, folder), IdsOnFile(p.File(), folder));
        }
        c.write();
        for (Id folder : {inbox, acme, sent}) {
            EXPECT_EQ(ReadByPosition(p, folder), IdsOnFile(p.File(), folder));
            EXPECT_EQ(p.ItemsIn(folder), IdsOnFile(p.File(), folder));
        }
        if (made) {
            EXPECT_EQ(ReadByPosition(p, *made), IdsOnFile(p.File(), *made));
        }
    }
}

// The folders whose item lists an object keeps, with the ids each holds;
// the count kept must agree.
std::map<Id, size_t> KeptLists(mailstore::Profile& p) {
    auto& inside = mailstore::ProfileTestAccess::Inside(p);
    std::map<Id, size_t> kept;
    size_t counted = 0;
    for (const auto& [folder, list] : inside.folderItems) {
        kept[folder] = list.ids.size();
        counted += list.ids.size() + 1;
    }
    EXPECT_EQ(inside.keptItemIds, counted);
    return kept;
}

// Past the most ids kept (a list counting one more than its ids), reading a
// list afresh drops the others and keeps itself; moves keep the count.
TEST_F(ProfileTest, KeptListsStartAfreshPastTheMostIdsKept) {
    const Id inbox = kit.FolderId(testkit::DemoPaths::kInbox);
    const Id acme = kit.FolderId(testkit::DemoPaths::kAcme);
    const Id globex = kit.FolderId(testkit::DemoPaths::kGlobex);
    const Id sent = kit.FolderId(testkit::DemoPaths::kSentItems);
    for (int i = 0; i < 3; ++i) {
        kit.Add(testkit::DemoPaths::kInbox, {.subject = "in"});
        kit.Add(testkit::DemoPaths::kAcme, {.subject = "acme"});
    }
    const Id moved = kit.Add(testkit::DemoPaths::kInbox, {.subject = "moved"});
    mailstore::ProfileTestAccess::Inside(p).maxKeptItemIds = 10;

    ReadByPosition(p, inbox);
    ReadByPosition(p, acme);
    EXPECT_EQ(KeptLists(p), (std::map<Id, size_t>{{inbox, 4}, {acme, 3}}));
    p.MoveItem(moved, acme);
    EXPECT_EQ(KeptLists(p), (std::map<Id, size_t>{{inbox, 3}, {acme, 4}}));
    // 4 + 5 kept, and Globex's empty list counts 1: the most there may be.
    EXPECT_EQ(ReadByPosition(p, globex), std::vector<Id>{});
    EXPECT_EQ(KeptLists(p), (std::map<Id, size_t>{{inbox, 3}, {acme, 4}, {globex, 0}}));
    EXPECT_EQ(ReadByPosition(p, sent), std::vector<Id>{});
    EXPECT_EQ(KeptLists(p), (std::map<Id, size_t>{{sent, 0}}));
    for (Id folder : {inbox, acme, globex, sent}) {
        EXPECT_EQ(ReadByPosition(p, folder), IdsOnFile(p.File(), folder));
    }
}

// A list is edited by a commit only when it is as the edit expects: at the
// serial the edit started from, and holding the item that leaves it, or not
// the one that enters. Else it is dropped, and read afresh.
TEST_F(ProfileTest, KeptListNotAsTheEditExpectsIsDropped) {
    const Id acme = kit.FolderId(testkit::DemoPaths::kAcme);
    for (int i = 0; i < 3; ++i) {
        kit.Add(testkit::DemoPaths::kAcme, {.subject = "acme"});
        kit.Add(testkit::DemoPaths::kInbox, {.subject = "in"});
    }
    auto& inside = mailstore::ProfileTestAccess::Inside(p);
    using Edit = mailstore::ProfileTestAccess::Impl::KeptEdit;
    // Each edit leaves the file's serial as it is.
    const struct {
        const char* name;
        std::function<Edit(const std::vector<Id>&, std::int64_t)> edit;
    } cases[] = {
        {"from another serial",
         [&](const auto& ids, auto serial) {
             return Edit{acme, ids.back() + 1, true, serial - 1, serial};
         }},
        {"enters, but is there",
         [&](const auto& ids, auto serial) {
             return Edit{acme, ids[0], true, serial, serial};
         }},
        {"leaves, but is not there",
         [&](const auto& ids, auto serial) {
             return Edit{acme, ids[0] + 1, false, serial, serial};
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto ids = ReadByPosition(p, acme);
        ASSERT_EQ(ids, IdsOnFile(p.File(), acme));
        const auto serial = inside.folderItems.at(acme).serial;
        inside.keptEdits.push_back(c.edit(ids, serial));
        inside.ApplyKeptEdits();
        EXPECT_EQ(KeptLists(p), (std::map<Id, size_t>{}));
        EXPECT_EQ(ReadByPosition(p, acme), ids);
    }
}

// Copies the database through the backup API, as `.restore` does.
void Backup(const std::filesystem::path& from, const std::filesystem::path& to) {
    SQLite::Database source(from.string(), SQLite::OPEN_READONLY);
    SQLite::Database target(to.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    target.setBusyTimeout(5000);
    sqlite3_backup* backup =
        sqlite3_backup_init(target.getHandle(), "main", source.getHandle(), "main");
    ASSERT_NE(backup, nullptr) << sqlite3_errmsg(target.getHandle());
    EXPECT_EQ(sqlite3_backup_step(backup, -1), SQLITE_DONE);
    EXPECT_EQ(sqlite3_backup_finish(backup), SQLITE_OK);
}

// A backup put back over the file brings the folders' serials back, so one
// later change can bring a folder to the serial of a list kept before the
// restore: the list is read again all the same.
TEST_P(JournalModeTest, ListKeptBeforeARestoreIsReadAgain) {
    const Id acme = kit.FolderId(testkit::DemoPaths::kAcme);
    const Id kept = kit.Add(testkit::DemoPaths::kAcme, {.subject = "kept"});
    const Id later = kit.Add(testkit::DemoPaths::kInbox, {.subject = "later"});
    const Id undone = kit.Add(testkit::DemoPaths::kInbox, {.subject = "undone"});
    const auto copy = home.Path() / "backup.db";
    Backup(p.File(), copy);
    p.MoveItem(undone, acme);
    ASSERT_EQ(ReadByPosition(p, acme), (std::vector<Id>{kept, undone}));

    Backup(copy, p.File());
    {
        SQLite::Database db(p.File().string(), SQLite::OPEN_READWRITE);
        db.setBusyTimeout(5000);
        db.exec("UPDATE items SET folder_id=" + std::to_string(acme) +
                " WHERE id=" + std::to_string(later));
    }
    EXPECT_EQ(ReadByPosition(p, acme), (std::vector<Id>{kept, later}));
    EXPECT_EQ(IdsOnFile(p.File(), acme), (std::vector<Id>{kept, later}));
}

// A list kept inside a write that rolls back is dropped: its serial was
// never committed, and a later commit may reach it with other items.
TEST_F(ProfileTest, ListKeptInsideARolledBackWriteIsDropped) {
    const Id acme = kit.FolderId(testkit::DemoPaths::kAcme);
    const Id first = kit.Add(testkit::DemoPaths::kInbox, {.subject = "rolled back"});
    const Id second = kit.Add(testkit::DemoPaths::kInbox, {.subject = "committed"});
    auto& inside = mailstore::ProfileTestAccess::Inside(p);
    auto moveToAcme = [&](SQLite::Database& db, Id item) {
        db.exec("UPDATE items SET folder_id=" + std::to_string(acme) +
                " WHERE id=" + std::to_string(item));
    };
    ASSERT_EQ(ReadByPosition(p, acme), std::vector<Id>{});
    EXPECT_THROW(inside.Run([&]() -> int {
        SQLite::Transaction tx(*inside.db, SQLite::TransactionBehavior::IMMEDIATE);
        moveToAcme(*inside.db, first);
        EXPECT_EQ(inside.FolderItemIds(acme), std::vector<Id>{first});
        throw platform::Error("rolled back");
    }),
                 platform::Error);
    {
        SQLite::Database db(p.File().string(), SQLite::OPEN_READWRITE);
        moveToAcme(db, second);
    }
    EXPECT_EQ(ReadByPosition(p, acme), std::vector<Id>{second});
}

class ProfileFileTest : public testkit::HomeTest {};

// A profile file of an earlier schema (before folder_changes, or before the
// triggers for rows that a REPLACE removes) opens, and is brought up to date,
// so that positional reads follow its changes; a file of a schema not known
// is refused.
TEST_F(ProfileFileTest, FileOfAnEarlierSchemaIsBroughtUpToDate) {
    const auto file = mailstore::Profile::FileFor("Default");
    auto sql = [&](const std::string& statement) {
        SQLite::Database db(file.string(), SQLite::OPEN_READWRITE);
        db.exec(statement);
    };
    const std::string kDropReplacing =
        "DROP TRIGGER items_replacing; DROP TRIGGER items_replacing_by_update;";
    const struct {
        int version;
        std::string downgrade;
    } cases[] = {
        {1, kDropReplacing + " DROP TRIGGER items_entered; DROP TRIGGER items_left;"
                             " DROP TRIGGER items_refiled; DROP TABLE folder_changes;"},
        {2, kDropReplacing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        std::filesystem::remove(file);
        Id inbox = 0;
        Id acme = 0;
        Id item = 0;
        {
            testkit::ProfileBuilder kit;
            kit.Demo();
            inbox = kit.FolderId(testkit::DemoPaths::kInbox);
            acme = kit.FolderId(testkit::DemoPaths::kAcme);
            item = kit.Add(testkit::DemoPaths::kAcme, {.subject = "x"});
        }
        sql(c.downgrade + " PRAGMA user_version=" + std::to_string(c.version));

        auto p = mailstore::Profile::Open("Default");
        EXPECT_EQ(ReadByPosition(*p, inbox), std::vector<Id>{});
        EXPECT_EQ(ReadByPosition(*p, acme), std::vector<Id>{item});
        sql("CREATE TEMP TABLE copy AS SELECT * FROM items WHERE id=" + std::to_string(item) +
            "; UPDATE copy SET folder_id=" + std::to_string(inbox) +
            "; REPLACE INTO items SELECT * FROM copy");
        EXPECT_EQ(ReadByPosition(*p, inbox), std::vector<Id>{item});
        EXPECT_EQ(ReadByPosition(*p, acme), std::vector<Id>{});
        p.reset();
        SQLite::Database db(file.string(), SQLite::OPEN_READONLY);
        EXPECT_EQ(db.execAndGet("PRAGMA user_version").getInt(), 3);
    }

    sql("PRAGMA user_version=4");
    try {
        mailstore::Profile::Open("Default");
        ADD_FAILURE() << "opened";
    } catch (const platform::Error& e) {
        EXPECT_THAT(e.Description(), HasSubstr("unknown schema version 4"));
    }
}

TEST_F(ProfileFileTest, ForeignDamagedAndMissingFilesNameTheFile) {
    EXPECT_THROW(mailstore::Profile::Open("Nope"), platform::Error);
    mailstore::Profile::Create("Good");
    EXPECT_THROW(mailstore::Profile::Create("Good"), platform::Error);
    EXPECT_THROW(mailstore::Profile::FileFor("../x"), platform::Error);

    auto garbage = mailstore::Profile::FileFor("Garbage");
    std::ofstream(garbage) << "this is not a database, not at all, but it is long enough";
    {
        SQLite::Database other(mailstore::Profile::FileFor("Foreign").string(),
                               SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        other.exec("CREATE TABLE t(x)");
    }
    for (const auto& name : {"Garbage", "Foreign"}) {
        try {
            mailstore::Profile::Open(name);
            FAIL() << name << " opened";
        } catch (const platform::Error& e) {
            EXPECT_THAT(e.Description(), HasSubstr(mailstore::Profile::FileFor(name).string()));
        }
    }
}

// What opening the profile and adding a store to it say in a process of a
// user who may read the profile but not write it (an unprivileged user when
// the test runs with privileges).
std::string WriteAsReader(const std::string& name) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return "no pipe";
    }
    testkit::ForkedChild child([&] {
        close(pipeEnds[0]);
        std::string said = "written";
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
            said = "cannot drop privileges";
        } else {
            try {
                mailstore::Profile::Open(name)->AddStore("Written", mailstore::StoreKind::Personal,
                                                         "", "");
            } catch (const platform::Error& e) {
                said = e.Description();
            }
        }
        (void)!write(pipeEnds[1], said.data(), said.size());
    });
    close(pipeEnds[1]);
    std::string said;
    char buffer[512];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        said.append(buffer, static_cast<size_t>(n));
    }
    close(pipeEnds[0]);
    child.Wait();
    return said;
}

// A profile in a home that cannot be written says so, naming the file.
TEST_F(ProfileFileTest, ReadOnlyFileOrFolderIsReportedAsSuch) {
    namespace fs = std::filesystem;
    mailstore::Profile::Create("Default");
    const auto file = mailstore::Profile::FileFor("Default");
    const auto folder = file.parent_path();
    const auto all = fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all;
    const auto readable = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const auto traversable =
        readable | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    fs::permissions(home.Path(), traversable);
    const struct {
        const char* name;
        fs::perms filePerms, folderPerms;
        std::string said;
    } cases[] = {
        {"file read-only", readable, all, "the file cannot be written"},
        {"folder read-only", all, traversable,
         "the file cannot be written: its folder " + folder.string() +
             ", where its journal goes, cannot be written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::permissions(file, c.filePerms);
        fs::permissions(folder, c.folderPerms);
        EXPECT_EQ(WriteAsReader("Default"), "Mail profile " + file.string() + ": " + c.said);
    }
    fs::permissions(folder, all);
    fs::permissions(file, all);
    fs::permissions(home.Path(), fs::perms::owner_all);
}

// A profile file damaged by another program is refused when it is opened,
// at once and naming the file and the fault.
TEST_F(ProfileFileTest, DamagedFolderTreeIsRefusedAtOnce) {
    const std::string inbox = "\\\\Personal Folders\\Inbox";
    const struct {
        const char* name;
        std::function<void(testkit::ProfileBuilder&)> damage;
        std::string fault;
    } cases[] = {
        {"its own parent", [&](auto& kit) { kit.SetParent(inbox, inbox); },
         "the file is damaged: the folder 'Inbox' is its own ancestor"},
        {"a ring of two",
         [](auto& kit) {
             kit.SetParent("\\\\Personal Folders\\Clients", "\\\\Personal Folders\\Clients\\Acme");
         },
         "the file is damaged: the folder 'Clients' is its own ancestor"},
        {"a store's root inside its Inbox",
         [&](auto& kit) { kit.SetParent("\\\\Personal Folders", inbox); },
         "the file is damaged: the root folder of the store 'Personal Folders' lies inside a "
         "folder"},
        // Archive is one level below the root, so F256 lies 257 deep.
        {"a chain 100,000 deep",
         [](auto& kit) { kit.NestedChain("\\\\Personal Folders\\Archive", 100000); },
         "the folder 'F256' lies too deep: folders nest at most 256 levels below their store's "
         "root"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = std::string("Damaged ") + c.name;
        {
            testkit::ProfileBuilder kit(name);
            kit.Demo();
            c.damage(kit);
        }
        try {
            mailstore::Profile::Open(name);
            ADD_FAILURE() << "opened";
        } catch (const platform::Error& e) {
            EXPECT_EQ(
                e.Description(),
                "Mail profile " + mailstore::Profile::FileFor(name).string() + ": " + c.fault);
        }
    }
}

// Damage done while the profile is open shows at the next path asked for.
TEST_F(ProfileTest, FolderPathOfAFolderInsideItselfRaises) {
    const std::string inbox = "\\\\Personal Folders\\Inbox";
    Id id = kit.FolderId(inbox);
    kit.SetParent(inbox, inbox);
    try {
        p.FolderPath(id);
        ADD_FAILURE() << "a path";
    } catch (const platform::Error& e) {
        EXPECT_THAT(e.Description(), HasSubstr(p.File().string()));
        EXPECT_THAT(e.Description(), HasSubstr("the folder 'Inbox' is its own ancestor"));
    }
}

// Folders nest as deep as kMaxFolderDepth levels below the root, and no deeper.
TEST_F(ProfileTest, FoldersNestAsDeepAsTheLimitAndNoDeeper) {
    Id folder = p.Stores()[0].rootId;
    std::string path = "\\\\Personal Folders";
    for (int level = 1; level <= mailstore::kMaxFolderDepth; ++level) {
        folder = p.AddFolder(folder, "L" + std::to_string(level));
        path += "\\L" + std::to_string(level);
    }
    EXPECT_EQ(p.FolderPath(folder), path);
    EXPECT_EQ(p.FolderByPath(path), folder);
    try {
        p.AddFolder(folder, "Deeper");
        ADD_FAILURE() << "a folder below the limit";
    } catch (const platform::Error& e) {
        EXPECT_THAT(e.Description(),
                    HasSubstr("the folder 'Deeper' lies too deep: folders nest at most 256"));
    }
    EXPECT_EQ(p.ChildCount(folder), 0);
    EXPECT_EQ(mailstore::Profile::Open("Default")->FolderPath(folder), path);
}

// A process killed in the middle of a loop of moves leaves every item in
// exactly one folder.
TEST_F(ProfileFileTest, KillDuringMovesLeavesEveryItemInOneFolder) {
    testkit::ProfileBuilder kit;
    kit.Store("S", "Owner", "owner@example.com").Folder("\\\\S\\A").Folder("\\\\S\\B");
    constexpr int kItems = 50;
    for (int i = 0; i < kItems; ++i) {
        kit.Add("\\\\S\\A", {.subject = std::to_string(i)});
    }
    Id a = kit.FolderId("\\\\S\\A");
    Id b = kit.FolderId("\\\\S\\B");
    auto items = kit.Profile()->ItemsIn(a);
    std::random_device rd;
    for (int round = 0; round < 3; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        testkit::ForkedChild child([&] {
            close(ready[0]);
            auto p = mailstore::Profile::Open("Default");
            std::mt19937 gen(static_cast<unsigned>(getpid()));
            for (long n = 0;; ++n) {
                p->MoveItem(items[gen() % items.size()], gen() % 2 ? a : b);
                if (n == 100) {
                    (void)!write(ready[1], "x", 1);
                }
            }
        });
        close(ready[1]);
        char c;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        close(ready[0]);
        usleep(1000 + rd() % 50000);
        kill(child.Pid(), SIGKILL);
        ASSERT_EQ(child.Wait(), 128 + SIGKILL);

        auto p = mailstore::Profile::Open("Default");
        auto inA = p->ItemsIn(a);
        auto inB = p->ItemsIn(b);
        std::set<Id> all(inA.begin(), inA.end());
        all.insert(inB.begin(), inB.end());
        EXPECT_EQ(inA.size() + inB.size(), static_cast<size_t>(kItems));
        EXPECT_EQ(all, std::set<Id>(items.begin(), items.end()));
    }
}

}  // namespace
