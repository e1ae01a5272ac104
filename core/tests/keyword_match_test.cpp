#include <gtest/gtest.h>

#include <new>
#include <string>
#include <thread>
#include <vector>

#include "core/keyword_match.h"
#include "platform/error.h"
#include "platform/testkit/testkit.h"

namespace {

using ostrevane::Report;
using plovanex::FindRegularExpressionMatch;
using plovanex::FindWholeWord;
using plovanex::IsSeparatorChar;

constexpr char kSource[] = "Plovanex.FindRegularExpressionMatch";

constexpr char kErrorList[] =
    "Error list: "
    "\r\n0 flexErrNone: No match was found"
    "\r\n1 flexErrOutOfMemory: text is too long for the Text property or pattern is too complex"
    "\r\n2 flexErrSquareB: A pattern with unbalanced square brackets ([, ]) is not accepted.  "
    "Escape special chars (e.g., '\\[' instead of '[')."
    "\r\n3 flexErrCurlyB: A pattern with unbalanced curly brackets ({, }) is not accepted.  "
    "Escape special chars (e.g., '\\{' instead of '{')."
    "\r\n4 flexErrBadPattern: An empty keyword phrase was submitted."
    "\r\n5 flexErrBadTagIndex: A bad replacement string was specified."
    "\r\n6 flexErrNoMatch: No match was found"
    "\r\n7 flexErrInvalidMatchIndex: A reference to more matches was not found.";

// One row per code: whether it separates under spacesOnly, spacesAndSymbols,
// spacesSymbolsAndCtrl and spacesSymbolsCtrlAndDigits.
struct ClassCase {
    int code;
    bool spaces, symbols, ctrl, digits;
};

TEST(SeparatorCharTest, ClassesAgainstEachSepType) {
    const std::vector<ClassCase> cases = {
        {0, false, false, true, true},     {9, false, false, true, true},
        {31, false, false, true, true},    {32, true, true, true, true},
        {33, false, true, true, true},     {47, false, true, true, true},
        {'0', false, false, false, true},  {'9', false, false, false, true},
        {58, false, true, true, true},     {64, false, true, true, true},
        {'A', false, false, false, false}, {'Z', false, false, false, false},
        {91, false, true, true, true},     {127, false, true, true, true},
        {0xC9, false, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(IsSeparatorChar(c.code, plovanex::spacesOnly, ""), c.spaces);
        EXPECT_EQ(IsSeparatorChar(c.code, plovanex::spacesAndSymbols, ""), c.symbols);
        EXPECT_EQ(IsSeparatorChar(c.code, plovanex::spacesSymbolsAndCtrl, ""), c.ctrl);
        EXPECT_EQ(IsSeparatorChar(c.code, plovanex::spacesSymbolsCtrlAndDigits, ""), c.digits);
    }
}

TEST(SeparatorCharTest, SpecialSeparatorIsTheUpperCasedFirstCharacter) {
    EXPECT_TRUE(IsSeparatorChar(';', plovanex::specialSep, ";,"));
    EXPECT_FALSE(IsSeparatorChar(',', plovanex::specialSep, ";,"));
    EXPECT_FALSE(IsSeparatorChar(' ', plovanex::specialSep, ";"));
    EXPECT_TRUE(IsSeparatorChar('X', plovanex::specialSep, "x"));
    EXPECT_FALSE(IsSeparatorChar('x', plovanex::specialSep, "x"));
    EXPECT_FALSE(IsSeparatorChar(' ', plovanex::specialSep, ""));
}

struct WholeWordCase {
    const char* text;
    const char* keyword;
    long start;
    int compare;
    int sep;
    const char* special;
    long expected;
};

class WholeWordTest : public testing::TestWithParam<WholeWordCase> {};

TEST_P(WholeWordTest, Position) {
    const auto& c = GetParam();
    EXPECT_EQ(FindWholeWord(c.start, c.text, c.keyword, c.compare, c.sep, c.special), c.expected);
}

constexpr int kAll = plovanex::spacesSymbolsCtrlAndDigits;

INSTANTIATE_TEST_SUITE_P(
    Cases, WholeWordTest,
    testing::Values(WholeWordCase{"the cat.", "cat", 1, 1, kAll, "", 5},
                    WholeWordCase{"Cat sat", "cat", 1, 1, kAll, "", 1},
                    WholeWordCase{"Cat sat", "cat", 1, 0, kAll, "", 0},
                    WholeWordCase{"concatenate", "cat", 1, 1, kAll, "", 0},
                    WholeWordCase{"concatenate the cat", "cat", 1, 1, kAll, "", 17},
                    WholeWordCase{"cats", "cat", 1, 1, kAll, "", 0},
                    WholeWordCase{"cat", "cat", 1, 1, kAll, "", 1},
                    WholeWordCase{"(cat)", "cat", 1, 1, kAll, "", 2},
                    WholeWordCase{"\tcat\r\n", "cat", 1, 1, kAll, "", 2},
                    // A digit beside the word separates only when digits do.
                    WholeWordCase{"cat5", "cat", 1, 1, kAll, "", 1},
                    WholeWordCase{"cat5 cat", "cat", 1, 1, plovanex::spacesSymbolsAndCtrl, "", 6},
                    WholeWordCase{"1cat", "cat", 1, 1, plovanex::spacesSymbolsAndCtrl, "", 0},
                    WholeWordCase{"the cat.", "cat", 1, 1, plovanex::spacesOnly, "", 0},
                    WholeWordCase{"cat cat", "cat", 2, 1, kAll, "", 5},
                    WholeWordCase{"a;cat;b", "cat", 1, 1, plovanex::specialSep, ";", 3},
                    WholeWordCase{"a cat b", "cat", 1, 1, plovanex::specialSep, ";", 0},
                    // Text compare folds every letter; positions count characters.
                    WholeWordCase{"office ZÜRICH, 3rd floor", "zürich", 1, 1, kAll, "", 8},
                    WholeWordCase{"Büro in Zürich", "Zürich", 1, 0, kAll, "", 9},
                    WholeWordCase{"Büro in Zürich", "zürich", 1, 0, kAll, "", 0},
                    WholeWordCase{"ΟΔΥΣΣΕΥΣ ΣΊΣΥΦΟΣ", "σίσυφος", 1, 1, kAll, "", 10},
                    WholeWordCase{"😀 cat", "CAT", 1, 1, kAll, "", 4},
                    WholeWordCase{"caf\xE9"
                                  " cat",
                                  "cat", 1, 1, kAll, "", 6},
                    WholeWordCase{"aécatéb", "cat", 1, 1, plovanex::specialSep, "é", 3},
                    WholeWordCase{"some text", "", 1, 1, kAll, "", 0},
                    WholeWordCase{"", "cat", 1, 1, kAll, "", 0}));

class RegularExpressionMatchTest : public testkit::HomeTest {
  protected:
    void TearDown() override {
        plovanex::SetRegularExpressionsProbe(nullptr);
        plovanex::UnloadRegularExpressionsForm();
    }
};

TEST_F(RegularExpressionMatchTest, CountsMatchesIgnoringCase) {
    struct Case {
        const char* text;
        const char* pattern;
        long count;
    };
    const std::vector<Case> cases = {
        {"The cat sat on the mat", "at", 3},
        {"The cat sat on the mat", "THE", 2},
        {"The cat sat on the mat", "[cm]at", 2},
        {"invoice 2024-17", "[0-9]+", 2},
        {"Re: urgent", "^re:", 1},
        {"nothing here", "invoice", 0},
        {"a+b (c|d)", "(c|d)", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(FindRegularExpressionMatch(c.text, c.pattern), c.count);
    }
    EXPECT_TRUE(home.Capture().Reports().empty());
}

TEST_F(RegularExpressionMatchTest, CaseIsIgnoredWhateverTheControlHeld) {
    plovanex::RegularExpressionsForm().regularExpressions.SetCaseSensitive(true);
    EXPECT_EQ(FindRegularExpressionMatch("URGENT: call", "urgent"), 1);
    EXPECT_FALSE(plovanex::RegularExpressionsForm().regularExpressions.CaseSensitive());
}

TEST_F(RegularExpressionMatchTest, EmptyTextCountsNothingSilently) {
    EXPECT_EQ(FindRegularExpressionMatch("", "cat"), 0);
    EXPECT_EQ(FindRegularExpressionMatch("", "[cat"), 0);
    EXPECT_EQ(FindRegularExpressionMatch("", ""), 0);
    EXPECT_TRUE(home.Capture().Reports().empty());
}

TEST_F(RegularExpressionMatchTest, EmptyPatternIsReported) {
    EXPECT_EQ(FindRegularExpressionMatch(" ", ""), 0);
    EXPECT_EQ(
        home.Capture().Reports(),
        (std::vector<Report>{{"Error occurred.  Reason: No pattern specified.", 1, kSource}}));
}

TEST_F(RegularExpressionMatchTest, RefusedPatternFallsBackToWholeWord) {
    struct Case {
        const char* text;
        const char* pattern;
        int error;
        long position;
    };
    const std::vector<Case> cases = {
        {"see the [Draft notes", "[draft", 2, 9},
        {"see [ÉLAN now", "[élan", 2, 5},
        {"a[draft]", "[draft", 2, 0},
        {"keep {this} safe", "{this", 3, 6},
        {"*cat", "*cat", 4, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        home.Capture().Clear();
        EXPECT_EQ(FindRegularExpressionMatch(c.text, c.pattern), c.position);
        EXPECT_EQ(home.Capture().Reports(),
                  (std::vector<Report>{
                      {"Error occurred during match.  Match error: " + std::to_string(c.error), 1,
                       kSource},
                      {kErrorList, 0, ""},
                      {"Continuing with simple keyword matching...", 1, kSource}}));
    }
}

// Anything the control raises is reported and the keyword is searched as a
// whole word.
TEST_F(RegularExpressionMatchTest, RaisedErrorFallsBackToWholeWord) {
    struct Case {
        std::function<void(platform::FlexString&)> probe;
        std::string description;
    };
    const std::vector<Case> cases = {
        {[](platform::FlexString& control) { control.MatchText(3); }, "Invalid match index"},
        {[](platform::FlexString&) { throw platform::Error("Automation error"); },
         "Automation error"},
        {[](platform::FlexString&) { throw std::bad_alloc(); }, "Out of memory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        home.Capture().Clear();
        plovanex::SetRegularExpressionsProbe(c.probe);
        EXPECT_EQ(FindRegularExpressionMatch("the c.t and the cat", "cat"), 17);
        EXPECT_EQ(home.Capture().Reports(),
                  (std::vector<Report>{{"Error occurred.  Reason: " + c.description, 1, kSource},
                                       {"Continuing...", 1, kSource}}));
    }
}

TEST_F(RegularExpressionMatchTest, FormIsPerThreadAndReloadsAfterUnload) {
    EXPECT_FALSE(plovanex::RegularExpressionsFormLoaded());
    std::thread([] {
        EXPECT_EQ(FindRegularExpressionMatch("cat", "cat"), 1);
        EXPECT_TRUE(plovanex::RegularExpressionsFormLoaded());
        plovanex::UnloadRegularExpressionsForm();
    }).join();
    EXPECT_FALSE(plovanex::RegularExpressionsFormLoaded());
    EXPECT_EQ(FindRegularExpressionMatch("cat", "cat"), 1);
    EXPECT_TRUE(plovanex::RegularExpressionsFormLoaded());
    plovanex::UnloadRegularExpressionsForm();
    EXPECT_FALSE(plovanex::RegularExpressionsFormLoaded());
    EXPECT_EQ(FindRegularExpressionMatch("a cat, a cat", "cat"), 2);
}

}  // namespace
