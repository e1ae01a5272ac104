#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/tests/processor_fixture.h"
#include "platform/error.h"

namespace processor_test {
namespace {

using Lines = std::vector<std::string>;

class MoveItTest : public ProcessorTest {
  protected:
    bool MoveIt(outlook::ItemPtr item, Ids target, std::string who) {
        return processor->MoveIt(item, target.entryId, target.storeId, who);
    }
};

TEST_F(MoveItTest, Filing) {
    struct Case {
        std::string name;
        std::string version;
        Settings settings;
        std::string target;  // a path, or "" for ids that name no folder
        std::string who;
        Lines lines;
        bool result;
        std::vector<std::string> holders;
    };
    const Case cases[] = {
        {"Moves", "11.0.8217", {}, kAcme, "X", {"Moved Item to Acme by X"}, true, {kAcme}},
        {"CopiesWhenMoveWantedIs0",
         "11.0.8217",
         {{"MoveWanted", "0"}},
         kAcme,
         "X",
         {"Copied Item to Acme by X"},
         true,
         {kAcme, kSent}},
        {"EmptyLabel", "11.0.8217", {}, kAcme, "", {"Moved Item to Acme by "}, true, {kAcme}},
        {"FolderFoundByTheSecondTry",
         "11.0.8217",
         {},
         kTeamInbox,
         "X",
         {"Moved Item to Inbox by X"},
         true,
         {kTeamInbox}},
        {"OutlookNine",
         "9.0.0.3821",
         {},
         kGlobex,
         "Y",
         {"Moved Item to Globex by Y"},
         true,
         {kGlobex}},
        {"OutlookTwelve",
         "12.0.4518",
         {},
         kGlobex,
         "Y",
         {"Moved Item to Globex by Y"},
         true,
         {kGlobex}},
        {"UnknownFolder",
         "11.0.8217",
         {},
         "",
         "X",
         {"Error occurred: Could not fetch the RDO 'Move To' folder"},
         false,
         {kSent}},
        {"MoveIntoItsOwnFolder",
         "11.0.8217",
         {},
         kSent,
         "X",
         {"Kept Item in Sent Items by X"},
         true,
         {kSent}},
        {"CopyIntoItsOwnFolder",
         "11.0.8217",
         {{"MoveWanted", "0"}},
         kSent,
         "QvItemEvent",
         {"Kept Item in Sent Items by QvItemEvent"},
         true,
         {kSent}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open(c.version);
        plovanex::SaveSetting("MoveWanted", "1");
        Apply(c.settings);
        auto item = Send(c.name);
        const auto id = MessageId(item);
        const Ids target =
            c.target.empty() ? Ids{"00000000DEAD", IdsOf(kAcme).storeId} : IdsOf(c.target);
        Clear();
        EXPECT_EQ(MoveIt(item, target, c.who), c.result);
        EXPECT_EQ(Texts(), c.lines);
        EXPECT_EQ(Holders(id), c.holders);
        EXPECT_TRUE(Reports().empty());
        for (const auto& line : home.Capture().Lines()) {
            EXPECT_EQ(line.source, "MoveIt");
        }
    }
}

TEST_F(MoveItTest, AnItemTheSessionDoesNotHold) {
    // The item lives in another profile: its ids name nothing in this one.
    testkit::ProfileBuilder other("Other");
    other.Store("Other Store", "O", "o@example.com")
        .Folder("\\\\Other Store\\Inbox", 0, mailstore::role::kInbox);
    other.Add("\\\\Other Store\\Inbox", {.subject = "elsewhere"});
    auto otherApp = outlook::CreateApplication(other.Profile(), "11.0.8217");
    auto item = otherApp->GetNamespace("MAPI")->GetDefaultFolder(6)->Items()->Item(1);
    Clear();
    EXPECT_FALSE(MoveIt(item, IdsOf(kAcme), "X"));
    EXPECT_EQ(Texts(), Lines{"Error occurred: Could not fetch the RDO Mail Item"});
    EXPECT_TRUE(Reports().empty());
    EXPECT_EQ(item->Parent()->FolderPath(), "\\\\Other Store\\Inbox");
}

TEST_F(MoveItTest, ErrorsAreReportedWithTheStepAndTheLabel) {
    const auto report = [](long step, const std::string& why, const std::string& who) {
        return std::vector{
            Report("Error occurred at line " + std::to_string(step) + ".  Reason: " + why, 1,
                   "Plovanex.MoveIt"),
            Report("Error information: " + who, 1, "Plovanex.MoveIt")};
    };
    const std::string nothing = "Object variable or With block variable not set";

    auto item = Send("errors");
    Clear();
    mirelink::SetLibraryWithdrawn(true);
    std::string why;
    try {
        mirelink::CreateSession();
    } catch (const platform::Error& e) {
        why = e.Description();
    }
    EXPECT_FALSE(MoveIt(item, IdsOf(kAcme), "withdrawn"));
    EXPECT_EQ(Reports(), report(2, why, "withdrawn"));
    mirelink::SetLibraryWithdrawn(false);

    // An item in no folder.
    Clear();
    auto loose = kit.Profile()->AddItem(mailstore::ItemRow{});
    auto looseItem = app->GetNamespace("MAPI")->GetItemFromID(kit.Profile()->Item(loose).entryId);
    EXPECT_FALSE(MoveIt(looseItem, IdsOf(kAcme), "in no folder"));
    EXPECT_EQ(Reports(), report(6, nothing, "in no folder"));

    Clear();
    EXPECT_FALSE(MoveIt(nullptr, IdsOf(kAcme), "no item"));
    EXPECT_EQ(Reports(), report(6, nothing, "no item"));

    Clear();
    processor->SetolApp(nullptr);
    EXPECT_FALSE(MoveIt(item, IdsOf(kAcme), "no application"));
    EXPECT_EQ(Reports(), report(2, nothing, "no application"));
    EXPECT_EQ(item->Parent()->FolderPath(), kSent);
    EXPECT_TRUE(Texts().empty());
}

}  // namespace
}  // namespace processor_test
