// The host's profile commands on profiles that the mail client's own checks
// did not make: folders nested too deep or inside themselves; and on names
// that no listing may print as they are.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/tests/host_kit.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/testkit.h"

namespace {

using ::testing::HasSubstr;

using host_test::Ostrevane;

class ProfileCommandTest : public testkit::HomeTest {
  protected:
    void SetUp() override {
        host_test::PutIndex(home.Path());
        kit.Demo();
    }
    std::string File() const { return kit.Profile()->File().string(); }

    testkit::ProfileBuilder kit;
};

// A chain 100,000 deep: every command that opens the profile says so at
// once, naming the file, and fails.
TEST_F(ProfileCommandTest, ChainDeeperThanFoldersNestIsRefusedByEveryCommand) {
    kit.NestedChain("\\\\Personal Folders\\Archive", 100000);
    const std::vector<std::vector<std::string>> commands = {
        {"folders"},
        {"folder", "add", "\\\\Personal Folders\\Archive", "New"},
        {"send", "--to", "lead@example.com", "--subject", "Deep"},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0]);
        auto result = Ostrevane(command);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_THAT(result.err, HasSubstr(File() + ": the folder 'F256' lies too deep"));
    }
}

TEST_F(ProfileCommandTest, FolderInsideItselfIsRefused) {
    kit.SetParent("\\\\Personal Folders\\Inbox", "\\\\Personal Folders\\Inbox");
    auto result = Ostrevane({"folders"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(
        result.err,
        HasSubstr(File() + ": the file is damaged: the folder 'Inbox' is its own ancestor"));
}

// As deep as folders nest: every folder is listed, and none goes below.
TEST_F(ProfileCommandTest, ChainAsDeepAsFoldersNestIsListedAndEndsThere) {
    kit.NestedChain("\\\\Personal Folders\\Archive", 255);
    std::string deepest = "\\\\Personal Folders\\Archive";
    for (int n = 1; n <= 255; ++n) {
        deepest += "\\F" + std::to_string(n);
    }
    auto folders = Ostrevane({"folders"});
    ASSERT_EQ(folders.exitCode, 0) << folders.err;
    EXPECT_THAT(folders.out, HasSubstr("\n" + deepest + "\t"));

    auto add = Ostrevane({"folder", "add", deepest, "Deeper"});
    EXPECT_EQ(add.exitCode, 1);
    EXPECT_THAT(add.err, HasSubstr("the folder 'Deeper' lies too deep: folders nest at most 256 "
                                   "levels below their store's root"));
}

// A control character in a name, a subject or a To stays in its column and
// on its record's line, and every path printed names one folder. In a path a
// backslash parts the levels; a name's backslash, control character or DEL
// is written as two backslashes, x and its code, an empty name as two
// backslashes and x. In a subject or a To a backslash is doubled, TAB, CR
// and LF are written \t, \r and \n, and the other controls \xHH.
TEST_F(ProfileCommandTest, ListingsWriteTabsAndLineBreaksEscaped) {
    const std::string clients = "\\\\Personal Folders\\Clients\\";
    // Names the profile refuses, as a file that another program wrote may
    // hold them: each is set on a folder made under another name.
    const struct {
        const char* made;
        std::optional<std::string> name;
        std::string printed;
    } cases[] = {
        {"Tab\\there", std::nullopt, "Tab\\there"},
        {"Tab\\x09here", std::nullopt, "Tab\\x09here"},
        {"Tabhere", "Tab\there", "Tab\\\\x09here"},
        {"Lines", "Two\r\nlines\n", "Two\\\\x0D\\\\x0Alines\\\\x0A"},
        {"Leading", "\tLead", "\\\\x09Lead"},
        {"Others",
         "V\vF\fE\x1B"
         "D\x7F",
         "V\\\\x0BF\\\\x0CE\\\\x1BD\\\\x7F"},
        {"Backslash", "Ac\\me", "Ac\\\\x5Cme"},
        {"Empty", "", "\\\\x"},
    };
    for (const auto& c : cases) {
        kit.Folder(clients + c.made);
        if (c.name) {
            kit.SetName(clients + c.made, *c.name);
        }
    }
    kit.Add(testkit::DemoPaths::kInbox,
            {.subject = "Cols\there\r\nnext \\t", .to = "lead@example.com"});
    kit.Add(testkit::DemoPaths::kInbox, {.subject = "V\vF\fE\x1B"
                                                    "D\x7F\\x0B",
                                         .to = "lead@example.com"});
    // EntryIDs and StoreIDs another program wrote with control characters.
    kit.Write(
        "UPDATE folders SET entry_id = 'F' || char(9) || id || char(10) WHERE name = 'Inbox'");
    kit.Write("UPDATE stores SET entry_id = 'S\\' || char(13) || id");
    kit.Write("UPDATE items SET entry_id = 'I' || char(9) || id || char(127)");

    auto folders = Ostrevane({"folders"});
    ASSERT_EQ(folders.exitCode, 0) << folders.err;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.made);
        EXPECT_THAT(folders.out, HasSubstr("\n" + clients + c.printed + "\t"));
    }
    auto items = Ostrevane({"items", testkit::DemoPaths::kInbox});
    ASSERT_EQ(items.exitCode, 0) << items.err;
    EXPECT_THAT(items.out, HasSubstr("\tMailItem\tCols\\there\\r\\nnext \\\\t\tProject Lead\n"));
    EXPECT_THAT(items.out,
                HasSubstr("\tMailItem\tV\\x0BF\\x0CE\\x1BD\\x7F\\\\x0B\tProject Lead\n"));
    EXPECT_THAT(
        folders.out,
        testing::ContainsRegex(
            "\n\\\\\\\\Personal Folders\\\\Inbox\tF\\\\t[0-9]+\\\\n\tS\\\\\\\\\\\\r[0-9]+\t"));
    EXPECT_THAT(items.out, testing::ContainsRegex("(^|\n)I\\\\t[0-9]+\\\\x7F\tMailItem\t"));

    // Every record: one line of four columns with no other control
    // character; no two folders print the same path.
    std::set<std::string> paths;
    size_t folderLines = 0;
    for (const auto* out : {&folders.out, &items.out}) {
        std::istringstream lines(*out);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;
            EXPECT_TRUE(std::none_of(line.begin(), line.end(), [](unsigned char ch) {
                return (ch < 0x20 && ch != '\t') || ch == 0x7F;
            })) << line;
            if (out == &folders.out) {
                paths.insert(line.substr(0, line.find('\t')));
                ++folderLines;
            }
        }
    }
    EXPECT_EQ(paths.size(), folderLines);
}

// Every path `folders` prints, given back as input, names its own folder,
// even beside folders whose names are the pieces of another's escape.
TEST_F(ProfileCommandTest, PrintedPathsNameTheirOwnFolders) {
    const std::string clients = "\\\\Personal Folders\\Clients\\";
    const struct {
        const char* made;
        std::string name;
    } names[] = {
        {"T", "T"},   {"Empty", ""},       {"x09here", "x09here"}, {"Tab", "T\there"},
        {"Ac", "Ac"}, {"Acme2", "Ac\\me"}, {"Del", "D\x7F"},
    };
    for (const auto& n : names) {
        kit.Folder(clients + n.made);
        kit.SetName(clients + n.made, n.name);
    }
    kit.Folder(clients + "Ac\\me");

    auto folders = Ostrevane({"folders"});
    ASSERT_EQ(folders.exitCode, 0) << folders.err;
    std::istringstream lines(folders.out);
    size_t fedBack = 0;
    for (std::string line; std::getline(lines, line);) {
        const std::string path = line.substr(0, line.find('\t'));
        if (!path.starts_with(clients)) {
            continue;
        }
        SCOPED_TRACE(path);
        auto add = Ostrevane({"folder", "add", path, "Sub"});
        ASSERT_EQ(add.exitCode, 0) << add.err;
        EXPECT_EQ(add.out, path + "\\Sub\n");
        ++fedBack;
    }
    // Those named here, Ac\me below Ac, Acme and Globex.
    EXPECT_EQ(fedBack, std::size(names) + 3);
    auto after = Ostrevane({"folders"});
    EXPECT_THAT(after.out, HasSubstr("\n" + clients + "\\\\x\\Sub\t"));
    EXPECT_THAT(after.out, HasSubstr("\n" + clients + "T\\\\x09here\\Sub\t"));

    kit.Add(clients + "x09here", {.subject = "filed here"});
    auto items = Ostrevane({"items", clients + "x09here"});
    EXPECT_THAT(items.out, HasSubstr("\tfiled here\t"));
    EXPECT_EQ(Ostrevane({"items", clients + "T\\\\x09here"}).out, "");
}

// A malformed path is refused with the other bad input's exit code, and
// nothing is made.
TEST_F(ProfileCommandTest, MalformedPathIsRefused) {
    const std::vector<std::vector<std::string>> commands = {
        {"items", "\\\\Personal Folders\\\\xZZ"},
        {"folder", "add", "\\\\Personal Folders\\Clients\\\\", "New"},
        {"send", "--to", "lead@example.com", "--subject", "s", "--choose",
         "\\\\Personal Folders\\Inbox\\\\x4"},
    };
    auto before = Ostrevane({"folders"});
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0]);
        auto result = Ostrevane(command);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_THAT(result.err, HasSubstr("malformed folder path '"));
    }
    EXPECT_EQ(Ostrevane({"folders"}).out, before.out);
}

}  // namespace
