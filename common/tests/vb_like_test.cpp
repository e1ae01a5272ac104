#include "common/vb_like.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/testkit/testkit.h"

namespace {

struct LikeCase {
    const char* text;
    const char* pattern;
    bool expected;
};

std::ostream& operator<<(std::ostream& os, const LikeCase& c) {
    return os << c.text << " Like " << c.pattern;
}

class LikeCases : public testkit::HomeTest, public ::testing::WithParamInterface<LikeCase> {};

TEST_P(LikeCases, Matches) {
    const LikeCase& c = GetParam();
    EXPECT_EQ(vb::Like(c.text, c.pattern), c.expected)
        << '"' << c.text << "\" Like \"" << c.pattern << '"';
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Patterns, LikeCases, ::testing::Values(
    LikeCase{"abc", "abc", true},
    LikeCase{"abc", "ABC", false},          // binary compare
    LikeCase{"abc", "ab", false},
    LikeCase{"", "", true},
    LikeCase{"", "*", true},
    LikeCase{"", "?", false},
    LikeCase{"abc", "a?c", true},
    LikeCase{"ac", "a?c", false},
    LikeCase{"a1c", "a#c", true},
    LikeCase{"abc", "a#c", false},
    LikeCase{"abc", "*", true},
    LikeCase{"abc", "a*", true},
    LikeCase{"abc", "*c", true},
    LikeCase{"abc", "*b*", true},
    LikeCase{"abcbd", "a*b?", true},
    LikeCase{"abcbdx", "a*b?", false},
    LikeCase{"aaa", "a*a*a*a", false},
    LikeCase{"aaaa", "a*a*a*a", true},
    LikeCase{"Inbox\\2024", "*\\####", true},
    LikeCase{"b", "[abc]", true},
    LikeCase{"d", "[abc]", false},
    LikeCase{"d", "[!abc]", true},
    LikeCase{"b", "[!abc]", false},
    LikeCase{"m", "[a-z]", true},
    LikeCase{"M", "[a-z]", false},
    LikeCase{"M", "[A-Za-z]", true},
    LikeCase{"5", "[!0-9]", false},
    LikeCase{"-", "[-a]", true},
    LikeCase{"-", "[a-]", true},
    LikeCase{"b", "[a-]", false},
    LikeCase{"-", "[!-a]", false},
    LikeCase{"[", "[[]", true},
    LikeCase{"*", "[*]", true},
    LikeCase{"x", "[*]", false},
    LikeCase{"?", "[?]", true},
    LikeCase{"#", "[#]", true},
    LikeCase{"1", "[#]", false},
    LikeCase{"a]", "a]", true},             // ] outside a list is itself
    LikeCase{"!", "!", true},
    LikeCase{"ab", "a[]b", true},           // [] stands for nothing
    LikeCase{"x", "[!]", true},
    LikeCase{"é", "?", true},               // one character, two bytes
    LikeCase{"ü", "[ä-ü]", true},
    LikeCase{"x\xffy", "x?y", true}         // an invalid byte is one character
));
// clang-format on

TEST(LikeErrors, MalformedListsRaise) {
    testkit::TempHome home;
    for (const char* pattern : {"[", "a[bc", "[!", "[z-a]", "*[a-"}) {
        try {
            vb::Like("abc", pattern);
            ADD_FAILURE() << pattern;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Invalid pattern string") << pattern;
        }
    }
}

TEST(LikeErrors, ManyStarsStayFast) {
    testkit::TempHome home;
    const std::string text(20000, 'a');
    EXPECT_FALSE(vb::Like(text, "*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(vb::Like(text + "b", "*a*a*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
