#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/globals.h"
#include "options/rules/rule_tables.h"
#include "platform/error.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/testkit.h"

namespace {

using ostrevane::Report;
using Texts = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, std::string>>;

class RuleTablesTest : public testkit::HomeTest {
  protected:
    static void Store(const Pairs& pairs) {
        for (const auto& [key, value] : pairs) {
            plovanex::SaveSetting(key, value);
        }
    }
};

// Two contact rules and two keyword rules written interleaved, the way an
// editor that adds a folder to an old rule leaves them, among other values
// whose texts hold the stems.
TEST_F(RuleTablesTest, InterleavedRulesLoadAsOneRowPerKey) {
    Store({{"Order1", "2"},
           {"MoveToFolderName", "\\\\Mailbox\\Assoc Keyword archive"},
           {"42AssocContactCount", "1"},
           {"42AssocContactName1", "Ann Lee"},
           {"42AssocContactTag1", "ann@example.com"},
           {"310Keywords", "invoice,receipt"},
           {"7AssocContactCount", "1"},
           {"7AssocContactName1", "*"},
           {"7AssocContactTag1", "*"},
           {"7AssocFolderCount", "1"},
           {"7AssocFolderName1", "\\\\Mailbox\\All"},
           {"7AssocFolderEntryId1", "E7"},
           {"7AssocFolderStoreId1", "S7"},
           {"FromOutlookFolderName1", "Keywords Assoc"},
           {"310KeywordFolderCount", "1"},
           {"310KeywordFolderName1", "\\\\Mailbox\\Bills"},
           {"310KeywordFolderEntryId1", "E310"},
           {"310KeywordFolderStoreId1", "S310"},
           {"99Keywords", "urgent"},
           {"42AssocFolderCount", "1"},
           {"42AssocFolderName1", "\\\\Mailbox\\Ann"},
           {"42AssocFolderEntryId1", "E42"},
           {"42AssocFolderStoreId1", "S42"},
           {"99KeywordFolderCount", "1"},
           {"99KeywordFolderName1", "\\\\Mailbox\\Urgent"}});

    plovanex::CAssocRowCollection contacts;
    contacts.Initialize();
    ASSERT_EQ(contacts.count(), 2);
    const auto ann = contacts.Item(1);
    EXPECT_EQ(ann->Key(), 42);
    EXPECT_EQ(ann->ContactCount(), 1);
    EXPECT_EQ(*ann->ContactNames(), Texts{"Ann Lee"});
    EXPECT_EQ(*ann->ContactTags(), Texts{"ann@example.com"});
    EXPECT_EQ(ann->folderCount(), 1);
    EXPECT_EQ(*ann->FolderNames(), Texts{"\\\\Mailbox\\Ann"});
    EXPECT_EQ(*ann->FolderEntryIds(), Texts{"E42"});
    EXPECT_EQ(*ann->FolderStoreIds(), Texts{"S42"});
    const auto all = contacts.Item(2);
    EXPECT_EQ(all->Key(), 7);
    EXPECT_EQ(*all->ContactNames(), Texts{"*"});
    EXPECT_EQ(*all->ContactTags(), Texts{"*"});
    EXPECT_EQ(*all->FolderNames(), Texts{"\\\\Mailbox\\All"});
    EXPECT_EQ(*all->FolderEntryIds(), Texts{"E7"});
    EXPECT_EQ(*all->FolderStoreIds(), Texts{"S7"});

    plovanex::CKeywordRowCollection keywords;
    keywords.Initialize();
    ASSERT_EQ(keywords.count(), 2);
    const auto bills = keywords.Item(1);
    EXPECT_EQ(bills->Key(), 310);
    EXPECT_EQ(bills->keywords(), "invoice,receipt");
    EXPECT_EQ(bills->folderCount(), 1);
    EXPECT_EQ(*bills->FolderNames(), Texts{"\\\\Mailbox\\Bills"});
    EXPECT_EQ(*bills->FolderEntryIds(), Texts{"E310"});
    EXPECT_EQ(*bills->FolderStoreIds(), Texts{"S310"});
    const auto urgent = keywords.Item(2);
    EXPECT_EQ(urgent->Key(), 99);
    EXPECT_EQ(urgent->keywords(), "urgent");
    EXPECT_EQ(*urgent->FolderNames(), Texts{"\\\\Mailbox\\Urgent"});
    EXPECT_TRUE(urgent->FolderEntryIds()->empty());

    EXPECT_EQ(keywords.find(99), urgent);
    EXPECT_EQ(contacts.find(7), all);
    EXPECT_EQ(contacts.find(310), nullptr);
    EXPECT_TRUE(home.Capture().Reports().empty());
}

TEST_F(RuleTablesTest, EntriesBeyondTheCountAreKept) {
    Store({{"5AssocContactCount", "2"},
           {"5AssocContactName1", "Ann"},
           {"5AssocContactName2", "Bob"},
           {"5AssocContactName3", "Cy"}});
    plovanex::CAssocRowCollection contacts;
    contacts.Initialize();
    ASSERT_EQ(contacts.count(), 1);
    EXPECT_EQ(contacts.Item(1)->ContactCount(), 2);
    EXPECT_EQ(*contacts.Item(1)->ContactNames(), (Texts{"Ann", "Bob", "Cy"}));
}

// Names that hold a stem after something other than a rule key.
TEST_F(RuleTablesTest, NamesWithoutARuleKeyAreSkipped) {
    Store({{"xAssocFolderName1", "\\\\Mailbox\\X"},
           {"AssocFolderName1", "\\\\Mailbox\\None"},
           {"-3AssocFolderName1", "\\\\Mailbox\\Negative"},
           {"1.5AssocFolderName1", "\\\\Mailbox\\Fraction"},
           {"x1Keywords", "skip"},
           {"12AssocFolderName1", "\\\\Mailbox\\Kept"},
           {"12Keywords", "kept"}});
    plovanex::CAssocRowCollection contacts;
    contacts.Initialize();
    ASSERT_EQ(contacts.count(), 1);
    EXPECT_EQ(contacts.Item(1)->Key(), 12);
    EXPECT_EQ(*contacts.Item(1)->FolderNames(), Texts{"\\\\Mailbox\\Kept"});
    plovanex::CKeywordRowCollection keywords;
    keywords.Initialize();
    ASSERT_EQ(keywords.count(), 1);
    EXPECT_EQ(keywords.Item(1)->keywords(), "kept");
    EXPECT_TRUE(home.Capture().Reports().empty());
}

// A second rule that drew a key in use overwrites the entries it shares
// with the first; the row holds what is left of both.
TEST_F(RuleTablesTest, TwoRulesWithOneKeyLoadAsOneRow) {
    Store({{"5AssocContactCount", "2"},
           {"5AssocContactName1", "Ann"},
           {"5AssocContactName2", "Bob"},
           {"5AssocFolderName1", "\\\\Mailbox\\First"}});
    Store({{"5AssocContactCount", "1"},
           {"5AssocContactName1", "Cy"},
           {"5AssocFolderName1", "\\\\Mailbox\\Second"}});
    plovanex::CAssocRowCollection contacts;
    contacts.Initialize();
    ASSERT_EQ(contacts.count(), 1);
    EXPECT_EQ(contacts.Item(1)->ContactCount(), 1);
    EXPECT_EQ(*contacts.Item(1)->ContactNames(), (Texts{"Cy", "Bob"}));
    EXPECT_EQ(*contacts.Item(1)->FolderNames(), Texts{"\\\\Mailbox\\Second"});
}

// The editor writes the folder as soon as it is picked; cancelling leaves
// the rule without keywords.
TEST_F(RuleTablesTest, CancelledKeywordRuleHasOnlyItsFolder) {
    Store({{"77KeywordFolderCount", "1"},
           {"77KeywordFolderName1", "\\\\Mailbox\\Picked"},
           {"77KeywordFolderEntryId1", "E77"},
           {"77KeywordFolderStoreId1", "S77"}});
    plovanex::CKeywordRowCollection keywords;
    keywords.Initialize();
    ASSERT_EQ(keywords.count(), 1);
    const auto row = keywords.Item(1);
    EXPECT_EQ(row->Key(), 77);
    EXPECT_EQ(row->keywords(), "");
    EXPECT_EQ(row->folderCount(), 1);
    EXPECT_EQ(*row->FolderNames(), Texts{"\\\\Mailbox\\Picked"});
    EXPECT_EQ(*row->FolderEntryIds(), Texts{"E77"});
    EXPECT_EQ(*row->FolderStoreIds(), Texts{"S77"});
}

// A value that is no 32-bit number stops the load: a count, after which the
// rows made before it stay, the failing rule's own included; or a rule key of
// digits, which is a run-time error, not a name to skip.
TEST_F(RuleTablesTest, UnreadableNumberStopsTheLoad) {
    struct Case {
        const char* what;
        Pairs failing;
        const char* description;
        int keywordStep;
        int rows;     // in each table
        int lastKey;  // of the last row
    };
    const std::vector<Case> cases = {
        {"count",
         {{"4AssocFolderCount", "two"}, {"4KeywordFolderCount", "two"}},
         "Type mismatch",
         40,
         2,
         4},
        {"long count",
         {{"4AssocFolderCount", "99999999999"}, {"4KeywordFolderCount", "99999999999"}},
         "Overflow",
         40,
         2,
         4},
        {"long key",
         {{"99999999999AssocContactName1", "Huge"}, {"99999999999Keywords", "huge"}},
         "Overflow",
         20,
         1,
         3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testkit::TempHome fresh;
        Store({{"3AssocContactName1", "Ann"}, {"3KeywordFolderName1", "\\\\Mailbox\\Three"}});
        Store(c.failing);
        Store({{"5AssocContactName1", "Bob"}, {"5Keywords", "late"}});
        plovanex::CAssocRowCollection contacts;
        contacts.Initialize();
        plovanex::CKeywordRowCollection keywords;
        keywords.Initialize();
        EXPECT_EQ(fresh.Capture().Reports(),
                  (std::vector<Report>{{std::string("Error occurred.  Reason: ") + c.description, 0,
                                        "Plovanex.CAssociateRows.Load"},
                                       {"Error occurred at line " + std::to_string(c.keywordStep) +
                                            ".  Reason: " + c.description,
                                        0, "Plovanex.CKeywordRows.Load"}}));
        ASSERT_EQ(contacts.count(), c.rows);
        EXPECT_EQ(*contacts.Item(1)->ContactNames(), Texts{"Ann"});
        EXPECT_EQ(contacts.Item(c.rows)->Key(), c.lastKey);
        ASSERT_EQ(keywords.count(), c.rows);
        EXPECT_EQ(keywords.Item(c.rows)->Key(), c.lastKey);
        EXPECT_EQ(keywords.find(5), nullptr);
    }
}

TEST_F(RuleTablesTest, FailingStoreIsReported) {
    std::ofstream(platform::settings::DefaultFile()) << "this is no database";
    plovanex::CKeywordRowCollection keywords;
    keywords.Initialize();
    EXPECT_EQ(keywords.count(), 0);
    const auto reports = home.Capture().Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].message.starts_with("Error occurred at line 10.  Reason: "))
        << reports[0].message;
    EXPECT_EQ(reports[0].code, 0);
    EXPECT_EQ(reports[0].source, "Plovanex.CKeywordRows.Load");
}

// Nothing stored yet, or no rules among the values: empty tables, nothing
// reported.
TEST_F(RuleTablesTest, NoRulesGiveEmptyTables) {
    for (bool withOtherValues : {false, true}) {
        SCOPED_TRACE(withOtherValues);
        if (withOtherValues) {
            Store({{"Order1", "1"}, {"PromptOutlookFolder", "False"}});
        }
        plovanex::CAssocRowCollection contacts;
        contacts.Initialize();
        plovanex::CKeywordRowCollection keywords;
        keywords.Initialize();
        EXPECT_EQ(contacts.count(), 0);
        EXPECT_EQ(keywords.count(), 0);
        EXPECT_EQ(keywords.find(1), nullptr);
        EXPECT_TRUE(home.Capture().Reports().empty());
    }
}

TEST_F(RuleTablesTest, SaveWritesNothing) {
    Store({{"8Keywords", "a,b"}, {"8AssocContactName1", "Ann"}});
    const auto before = *plovanex::GetAllSettings();
    {
        plovanex::CKeywordRowCollection keywords;
        keywords.Initialize();
        keywords.Item(1)->SetKeywords("changed");
        keywords.Remove(1);
        EXPECT_FALSE(keywords.Save());
        plovanex::CAssocRowCollection contacts;
        contacts.Initialize();
        contacts.Item(1)->ContactNames()->push_back("Bob");
        EXPECT_FALSE(contacts.Save());
        EXPECT_FALSE(contacts.Load());
    }
    EXPECT_EQ(*plovanex::GetAllSettings(), before);
}

TEST_F(RuleTablesTest, PositionsCountFromOne) {
    plovanex::CKeywordRowCollection table;
    for (int key : {1, 2, 2, 3}) {
        auto row = std::make_shared<plovanex::CKeywordRow>();
        row->SetKey(key);
        row->SetKeywords("rule " + std::to_string(table.count() + 1));
        table.Add(row);
    }
    EXPECT_EQ(table.find(2)->keywords(), "rule 2");
    table.Remove(2);
    ASSERT_EQ(table.count(), 3);
    EXPECT_EQ(table.Item(2)->keywords(), "rule 3");
    EXPECT_EQ(table.find(2)->keywords(), "rule 3");
    EXPECT_THROW(table.Item(0), platform::Error);
    EXPECT_THROW(table.Item(4), platform::Error);
    EXPECT_THROW(table.Remove(4), platform::Error);
    EXPECT_EQ(table.count(), 3);

    Store({{"9Keywords", "stored"}});
    table.Initialize();
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(table.Item(1)->keywords(), "stored");
}

TEST(RuleRowTest, SetSharesTheCollection) {
    plovanex::CAssociateRow row;
    EXPECT_NE(row.ContactNames(), row.ContactTags());
    auto names = plovanex::NewStringCollection();
    row.SetContactNames(names);
    names->push_back("Ann");
    EXPECT_EQ(*row.ContactNames(), Texts{"Ann"});
}

}  // namespace
