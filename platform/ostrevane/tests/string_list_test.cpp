#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/ostrevane/string_list.h"

namespace {

std::vector<std::string> Pieces(const ostrevane::StringList& list) {
    std::vector<std::string> pieces;
    for (int i = 1; i <= list.Count(); ++i) {
        pieces.push_back(list.Item(i));
    }
    return pieces;
}

struct SplitCase {
    const char* text;
    const char* delimiter;
    std::vector<std::string> pieces;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.text << " by " << c.delimiter;
}

class StringListSplitTest : public testing::TestWithParam<SplitCase> {};

// Callers set the text first and the delimiter after it.
TEST_P(StringListSplitTest, TextThenDelimiter) {
    const auto& c = GetParam();
    ostrevane::StringList list;
    list.SetText(c.text);
    list.SetDelimiter(c.delimiter);
    EXPECT_EQ(Pieces(list), c.pieces);
}

TEST_P(StringListSplitTest, DelimiterThenText) {
    const auto& c = GetParam();
    ostrevane::StringList list;
    list.SetDelimiter(c.delimiter);
    list.SetText(c.text);
    EXPECT_EQ(Pieces(list), c.pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringListSplitTest,
    testing::Values(SplitCase{"a@x.com;b@y.com", ";", {"a@x.com", "b@y.com"}},
                    SplitCase{" urgent , invoice", ",", {" urgent ", " invoice"}},
                    SplitCase{"a;;b;", ";", {"a", "", "b", ""}}, SplitCase{";", ";", {"", ""}},
                    SplitCase{"", ";", {}}, SplitCase{"whole text", ";", {"whole text"}},
                    SplitCase{"a, b,c", ", ", {"a", "b,c"}},
                    SplitCase{"no delimiter", "", {"no delimiter"}}));

TEST(StringListTest, PiecesFollowLaterChanges) {
    ostrevane::StringList list;
    list.SetText("a;b,c");
    list.SetDelimiter(";");
    ASSERT_EQ(list.Count(), 2);
    list.SetDelimiter(",");
    EXPECT_EQ(Pieces(list), (std::vector<std::string>{"a;b", "c"}));
    list.SetText("x,y,z");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Text(), "x,y,z");
    EXPECT_EQ(list.Delimiter(), ",");
}

TEST(StringListTest, ItemOutsideTheListRaises) {
    ostrevane::StringList list;
    list.SetText("a;b");
    list.SetDelimiter(";");
    EXPECT_THROW(list.Item(0), platform::Error);
    EXPECT_THROW(list.Item(3), platform::Error);
}

}  // namespace
