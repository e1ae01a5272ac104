#include "common/vb_convert.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "platform/testkit/testkit.h"

namespace {

// The result of a conversion as text, or the error's description.
template <typename F>
std::string Outcome(F convert, const std::string& text) {
    try {
        return std::to_string(convert(text));
    } catch (const std::runtime_error& e) {
        return e.what();
    }
}

struct ConvertCase {
    const char* text;
    const char* integer;  // ToInteger
    const char* whole;    // ToLong
    const char* boolean;  // ToBoolean, "1" or "0"
};

std::ostream& operator<<(std::ostream& os, const ConvertCase& c) {
    return os << c.text;
}

class ConvertCases : public testkit::HomeTest, public ::testing::WithParamInterface<ConvertCase> {};

TEST_P(ConvertCases, AsTheLanguageDoes) {
    const ConvertCase& c = GetParam();
    EXPECT_EQ(Outcome(vb::ToInteger, c.text), c.integer) << '"' << c.text << '"';
    EXPECT_EQ(Outcome(vb::ToLong, c.text), c.whole) << '"' << c.text << '"';
    EXPECT_EQ(Outcome(vb::ToBoolean, c.text), c.boolean) << '"' << c.text << '"';
}

constexpr const char* kTM = "Type mismatch";
constexpr const char* kOV = "Overflow";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, ConvertCases, ::testing::Values(
    ConvertCase{"0", "0", "0", "0"},
    ConvertCase{"42", "42", "42", "1"},
    ConvertCase{"  -7\t", "-7", "-7", "1"},
    ConvertCase{"+3", "3", "3", "1"},
    ConvertCase{"2.5", "2", "2", "1"},        // half to even
    ConvertCase{"3.5", "4", "4", "1"},
    ConvertCase{"-2.5", "-2", "-2", "1"},
    ConvertCase{"0.4", "0", "0", "1"},        // Boolean does not round
    ConvertCase{".5", "0", "0", "1"},
    ConvertCase{"5.", "5", "5", "1"},
    ConvertCase{"1e3", "1000", "1000", "1"},
    ConvertCase{"0.0", "0", "0", "0"},
    ConvertCase{"32767", "32767", "32767", "1"},
    ConvertCase{"32767.5", kOV, "32768", "1"},
    ConvertCase{"-32768", "-32768", "-32768", "1"},
    ConvertCase{"-32768.5", "-32768", "-32768", "1"},
    ConvertCase{"-32769", kOV, "-32769", "1"},
    ConvertCase{"2147483647", kOV, "2147483647", "1"},
    ConvertCase{"2147483648", kOV, kOV, "1"},
    ConvertCase{"-2147483648", kOV, "-2147483648", "1"},
    ConvertCase{"1e400", kOV, kOV, kOV},
    ConvertCase{"1e-400", "0", "0", "0"},
    ConvertCase{"&H1F", "31", "31", "1"},
    ConvertCase{"&hff", "255", "255", "1"},
    ConvertCase{"&HFFFF", "-1", "-1", "1"},
    ConvertCase{"&H8000", "-32768", "-32768", "1"},
    ConvertCase{"&H10000", kOV, "65536", "1"},
    ConvertCase{"&HFFFFFFFF", "-1", "-1", "1"},
    ConvertCase{"&H100000000", kOV, kOV, kOV},
    ConvertCase{"&H0", "0", "0", "0"},
    ConvertCase{"&H", kTM, kTM, kTM},
    ConvertCase{"&HG", kTM, kTM, kTM},
    ConvertCase{"True", kTM, kTM, "1"},
    ConvertCase{" false ", kTM, kTM, "0"},
    ConvertCase{"TRUE", kTM, kTM, "1"},
    ConvertCase{"", kTM, kTM, kTM},
    ConvertCase{"   ", kTM, kTM, kTM},
    ConvertCase{"abc", kTM, kTM, kTM},
    ConvertCase{"12abc", kTM, kTM, kTM},
    ConvertCase{"1 2", kTM, kTM, kTM},
    ConvertCase{".", kTM, kTM, kTM},
    ConvertCase{"-", kTM, kTM, kTM},
    ConvertCase{"1e", kTM, kTM, kTM},
    ConvertCase{"inf", kTM, kTM, kTM},
    ConvertCase{"nan", kTM, kTM, kTM},
    ConvertCase{"0x10", kTM, kTM, kTM},
    ConvertCase{"1,000", kTM, kTM, kTM},
    ConvertCase{"Yes", kTM, kTM, kTM}
));
// clang-format on

TEST(ConvertText, BooleanAndNumberText) {
    testkit::TempHome home;
    EXPECT_EQ(vb::BooleanText(true), "True");
    EXPECT_EQ(vb::BooleanText(false), "False");
    EXPECT_EQ(vb::NumberText(-32768), "-32768");
    EXPECT_EQ(vb::NumberText(0), "0");
    // A Boolean's text reads back as that Boolean.
    EXPECT_TRUE(vb::ToBoolean(vb::BooleanText(true)));
    EXPECT_FALSE(vb::ToBoolean(vb::BooleanText(false)));
}

}  // namespace
