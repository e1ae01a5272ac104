#include "platform/flexstring/flexstring.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testkit/testkit.h"

namespace {

using platform::FlexString;

struct Case {
    const char* name;
    std::string pattern;
    std::string text;
    int error;
    std::vector<std::string> matches;  // the texts matched, in order
    bool caseSensitive = false;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << c.name;
}

class FlexStringCases : public testkit::HomeTest, public ::testing::WithParamInterface<Case> {};

TEST_P(FlexStringCases, ErrorCountAndMatches) {
    const Case& c = GetParam();
    FlexString fs;
    fs.SetCaseSensitive(c.caseSensitive);
    fs.SetText(c.text);
    fs.SetPattern(c.pattern);
    EXPECT_EQ(fs.Error(), c.error);
    ASSERT_EQ(fs.MatchCount(), static_cast<int>(c.matches.size()));
    for (int i = 0; i < fs.MatchCount(); ++i) {
        EXPECT_EQ(fs.MatchText(i), c.matches[static_cast<std::size_t>(i)]) << "match " << i;
    }
}

// clang-format off
const Case kCases[] = {
    // literals, case
    {"literal", "cat", "a cat, a Cat, a CAT", 0, {"cat", "Cat", "CAT"}},
    {"literal_case_sensitive", "cat", "a cat, a Cat", 0, {"cat"}, true},
    {"literal_non_ascii_folds", "élan", "ÉLAN élan", 0, {"ÉLAN", "élan"}},
    {"no_overlap", "aa", "aaaaa", 0, {"aa", "aa"}},
    {"no_match", "dog", "a cat", 6, {}},
    {"empty_text", "a", "", 6, {}},
    // any character
    {"dot", "c.t", "cat cut c\nt ct", 0, {"cat", "cut", "c\nt"}},
    {"dot_takes_code_point", "x.y", "xéy", 0, {"xéy"}},
    // classes
    {"class", "[bc]at", "bat cat hat", 0, {"bat", "cat"}},
    {"negated_class", "[^bc]at", "bat cat hat", 0, {"hat"}},
    {"range", "[0-9]+", "a12b345", 0, {"12", "345"}},
    {"range_folds", "[a-c]+", "xABCx", 0, {"ABC"}},
    {"class_dash_literal", "[-a]+", "x-a-x", 0, {"-a-"}},
    {"class_escapes", "[\\]\\\\]+", "a]\\]b", 0, {"]\\]"}},
    {"class_brackets_and_specials", "[[(|.*]+", "a[(|.*b", 0, {"[(|.*"}},
    {"class_control_escape", "[\\t\\n]", "a\tb\nc", 0, {"\t", "\n"}},
    {"empty_class_matches_nothing", "a[]", "a", 6, {}},
    {"empty_negated_class_any", "a[^]", "ab", 0, {"ab"}},
    {"reversed_range", "[z-a]", "abc", 4, {}},
    // quantifiers: greedy, leftmost
    {"question", "colou?r", "color colour colouur", 0, {"color", "colour"}},
    {"star", "ab*", "a ab abbb", 0, {"a", "ab", "abbb"}},
    {"plus", "ab+", "a ab abbb", 0, {"ab", "abbb"}},
    {"greedy_dot_star", "<.*>", "<a> <b>", 0, {"<a> <b>"}},
    {"stacked_quantifiers", "ab+?c", "ac abc abbc", 0, {"ac", "abc", "abbc"}},
    // empty matches: one per position, the next search one character on
    {"empty_matches", "x*", "ab", 0, {"", "", ""}},
    {"empty_after_match", "a*", "baa", 0, {"", "aa", ""}},
    {"empty_steps_code_points", "x*", "é", 0, {"", ""}},
    // anchors
    {"start_anchor", "^ab", "abab", 0, {"ab"}},
    {"start_anchor_only_at_start", "^b", "ab", 6, {}},
    {"end_anchor", "ab$", "abab", 0, {"ab"}},
    {"end_anchor_not_before_newline", "ab$", "ab\n", 6, {}},
    {"both_anchors", "^a.*b$", "a\nxb", 0, {"a\nxb"}},
    {"anchor_alone", "$", "abc", 0, {""}},
    // escapes
    {"escaped_specials", "\\[\\]\\{\\}\\.\\*\\+\\?\\^\\$\\\\", "[]{}.*+?^$\\", 0, {"[]{}.*+?^$\\"}},
    {"escaped_dot_is_literal", "a\\.b", "axb a.b", 0, {"a.b"}},
    {"escaped_letter", "\\q", "q", 0, {"q"}},
    {"control_escapes", "\\a\\b\\f\\n\\r\\t\\v", "\a\b\f\n\r\t\v", 0, {"\a\b\f\n\r\t\v"}},
    // characters special to RE2 but literal here
    {"parentheses_literal", "(a)", "a (a)", 0, {"(a)"}},
    {"bar_literal", "a|b", "a b a|b", 0, {"a|b"}},
    {"re2_flag_text_literal", "(?i)x", "(i)x", 0, {"(i)x"}},
    {"re2_escape_text_literal", "\\(\\?i\\)\\d", "5 (?i)d", 0, {"(?i)d"}},
    {"non_capture_text", "a(?:x)", "a:x) a(:x)", 0, {"a:x)", "a(:x)"}},
    {"braces_with_digits", "a\\{2\\}", "aa a{2}", 0, {"a{2}"}},
    {"nul_character", std::string("a\0b", 3), std::string("xa\0b", 4), 0, {std::string("a\0b", 3)}},
    // tags match nothing themselves
    {"tag", "{ab}c", "abc", 0, {"abc"}},
    {"nested_tags", "{a{b}}c", "xabc", 0, {"abc"}},
    {"empty_tag", "a{}b", "ab", 0, {"ab"}},
    // errors
    {"unclosed_square", "[abc", "abc", 2, {}},
    {"stray_close_square", "abc]", "abc", 2, {}},
    {"backslash_in_open_class", "[a\\", "a", 2, {}},
    {"unclosed_curly", "{abc", "abc", 3, {}},
    {"stray_close_curly", "abc}", "abc", 3, {}},
    {"curly_order", "}a{", "a", 3, {}},
    {"empty_pattern", "", "abc", 4, {}},
    {"leading_quantifier", "*abc", "abc", 4, {}},
    {"quantifier_after_anchor", "^+a", "a", 4, {}},
    {"quantifier_after_tag_open", "{*a}", "a", 4, {}},
    {"quantifier_after_tag_close", "{a}*", "a", 4, {}},
    {"dangling_backslash", "abc\\", "abc", 4, {}},
    {"invalid_utf8_pattern", "a\xff", "a", 4, {}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Patterns, FlexStringCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

class FlexStringTest : public testkit::HomeTest {};

TEST_F(FlexStringTest, TagsAndIndexErrors) {
    FlexString fs;
    fs.SetText("key=one; key=two");
    fs.SetPattern("{[a-z]+}={[a-z]+}");
    ASSERT_EQ(fs.MatchCount(), 2);
    ASSERT_EQ(fs.TagCount(), 2);
    EXPECT_EQ(fs.TagText(1, 0), "key");
    EXPECT_EQ(fs.TagText(1, 1), "two");
    EXPECT_EQ(fs.MatchStart(1), 9u);
    EXPECT_EQ(fs.MatchLength(1), 7u);

    const auto code = [](auto call) {
        try {
            call();
        } catch (const platform::FlexStringException& e) {
            return e.Code();
        }
        return -1;
    };
    EXPECT_EQ(code([&] { fs.MatchText(2); }), platform::flexErrInvalidMatchIndex);
    EXPECT_EQ(code([&] { fs.MatchStart(-1); }), platform::flexErrInvalidMatchIndex);
    EXPECT_EQ(code([&] { fs.TagText(2, 0); }), platform::flexErrInvalidMatchIndex);
    EXPECT_EQ(code([&] { fs.TagText(0, 2); }), platform::flexErrBadTagIndex);
}

TEST_F(FlexStringTest, TagInsideGreedyMatchTakesTheMatchParse) {
    FlexString fs;
    fs.SetText("aaa$");
    fs.SetPattern("{a*}{a}$");
    EXPECT_EQ(fs.MatchCount(), 0);  // $ is the end of the text, not a '$'
    fs.SetPattern("{a*}{a}\\$");
    ASSERT_EQ(fs.MatchCount(), 1);
    EXPECT_EQ(fs.TagText(0, 0), "aa");
    EXPECT_EQ(fs.TagText(0, 1), "a");
}

TEST_F(FlexStringTest, ChangingTextOrCaseReruns) {
    FlexString fs;
    EXPECT_EQ(fs.Error(), 0);
    EXPECT_EQ(fs.MatchCount(), 0);
    fs.SetCaseSensitive(false);
    fs.SetText("Abc abc");
    fs.SetPattern("abc");
    EXPECT_EQ(fs.MatchCount(), 2);
    fs.SetCaseSensitive(true);
    EXPECT_EQ(fs.MatchCount(), 1);
    fs.SetText("xyz");
    EXPECT_EQ(fs.MatchCount(), 0);
    EXPECT_EQ(fs.Error(), platform::flexErrNoMatch);
}

TEST_F(FlexStringTest, InvalidBytesInTextAreSkipped) {
    FlexString fs;
    fs.SetText(
        "a\xff\xfe"
        "b");
    fs.SetPattern("x*");
    EXPECT_EQ(fs.MatchCount(), 5);  // one empty match per byte position
    fs.SetPattern("a.b");
    EXPECT_EQ(fs.MatchCount(), 0);
    fs.SetPattern("b");
    EXPECT_EQ(fs.MatchCount(), 1);
}

TEST_F(FlexStringTest, OverlongPatternIsTooComplex) {
    FlexString fs;
    fs.SetText("abc");
    std::string pattern(platform::kFlexMaxPatternLength, 'a');
    fs.SetPattern(pattern + "?");
    EXPECT_EQ(fs.Error(), platform::flexErrOutOfMemory);
    EXPECT_EQ(fs.MatchCount(), 0);
    fs.SetPattern(pattern);
    EXPECT_EQ(fs.Error(), platform::flexErrNoMatch);
}

}  // namespace
