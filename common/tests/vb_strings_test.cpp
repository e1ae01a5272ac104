#include "common/vb_strings.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/testkit/testkit.h"

namespace {

struct InStrCase {
    std::size_t start;
    const char* text;
    const char* find;
    bool ignoreCase;
    std::size_t expected;
};

std::ostream& operator<<(std::ostream& os, const InStrCase& c) {
    return os << c.start << " " << c.text << " " << c.find;
}

class InStrCases : public testkit::HomeTest, public ::testing::WithParamInterface<InStrCase> {};

TEST_P(InStrCases, Position) {
    const InStrCase& c = GetParam();
    EXPECT_EQ(vb::InStr(c.start, c.text, c.find, c.ignoreCase), c.expected)
        << c.start << " \"" << c.text << "\" \"" << c.find << '"';
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, InStrCases, ::testing::Values(
    InStrCase{1, "FolderKeywords", "Keywords", false, 7},
    InStrCase{1, "Folderkeywords", "Keywords", false, 0},
    InStrCase{1, "Folderkeywords", "Keywords", true, 7},
    InStrCase{1, "abcabc", "bc", false, 2},
    InStrCase{3, "abcabc", "bc", false, 5},
    InStrCase{6, "abcabc", "bc", false, 0},
    InStrCase{7, "abcabc", "c", false, 0},
    InStrCase{1, "abc", "abcd", false, 0},
    InStrCase{1, "", "a", false, 0},
    InStrCase{1, "", "", false, 0},
    InStrCase{2, "abc", "", false, 2},
    // Text compare folds case for every script; positions count characters.
    InStrCase{1, "see [ÉLAN now", "[élan", true, 5},
    InStrCase{1, "see [ÉLAN now", "[élan", false, 0},
    InStrCase{1, "ΣΊΣΥΦΟΣ", "σίσυφος", true, 1},
    InStrCase{1, "café au lait", "au", false, 6},
    InStrCase{7, "café au lait", "au", false, 0},
    InStrCase{1, "😀 ok", "OK", true, 4},
    InStrCase{1, "caf\xE9" " ok", "ok", false, 6}
));
// clang-format on

TEST(LenTest, CountsTheLanguagesCharacters) {
    const std::vector<std::pair<const char*, std::size_t>> cases = {
        {"", 0}, {"abc", 3}, {"café", 4}, {"😀", 2}, {"caf\xE9", 4}, {"\xE2\x82", 2}};
    for (const auto& [text, length] : cases) {
        EXPECT_EQ(vb::Len(text), length) << text;
    }
}

TEST(InStrErrors, StartBelowOneRaises) {
    testkit::TempHome home;
    EXPECT_THROW(vb::InStr(0, "abc", "a"), std::runtime_error);
}

}  // namespace
