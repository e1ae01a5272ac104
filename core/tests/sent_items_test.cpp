// Items arriving in Sent Items: automatic filing, the deferred copy and the
// reasons an item is left alone.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/settings_keys.h"
#include "core/copy_suffix.h"
#include "core/tests/addin_fixture.h"

namespace plovanex_test {
namespace {

namespace keys = common::keys;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

// Ids as the store makes them: 28 and 24 bytes of upper-case hexadecimal.
const std::string kEntryId = "00000000" + std::string(32, 'A') + "0123456789ABCDEF";
const std::string kStoreId = "0000000053544F52" + std::string(32, 'B');

TEST(CopySuffix, TheSuffixIsTheLastTwoColonsWithIdsAsTheStoreMakesThem) {
    const std::string ids = ":" + kEntryId + ":" + kStoreId;
    const std::string shortest(40, '0');
    const plovanex::CopySuffix suffixes[] = {
        {"", kEntryId, kStoreId},
        {"Short", kEntryId, kStoreId},
        {"Project:Phase", kEntryId, kStoreId},
        {"x", shortest, shortest},
    };
    for (const auto& c : suffixes) {
        const std::string text = plovanex::AppendCopySuffix(c.billing, c.entryId, c.storeId);
        SCOPED_TRACE(text);
        auto suffix = plovanex::SplitCopySuffix(text);
        ASSERT_TRUE(suffix.has_value());
        EXPECT_EQ(suffix->billing, c.billing);
        EXPECT_EQ(suffix->entryId, c.entryId);
        EXPECT_EQ(suffix->storeId, c.storeId);
    }
    EXPECT_EQ(plovanex::AppendCopySuffix("Short", kEntryId, kStoreId), "Short" + ids);

    const std::string users[] = {
        // The user's own text: clock times, dates, codes and short hexadecimal.
        "Call at 10:30:45",
        "Due 2026:03:15",
        "Ref:CAFE:BEEF",
        "Short:00AB:00CD",
        "Project:Phase:3",
        // Not quite an id: one digit short, odd length, lower case, not hexadecimal.
        "x:" + shortest.substr(1) + ":" + kStoreId,
        "x" + ids + "0",
        "x:" + kEntryId + ":" + std::string(40, 'b'),
        "x:" + kEntryId + ":" + std::string(40, 'G'),
        "no colon",
        "Short:" + kEntryId + ":",
        "Short::" + kStoreId,
        "Short:" + kEntryId,
        "",
    };
    for (const auto& text : users) {
        EXPECT_EQ(plovanex::SplitCopySuffix(text), std::nullopt) << text;
    }
}

class SentItemsTest : public AddInTest {
  protected:
    void SetUp() override {
        Start();
        SetDefaultFolder(kArchive);
    }
    std::string Suffix(const std::string& path) {
        auto [entryId, storeId] = Ids(path);
        return plovanex::AppendCopySuffix("", entryId, storeId);
    }
};

TEST_F(SentItemsTest, DefaultFolderAndAccountOverride) {
    SetOverride(1, "team@example.com", kGlobex);
    EXPECT_THAT(FoldersOf(SendMail("Figures")), ElementsAre(kArchive));
    EXPECT_THAT(FoldersOf(SendMail("Rota", "team@example.com")), ElementsAre(kGlobex));
    EXPECT_THAT(Lines("ProcessSentItem"), Contains("Subject: Figures"));
    EXPECT_THAT(Reports(), IsEmpty());
}

TEST_F(SentItemsTest, OtherFolderOrKindIsIgnored) {
    auto id = kit.Add("\\\\Personal Folders\\Inbox", {.subject = "Elsewhere"});
    RaiseItemEvent(ItemOf(id), 1, true);
    RaiseItemEvent(ItemOf(id), 2, false);
    EXPECT_THAT(FoldersOf(ItemOf(id)), ElementsAre("\\\\Personal Folders\\Inbox"));
    EXPECT_THAT(Lines("ProcessSentItem"), IsEmpty());
}

// With MoveWanted 0 a billing suffix names the folder the item is copied to.
TEST_F(SentItemsTest, DeferredCopy) {
    Set(keys::MoveWanted, "0");
    struct Case {
        const char* name;
        std::string billing;
        std::vector<std::string> folders;
        std::string billingAfter;
    } cases[] = {
        {"short text and suffix", "Short" + Suffix(kAcme), {kSentItems, kAcme}, "Short"},
        {"a colon of its own",
         "Project:Phase" + Suffix(kAcme),
         {kSentItems, kAcme},
         "Project:Phase"},
        {"the user's own text", "Project:Phase:3", {kSentItems, kArchive}, "Project:Phase:3"},
        {"a clock time", "Call at 10:30:45", {kSentItems, kArchive}, "Call at 10:30:45"},
        {"no billing text", "", {kSentItems, kArchive}, ""},
        {"suffix naming Sent Items", "Short" + Suffix(kSentItems), {kSentItems}, "Short"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto item = SendMail(c.name, "", c.billing);
        EXPECT_EQ(FoldersOf(item), c.folders);
        EXPECT_EQ(item->BillingInformation(), c.billingAfter);
    }
    EXPECT_THAT(Lines("QvItemEvent"), Contains("Copy wanted for another folder"));
    EXPECT_THAT(Lines("QvItemEvent"),
                Not(Contains("Error occurred.  Could not move/copy item to desired folder.")));
    EXPECT_THAT(Reports(), IsEmpty());
}

TEST_F(SentItemsTest, FailedDeferredCopyIsLoggedAndNotFiledOtherwise) {
    Set(keys::MoveWanted, "0");
    auto item = SendMail("Gone", "", "Short:" + kEntryId + ":" + kStoreId);
    EXPECT_THAT(FoldersOf(item), ElementsAre(kSentItems));
    EXPECT_EQ(item->BillingInformation(), "Short");
    EXPECT_THAT(Lines("QvItemEvent"),
                Contains("Error occurred.  Could not move/copy item to desired folder."));
    EXPECT_THAT(Lines("ProcessSentItem"), IsEmpty());
}

TEST_F(SentItemsTest, MoveWantedOneDoesNotLookAtTheBillingText) {
    auto billing = "Short" + Suffix(kAcme);
    auto item = SendMail("Moved", "", billing);
    EXPECT_THAT(FoldersOf(item), ElementsAre(kArchive));
    EXPECT_EQ(item->BillingInformation(), billing);
}

TEST_F(SentItemsTest, OverrideSendButtonOffLeavesItemsButFinishesCopies) {
    Set(keys::OverrideSendButton, "0");
    EXPECT_THAT(FoldersOf(SendMail("Left")), ElementsAre(kSentItems));
    Set(keys::MoveWanted, "0");
    EXPECT_THAT(FoldersOf(SendMail("Copied", "", "x" + Suffix(kAcme))),
                ElementsAre(kSentItems, kAcme));
    EXPECT_THAT(Lines("ProcessSentItem"), IsEmpty());
}

// Why ProcessSentItem leaves an item alone, and when it hands it on.
TEST_F(SentItemsTest, ProcessingWantedAndItsReasons) {
    auto meeting = kit.Add(
        kSentItems, {.subject = "Meeting", .itemClass = mailstore::item_class::kMeetingRequest});
    EXPECT_THAT(FoldersOf(ItemOf(meeting)), ElementsAre(kSentItems));
    EXPECT_THAT(
        Lines("ProcessSentItem"),
        ElementsAre("Subject: Meeting", "ProcessingWanted: False", "Reasoning: 1",
                    "SaveSentMessageFolder: ", "SaveSentMessageFolderName: Sent Items", "Leaving"));
    EXPECT_THAT(Reports(), IsEmpty());
    home.Capture().Clear();

    // Saved in another folder by the user's choice: reason 2.
    auto apollo = Compose("Apollo");
    apollo->SetSaveSentMessageFolder(FolderOf(kApollo));
    apollo->Send();
    RaiseItemEvent(apollo);
    EXPECT_THAT(FoldersOf(apollo), ElementsAre(kApollo));
    EXPECT_THAT(Lines("ProcessSentItem"), Contains("Reasoning: 2"));
    home.Capture().Clear();

    // Saved in Sent Items itself: handed on.
    auto sent = Compose("Sent Items");
    sent->SetSaveSentMessageFolder(FolderOf(kSentItems));
    sent->Send();
    EXPECT_THAT(FoldersOf(sent), ElementsAre(kArchive));
    EXPECT_THAT(Lines("ProcessSentItem"), Contains("Processing one item"));
    home.Capture().Clear();

    Set(keys::RunNow, "On");
    EXPECT_THAT(FoldersOf(SendMail("Run Now")), ElementsAre(kSentItems));
    EXPECT_THAT(Lines("ProcessSentItem"), Contains("Reasoning: 3"));
    EXPECT_THAT(Reports(), IsEmpty());
}

TEST_F(SentItemsTest, ReportItemEndsAtStep30) {
    auto report = kit.Add(
        kSentItems, {.subject = "Undeliverable", .itemClass = mailstore::item_class::kReport});
    EXPECT_THAT(FoldersOf(ItemOf(report)), ElementsAre(kSentItems));
    auto reports = Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].source, "Plovanex.ProcessSentItem");
    EXPECT_EQ(reports[0].message.rfind("Error occurred at line 30.  Reason: ", 0), 0u);
}

// The add-in's own copy into Sent Items arrives there too; it is not filed
// again.
TEST_F(SentItemsTest, OwnCopyIntoSentItemsIsNotFiledAgain) {
    Set(keys::MoveWanted, "0");
    SetOverride(1, "team@example.com", kSentItems);
    auto item = SendMail("Loop", "team@example.com");
    // The item is already in Sent Items: no duplicate, and no chain of events.
    EXPECT_EQ(FoldersOf(item), (std::vector<std::string>{kSentItems}));
}

// Bad settings: no message is lost or duplicated, and no error escapes.
TEST_F(SentItemsTest, BadSettingsLoseNoMessage) {
    struct Case {
        const char* name;
        std::string key;
        std::string value;
        std::string folder;
    } cases[] = {
        {"Order1 not a number", "Order1", "abc", kSentItems},
        {"Order1 an unknown mode", "Order1", "9", kSentItems},
        {"PromptOutlookFolder not a Boolean", "PromptOutlookFolder", "Maybe", kSentItems},
        {"default folder deleted", "MoveToFolderEntryId", "00DEAD", kSentItems},
        {"override of 10,000 characters", "FromAccount1", std::string(10000, 'x'), kArchive},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto saved = Get(c.key);
        Set(c.key, c.value);
        auto item = SendMail(c.name);
        EXPECT_THAT(FoldersOf(item), ElementsAre(c.folder));
        // The next explorer open goes on as well.
        ostrevane::ModuleResult result;
        addin->QvExplorerOpen(nullptr, result);
        EXPECT_EQ(result, ostrevane::ModuleResult(0));
        Set(c.key, saved);
    }
}

}  // namespace
}  // namespace plovanex_test
