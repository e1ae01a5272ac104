#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ostrevane/settings_helper.h"
#include "platform/testkit/testkit.h"

namespace {

struct MatchCase {
    const char* text;
    const char* pattern;
    bool matches;
};

void PrintTo(const MatchCase& c, std::ostream* os) {
    *os << c.text << " ~ " << c.pattern;
}

class TextMatchesTest : public testing::TestWithParam<MatchCase> {};

TEST_P(TextMatchesTest, Table) {
    const auto& c = GetParam();
    EXPECT_EQ(ostrevane::SettingsHelper().TextMatches(c.text, c.pattern), c.matches)
        << '"' << c.text << "\" against \"" << c.pattern << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextMatchesTest,
    testing::Values(MatchCase{"bob@example.com", "bob@example.com", true},
                    MatchCase{"Bob@Example.COM", "bob@example.com", true},
                    MatchCase{"bob@example.com", "bob@example.co", false},
                    MatchCase{"bob@example.com", "*@example.com", true},
                    MatchCase{"bob@example.com", "*@EXAMPLE.*", true},
                    MatchCase{"bob@example.com", "b?b@*", true},
                    MatchCase{"bb@example.com", "b?b@*", false}, MatchCase{"", "*", true},
                    MatchCase{"", "", true}, MatchCase{"x", "", false},
                    MatchCase{"abc", "a*b*c*", true},
                    MatchCase{"aaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*c", false},
                    // Nothing but * and ? is special.
                    MatchCase{"a.c", "a.c", true}, MatchCase{"abc", "a.c", false},
                    MatchCase{"a[b]c", "a[b]c", true}, MatchCase{"abc", "a[b]c", false},
                    MatchCase{"a#c", "a#c", true}, MatchCase{"a1c", "a#c", false},
                    // Case is folded for every script; ? is one character.
                    MatchCase{"JOSÉ GARCÍA", "josé*", true}, MatchCase{"Zoë", "ZO?", true},
                    MatchCase{"Zoë", "zo??", false}, MatchCase{"ΣΊΣΥΦΟΣ", "σίσυφος", true},
                    MatchCase{"caf\xE9", "CAF?", true}));

class SettingsHelperTest : public testkit::HomeTest {};

TEST_F(SettingsHelperTest, TransformFolderNameReplacesEveryBackslash) {
    ostrevane::SettingsHelper helper;
    EXPECT_EQ(helper.TransformFolderName("Clients\\Acme\\\\2024", "-"), "Clients-Acme--2024");
    EXPECT_EQ(helper.TransformFolderName("Plain / name", "-"), "Plain / name");
    EXPECT_EQ(helper.TransformFolderName("a\\b", ""), "ab");
}

TEST_F(SettingsHelperTest, DataFolderIsCreatedUnderHome) {
    auto folder = ostrevane::SettingsHelper().GetDataFolder(0);
    EXPECT_EQ(folder, (home.Path() / "data").string());
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

// The options page asks for these numbers; the rest have no text.
TEST_F(SettingsHelperTest, HelpTextsOfTheProductByNumber) {
    ostrevane::SettingsHelper helper;
    ostrevane::HelpTexts source;
    helper.LoadHelpTexts(source, "Plovanex");
    for (int number : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 13, 15, 25, 28, 29}) {
        EXPECT_FALSE(helper.GetHelpText(source, std::to_string(number)).empty()) << number;
    }
    for (int number : {8, 12, 14, 16, 24, 26, 27, 30}) {
        EXPECT_EQ(helper.GetHelpText(source, std::to_string(number)), "") << number;
    }
    EXPECT_EQ(helper.GetHelpText(source, "AssocFrame1"), "");

    helper.LoadHelpTexts(source, "Another product");
    EXPECT_EQ(source.Count(), 0u);
}

TEST_F(SettingsHelperTest, HelpTextKeysIgnoreCaseAndAreTakenOnce) {
    ostrevane::HelpTexts texts;
    texts.Add("Grid help", "grdKeywords");
    EXPECT_EQ(ostrevane::SettingsHelper().GetHelpText(texts, "GRDKEYWORDS"), "Grid help");
    EXPECT_THROW(texts.Add("Again", "grdkeywords"), std::exception);
}

}  // namespace
