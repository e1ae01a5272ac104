#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/tests/rule_fixture.h"
#include "platform/mirelink/mirelink.h"

namespace processor_test {
namespace {

namespace keys = common::keys;

const std::string kMatchSource = "Plovanex.FindRegularExpressionMatch";

class KeywordModeTest : public RuleTest {
  protected:
    Settings KeywordRule(int key, const std::string& keywords, const std::string& path) {
        return Join({{{keys::RuleValueName(key, keys::Keywords), keywords},
                      {keys::RuleValueName(key, keys::KeywordFolderCount), "1"}},
                     RuleFolder(key, "Keyword", 1, path)});
    }

    // The reports, with the long list of matcher errors shortened.
    std::vector<ostrevane::Report> ShortReports() {
        auto reports = Reports();
        for (auto& report : reports) {
            if (report.message.starts_with("Error list: \r\n0 flexErrNone")) {
                report.message = "Error list: ...";
            }
        }
        return reports;
    }
};

std::string Len(int n) {
    return "Len(email.body): " + std::to_string(n);
}

std::string Looking(const std::string& keyword, long result) {
    return "Looking for '" + keyword + "'; Result: " + std::to_string(result);
}

std::string Filed(const std::string& verb, const std::string& folder) {
    return verb + " Item to " + folder + " by KeywordsMoveToFolder";
}

TEST_F(KeywordModeTest, Scan) {
    const std::vector<ostrevane::Report> fallback = {
        Report("Error occurred during match.  Match error: 2", 1, kMatchSource),
        Report("Error list: ...", 0, ""),
        Report("Continuing with simple keyword matching...", 1, kMatchSource)};
    const Settings interleaved =
        Join({{{"1Keywords", "Zephyr"}, {"2Keywords", "Acme"}, {"2KeywordFolderCount", "1"}},
              RuleFolder(2, "Keyword", 1, kAcme),
              {{"1KeywordFolderCount", "1"}},
              RuleFolder(1, "Keyword", 1, kApollo)});
    struct Case {
        std::string name;
        Settings settings;
        std::string subject;
        std::string body;
        Lines lines;
        std::vector<ostrevane::Report> reports;
        std::vector<std::string> holders;
    };
    const Case cases[] = {
        {"PatternIgnoringCase",
         KeywordRule(7, "ac[m]e", kAcme),
         "Price list",
         "Dear ACME team",
         {Len(14), Looking("ac[m]e", 1), Filed("Moved", "Acme")},
         {},
         {kAcme}},
        {"PiecesAreNotTrimmed",
         KeywordRule(7, "Globex, Acme", kAcme),
         "Acme",
         "",
         {Len(0), Looking("Globex", 0), Looking(" Acme", 0)},
         {},
         {kSent}},
        {"EmptyPieceCountsNothing",
         KeywordRule(7, "Zephyr,,Acme", kAcme),
         "Acme",
         "",
         {Len(0), Looking("Zephyr", 0), Looking("", 0), Looking("Acme", 1), Filed("Moved", "Acme")},
         {Report("Error occurred.  Reason: No pattern specified.", 1, kMatchSource)},
         {kAcme}},
        {"EmptySubjectAndBodySearchOneBlank",
         KeywordRule(7, "^ $", kAcme),
         "",
         "",
         {Len(0), Looking("^ $", 1), Filed("Moved", "Acme")},
         {},
         {kAcme}},
        {"FallbackFindsTheWordBeforeAFullStop",
         KeywordRule(7, "[cat", kAcme),
         "Feed",
         "feed the [cat.",
         {Len(14), Looking("[cat", 15), Filed("Moved", "Acme")},
         fallback,
         {kAcme}},
        {"FallbackFindsTheWordAtTheStartIgnoringCase",
         KeywordRule(7, "[cat", kAcme),
         "[Cat sat",
         "",
         {Len(0), Looking("[cat", 1), Filed("Moved", "Acme")},
         fallback,
         {kAcme}},
        {"FallbackSkipsTheWordInsideAnother",
         KeywordRule(7, "[cat", kAcme),
         "con[catenate",
         "",
         {Len(0), Looking("[cat", 0)},
         fallback,
         {kSent}},
        {"FallbackTakesADigitForASeparator",
         KeywordRule(7, "[cat", kAcme),
         "9[cat9 lives",
         "",
         {Len(0), Looking("[cat", 2), Filed("Moved", "Acme")},
         fallback,
         {kAcme}},
        {"OnlyKeysWithTheStemAreRules",
         Join({{{"MoveToFolderName", "Personal Folders\\Keywords"}, {"5keywords", "Acme"}},
               RuleFolder(6, "Keyword", 1, kAcme),
               {{"6KeywordFolderCount", "1"}}}),
         "Acme",
         "Keywords",
         {},
         {},
         {kSent}},
        {"FirstRuleInStoreOrderFiles",
         Join({KeywordRule(900, "Acme", kGlobex), KeywordRule(1, "Acme", kAcme)}),
         "Acme",
         "",
         {Len(0), Looking("Acme", 1), Filed("Moved", "Globex")},
         {},
         {kGlobex}},
        {"InterleavedRulesFirst",
         interleaved,
         "Zephyr",
         "",
         {Len(0), Looking("Zephyr", 1), Filed("Moved", "Apollo")},
         {},
         {kApollo}},
        {"InterleavedRulesSecond",
         interleaved,
         "Acme",
         "",
         {Len(0), Looking("Zephyr", 0), Len(0), Looking("Acme", 1), Filed("Moved", "Acme")},
         {},
         {kAcme}},
        {"RulesWithoutFoldersAreSkipped",
         Join({{{"2Keywords", "Acme"}, {"3Keywords", "Acme"}, {"3KeywordFolderCount", "1"}},
               KeywordRule(4, "Acme", kGlobex)}),
         "Acme",
         "",
         {Len(0), Looking("Acme", 1), Len(0), Looking("Acme", 1), kNoFolder, Len(0),
          Looking("Acme", 1), Filed("Moved", "Globex")},
         {},
         {kGlobex}},
        {"EveryFolderOfTheRule",
         Join({{{"MoveWanted", "0"}, {"8Keywords", "Acme"}, {"8KeywordFolderCount", "2"}},
               RuleFolder(8, "Keyword", 1, kAcme),
               RuleFolder(8, "Keyword", 2, kGlobex)}),
         "Acme",
         "",
         {Len(0), Looking("Acme", 1), Filed("Copied", "Acme"), Filed("Copied", "Globex")},
         {},
         {kAcme, kGlobex, kSent}},
        {"FolderCountNotANumber",
         {{"6Keywords", "Acme"}, {"6KeywordFolderCount", "one"}},
         "Acme",
         "",
         {Len(0), Looking("Acme", 1)},
         {Report("Error occurred at line 2.  Reason: Type mismatch", 1,
                 "Plovanex.KeywordsMoveToFolder")},
         {kSent}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto [result, id] =
            Run("2", c.settings, {.subject = c.subject, .body = c.body, .to = "lead@example.com"});
        EXPECT_EQ(result, c.holders.front() != kSent);
        EXPECT_EQ(ModeLines("Entering Keyword Mode"), c.lines);
        EXPECT_EQ(ShortReports(), c.reports);
        EXPECT_EQ(Holders(id), c.holders);
        ExpectSources("ScanForKeywords");
    }
}

TEST_F(KeywordModeTest, WithoutTheMapiLibrary) {
    Apply(Join({{{"Order1", "2"}}, KeywordRule(7, "Acme", kAcme)}));
    auto item = Item({.subject = "Acme"});
    Clear();
    mirelink::SetLibraryWithdrawn(true);
    EXPECT_FALSE(Process(item));
    EXPECT_EQ(ModeLines("Entering Keyword Mode"), Lines{});
    EXPECT_EQ(Reports(), (std::vector<ostrevane::Report>{Report(
                             "Error occurred.  Reason: Cannot create Mirelink.KVSafeMailItem: "
                             "the MAPI library is not available",
                             1, "Plovanex.ScanForKeywords")}));
}

}  // namespace
}  // namespace processor_test
