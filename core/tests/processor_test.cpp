#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/tests/processor_fixture.h"
#include "platform/error.h"

namespace processor_test {
namespace {

using Lines = std::vector<std::string>;

std::string Description(void (*call)()) {
    try {
        call();
    } catch (const platform::Error& e) {
        return e.Description();
    }
    return "";
}

TEST_F(ProcessorTest, ModeLoop) {
    const auto acme = IdsOf(kAcme);
    const Settings acmeDefault = {{"MoveToFolderName", kAcme},
                                  {"MoveToFolderEntryId", acme.entryId},
                                  {"MoveToFolderStoreId", acme.storeId}};
    struct Case {
        std::string name;
        Settings settings;
        Lines lines;
        bool result;
        std::string where;
    };
    const Case cases[] = {
        {"AbsentOrderKeys", {}, {Step(1, -1), Step(2, -1), Step(3, -1), Step(4, -1)}, false, kSent},
        {"NoneThenKeyword",
         {{"Order1", "0"}, {"Order2", "2"}},
         {Step(1, 0), Step(2, 2), "Entering Keyword Mode", Step(3, -1), Step(4, -1)},
         false,
         kSent},
        {"ContactsTwice",
         {{"Order1", "3"}, {"Order2", "3"}, {"Order3", "0"}, {"Order4", "0"}},
         {Step(1, 3), "Entering Contacts Mode", "Num of  Recips are = 1",
          "toDisplayName = Project Lead", "SMTP Address: lead@example.com", Step(2, 3),
          "Entering Contacts Mode", "Num of  Recips are = 1", "toDisplayName = Project Lead",
          "SMTP Address: lead@example.com", Step(3, 0), Step(4, 0)},
         false,
         kSent},
        {"ConfirmationTwiceFilingNothing",
         {{"Order1", "1"}, {"Order2", "1"}},
         {Step(1, 1), Step(2, 1), Step(3, -1), Step(4, -1)},
         false,
         kSent},
        {"ModesThatDoNothing",
         {{"Order1", "9"}, {"Order2", "4"}, {"Order3", "-7"}, {"Order4", "0"}},
         {Step(1, 9), Step(2, 4), Step(3, -7), Step(4, 0)},
         false,
         kSent},
        {"FiledByTheSecondSlotThenStops",
         {{"Order1", "2"},
          {"Order2", "1"},
          {"Order3", "1"},
          acmeDefault[0],
          acmeDefault[1],
          acmeDefault[2]},
         {Step(1, 2), "Entering Keyword Mode", Step(2, 1),
          "Moved Item to Acme by User's Default Folder"},
         true,
         kAcme},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Apply({{"SharedDefaults", "0"}});
        Apply(c.settings);
        auto item = Send(c.name);
        Clear();
        EXPECT_EQ(Process(item), c.result);
        EXPECT_EQ(Texts(), c.lines);
        EXPECT_EQ(item->Parent()->FolderPath(), c.where);
        EXPECT_TRUE(Reports().empty());
        for (const auto& line : home.Capture().Lines()) {
            EXPECT_EQ(line.application, "Plovanex");
            EXPECT_TRUE(line.source == "ProcessOneSentItem" || line.source == "MoveIt" ||
                        line.source == "LookForContacts")
                << line.source;
        }
        for (const char* key : {"Order1", "Order2", "Order3", "Order4", "MoveToFolderName"}) {
            plovanex::SaveSetting(key, key[0] == 'O' ? "-1" : "");
        }
    }
}

// Mode 1 without the prompt, over mail sent from each mailbox.
TEST_F(ProcessorTest, ConfirmationStages) {
    const auto acme = IdsOf(kAcme);
    const auto globex = IdsOf(kGlobex);
    const auto sent = IdsOf(kSent);
    const Settings acmeDefault = {{"MoveToFolderName", kAcme},
                                  {"MoveToFolderEntryId", acme.entryId},
                                  {"MoveToFolderStoreId", acme.storeId}};
    const std::string teamX500 = "/o=Example/ou=Site/cn=Recipients/cn=team";
    const auto comparing = [](const std::string& value, const std::string& piece) {
        return "Confirmation Mode: Comparing " + value + " and " + piece;
    };
    const auto teamComparisons = [&](const std::string& piece) {
        return Lines{comparing(teamX500, piece), comparing("Team Desk", piece),
                     comparing("Team Desk", piece), comparing("team@example.com", piece)};
    };
    const auto join = [](std::vector<Lines> parts) {
        Lines all;
        for (auto& p : parts) {
            all.insert(all.end(), p.begin(), p.end());
        }
        return all;
    };
    const Lines unfiled = {Step(2, -1), Step(3, -1), Step(4, -1)};
    const Lines ownSender = {Step(1, 1), "Sender: Demo User",
                             "This item was sent from the default account..."};

    struct Case {
        std::string name;
        std::string from;
        Settings settings;
        Lines lines;
        bool result;
        std::vector<std::string> holders;
    };
    const Case cases[] = {
        {"SentFromTheDefaultAccount",
         "",
         acmeDefault,
         join({ownSender, {"Moved Item to Acme by User's Default Folder"}}),
         true,
         {kAcme}},
        {"SentFromTheSharedMailbox",
         "team@example.com",
         acmeDefault,
         {Step(1, 1), "Sender: Team Desk", "Moved Item to Sent Items by Default Sent From Account"},
         true,
         {kTeamSent}},
        {"OverrideMatchesBeforeTheSharedMailbox",
         "team@example.com",
         {acmeDefault[0],
          acmeDefault[1],
          acmeDefault[2],
          {"FromAccount1", "team@example.com"},
          {"FromOutlookFolderEntryId1", globex.entryId},
          {"FromOutlookFolderStoreId1", globex.storeId}},
         join({{Step(1, 1), "Sender: Team Desk"},
               teamComparisons("team@example.com"),
               {"Moved Item to Globex by From Account 1"}}),
         true,
         {kGlobex}},
        {"OverrideSecondPieceMatches",
         "team@example.com",
         {{"FromAccount3", "nobody@example.com;TEAM@example.com"},
          {"FromOutlookFolderEntryId3", globex.entryId},
          {"FromOutlookFolderStoreId3", globex.storeId}},
         join({{Step(1, 1), "Sender: Team Desk"},
               teamComparisons("nobody@example.com"),
               teamComparisons("TEAM@example.com"),
               {"Moved Item to Globex by From Account 3"}}),
         true,
         {kGlobex}},
        {"OverridePieceWithALeadingBlankDoesNotMatch",
         "team@example.com",
         {{"FromAccount1", "nobody@example.com; team@example.com"},
          {"FromOutlookFolderEntryId1", globex.entryId},
          {"FromOutlookFolderStoreId1", globex.storeId}},
         join({{Step(1, 1), "Sender: Team Desk"},
               teamComparisons("nobody@example.com"),
               teamComparisons(" team@example.com"),
               {"Moved Item to Sent Items by Default Sent From Account"}}),
         true,
         {kTeamSent}},
        {"OverrideWithWildcard",
         "",
         {{"FromAccount5", "*@EXAMPLE.com"},
          {"FromOutlookFolderEntryId5", globex.entryId},
          {"FromOutlookFolderStoreId5", globex.storeId}},
         join({ownSender,
               {comparing("/o=Example/ou=Site/cn=Recipients/cn=user", "*@EXAMPLE.com"),
                comparing("Demo User", "*@EXAMPLE.com"), comparing("Demo User", "*@EXAMPLE.com"),
                comparing("user@example.com", "*@EXAMPLE.com"),
                "Moved Item to Globex by From Account 5"}}),
         true,
         {kGlobex}},
        {"MoveToFolderNameEmpty",
         "",
         {{"MoveToFolderName", ""},
          {"MoveToFolderEntryId", acme.entryId},
          {"MoveToFolderStoreId", acme.storeId}},
         join({ownSender, unfiled}),
         false,
         {kSent}},
        {"MoveToFolderIsSentItems",
         "",
         {{"MoveToFolderName", kSent},
          {"MoveToFolderEntryId", sent.entryId},
          {"MoveToFolderStoreId", sent.storeId}},
         join({ownSender, unfiled}),
         false,
         {kSent}},
        {"SharedDefaultsOff",
         "team@example.com",
         {acmeDefault[0], acmeDefault[1], acmeDefault[2], {"SharedDefaults", "0"}},
         {Step(1, 1), "Moved Item to Acme by User's Default Folder"},
         true,
         {kAcme}},
        {"CopyWanted",
         "",
         {acmeDefault[0], acmeDefault[1], acmeDefault[2], {"MoveWanted", "0"}},
         join({ownSender, {"Copied Item to Acme by User's Default Folder"}}),
         true,
         {kAcme, kSent}},
        {"MailboxWithoutSentItems",
         "night@example.com",
         acmeDefault,
         {Step(1, 1), "Sender: Night Desk", "SenderName: Night Desk",
          "SenderEmailAddress: night@example.com (Note: Default email address => "
          "user@example.com)",
          "Error: GetSharedDefaultFolder: the mailbox of 'night@example.com' has no default "
          "folder 5",
          "Associated sent items folder not found...continuing",
          "Moved Item to Acme by User's Default Folder"},
         true,
         {kAcme}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Apply({{"Order1", "1"}});
        Apply(c.settings);
        auto item = Send(c.name, c.from);
        const auto id = MessageId(item);
        Clear();
        EXPECT_EQ(Process(item), c.result);
        EXPECT_EQ(Texts(), c.lines);
        EXPECT_EQ(Holders(id), c.holders);
        EXPECT_TRUE(Reports().empty());
        for (const auto& line : home.Capture().Lines()) {
            const bool comparison = line.text.starts_with("Confirmation Mode: ");
            EXPECT_EQ(line.source, comparison ? "ProcessSentItem"
                                   : line.text.find(" Item to ") != std::string::npos
                                       ? "MoveIt"
                                       : "ProcessOneSentItem")
                << line.text;
        }
        for (const auto& [key, value] : c.settings) {
            plovanex::SaveSetting(key, key == "SharedDefaults" || key == "MoveWanted" ? "1" : "");
        }
    }
}

// Stored values that cannot be read as their type, or that name nothing:
// the report of the step, and the message neither lost nor doubled.
TEST_F(ProcessorTest, BadStoredValues) {
    const auto acme = IdsOf(kAcme);
    const auto globex = IdsOf(kGlobex);
    const Settings acmeDefault = {{"MoveToFolderName", kAcme},
                                  {"MoveToFolderEntryId", acme.entryId},
                                  {"MoveToFolderStoreId", acme.storeId}};
    const std::string source = "Plovanex.ProcessOneSentItem";
    struct Case {
        std::string name;
        Settings settings;
        std::vector<ostrevane::Report> reports;
        bool result;
        std::string where;
        std::string lastLine;
    };
    const Case cases[] = {
        {"OrderNotANumber",
         {{"Order1", "abc"}},
         {Report("Error occurred at line 0.  Reason: Type mismatch", 1, source)},
         false,
         kSent,
         ""},
        {"OrderOutOfRange",
         {{"Order3", "99999"}},
         {Report("Error occurred at line 0.  Reason: Overflow", 1, source)},
         false,
         kSent,
         ""},
        {"OrderOfNoMode", {{"Order1", "9"}}, {}, false, kSent, Step(4, -1)},
        {"PromptNotABoolean",
         {{"PromptOutlookFolder", "Maybe"}},
         {Report("Error occurred at line 8.  Reason: Type mismatch", 1, source)},
         false,
         kSent,
         Step(1, 1)},
        {"SharedDefaultsNotANumber",
         {{"SharedDefaults", "yes"}},
         {Report("Error occurred at line 1200.  Reason: Type mismatch", 1, source)},
         false,
         kSent,
         Step(1, 1)},
        {"DefaultFolderDeleted",
         {{"MoveToFolderName", "\\\\Personal Folders\\Gone"},
          {"MoveToFolderEntryId", "00000000DEAD"},
          {"MoveToFolderStoreId", acme.storeId}},
         {},
         true,
         kSent,
         "Error occurred: Could not fetch the RDO 'Move To' folder"},
        {"OverrideOfTenThousandCharacters",
         {acmeDefault[0],
          acmeDefault[1],
          acmeDefault[2],
          {"FromAccount1", std::string(10000, 'x')},
          {"FromOutlookFolderEntryId1", globex.entryId},
          {"FromOutlookFolderStoreId1", globex.storeId}},
         {},
         true,
         kAcme,
         "Moved Item to Acme by User's Default Folder"},
        {"OverrideOfTenThousandWildcards",
         {acmeDefault[0],
          acmeDefault[1],
          acmeDefault[2],
          {"FromAccount1", std::string(9989, '*') + "example.com"},
          {"FromOutlookFolderEntryId1", globex.entryId},
          {"FromOutlookFolderStoreId1", globex.storeId}},
         {},
         true,
         kGlobex,
         "Moved Item to Globex by From Account 1"},
        {"OverrideWithoutFolder",
         {acmeDefault[0], acmeDefault[1], acmeDefault[2], {"FromAccount2", "Demo User"}},
         {},
         true,
         kSent,
         "Error occurred: Could not fetch the RDO 'Move To' folder"},
        {"MoveWantedNotANumber",
         {acmeDefault[0], acmeDefault[1], acmeDefault[2], {"MoveWanted", "lots"}},
         {Report("Error occurred at line 10.  Reason: Type mismatch", 1, "Plovanex.MoveIt"),
          Report("Error information: User's Default Folder", 1, "Plovanex.MoveIt")},
         true,
         kSent,
         "This item was sent from the default account..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Apply({{"Order1", "1"}});
        Apply(c.settings);
        auto item = Send(c.name);
        const auto id = MessageId(item);
        Clear();
        bool result = !c.result;
        EXPECT_NO_THROW(result = Process(item));
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Reports(), c.reports);
        EXPECT_EQ(Holders(id), std::vector<std::string>{c.where});
        const auto texts = Texts();
        EXPECT_EQ(texts.empty() ? "" : texts.back(), c.lastLine);
        for (const auto& [key, value] : c.settings) {
            plovanex::SaveSetting(key, key == "SharedDefaults" || key == "MoveWanted" ? "1"
                                       : key.starts_with("Order")                     ? "-1"
                                       : key == "PromptOutlookFolder"                 ? "False"
                                                                                      : "");
        }
    }
}

TEST_F(ProcessorTest, WithdrawnLibraryIsReportedWithTheStep) {
    const auto acme = IdsOf(kAcme);
    Apply({{"Order1", "1"},
           {"MoveToFolderName", kAcme},
           {"MoveToFolderEntryId", acme.entryId},
           {"MoveToFolderStoreId", acme.storeId}});
    auto item = Send("withdrawn");
    const auto id = MessageId(item);
    mirelink::SetLibraryWithdrawn(true);
    const std::string why = Description([] { mirelink::CreateSession(); });
    ASSERT_FALSE(why.empty());
    Clear();

    EXPECT_FALSE(Process(item));
    EXPECT_EQ(Reports(), std::vector{Report("Error occurred at line 1202.  Reason: " + why, 1,
                                            "Plovanex.ProcessOneSentItem")});

    // Without the shared-mailbox stage the default folder's MoveIt fails.
    plovanex::SaveSetting("SharedDefaults", "0");
    Clear();
    EXPECT_TRUE(Process(item));
    EXPECT_EQ(
        Reports(),
        (std::vector{Report("Error occurred at line 2.  Reason: " + why, 1, "Plovanex.MoveIt"),
                     Report("Error information: User's Default Folder", 1, "Plovanex.MoveIt")}));
    EXPECT_EQ(Holders(id), std::vector<std::string>{kSent});
}

TEST_F(ProcessorTest, OutlookNineLogsTheSessionOnByItself) {
    Open("9.0.0.3821");
    const auto acme = IdsOf(kAcme);
    Apply({{"Order1", "1"},
           {"MoveToFolderName", kAcme},
           {"MoveToFolderEntryId", acme.entryId},
           {"MoveToFolderStoreId", acme.storeId}});
    auto item = Send("nine", "team@example.com");
    Clear();
    EXPECT_TRUE(Process(item));
    EXPECT_EQ(Texts(), (Lines{Step(1, 1), "Sender: Team Desk",
                              "Moved Item to Sent Items by Default Sent From Account"}));
    EXPECT_EQ(item->Parent()->FolderPath(), kTeamSent);
}

TEST_F(ProcessorTest, OverridesSkipItemsThatAreNeitherMailNorMeeting) {
    const auto globex = IdsOf(kGlobex);
    kit.Add(kSent, {.subject = "a post", .itemClass = mailstore::item_class::kPost});
    Apply({{"Order1", "1"},
           {"SharedDefaults", "0"},
           {"FromAccount1", "*"},
           {"FromOutlookFolderEntryId1", globex.entryId},
           {"FromOutlookFolderStoreId1", globex.storeId}});
    auto post = Folder(kSent)->Items()->Item(1);
    ASSERT_EQ(post->TypeName(), "PostItem");
    Clear();
    EXPECT_FALSE(Process(post));
    EXPECT_EQ(Texts(), (Lines{Step(1, 1), Step(2, -1), Step(3, -1), Step(4, -1)}));
    EXPECT_TRUE(Reports().empty());
}

}  // namespace
}  // namespace processor_test
