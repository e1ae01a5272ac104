#include <gtest/gtest.h>

#include "platform/ostrevane/registry_helper.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/testkit.h"

namespace {

using ostrevane::HKEY_CURRENT_USER;
using ostrevane::RegistryHelper;

constexpr char kMailOptions[] = "Software\\Microsoft\\Office\\11.0\\Outlook\\Options\\Mail";

class RegistryHelperTest : public testkit::HomeTest {
  protected:
    void Store(const std::string& name, const std::string& text) {
        platform::settings::SaveSetting("HKEY_CURRENT_USER", kMailOptions, name, text);
    }
};

TEST_F(RegistryHelperTest, MissingKeyIsNotOpenedAndReadsGiveTheDefault) {
    RegistryHelper reg;
    EXPECT_EQ(reg.OpenKey(HKEY_CURRENT_USER, kMailOptions, 63), ostrevane::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg.ReadDWORD("EditorPreference", -2), -2);
    reg.CloseKey();
}

TEST_F(RegistryHelperTest, OnlyTheCurrentUserRootIsKnown) {
    Store("EditorPreference", "1");
    RegistryHelper reg;
    EXPECT_EQ(reg.OpenKey(0x80000002u, kMailOptions, 63), ostrevane::ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.ReadDWORD("EditorPreference", -2), -2);
}

struct ValueCase {
    const char* stored;  // nullptr: not stored
    std::int32_t read;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << (c.stored ? c.stored : "(absent)");
}

class RegistryValueTest : public RegistryHelperTest,
                          public testing::WithParamInterface<ValueCase> {};

TEST_P(RegistryValueTest, ReadsThe32BitValueOrTheDefault) {
    const auto& c = GetParam();
    Store("Other", "0");
    if (c.stored) {
        Store("EditorPreference", c.stored);
    }
    RegistryHelper reg;
    // Sub-key paths ignore case, as the registry's do.
    ASSERT_EQ(reg.OpenKey(HKEY_CURRENT_USER,
                          "software\\microsoft\\office\\11.0\\outlook\\options\\MAIL", 63),
              ostrevane::ERROR_SUCCESS);
    EXPECT_EQ(reg.ReadDWORD("EditorPreference", -2), c.read);
    reg.CloseKey();
    EXPECT_EQ(reg.ReadDWORD("EditorPreference", -2), -2);
}

INSTANTIATE_TEST_SUITE_P(Cases, RegistryValueTest,
                         testing::Values(ValueCase{"131073", 131073}, ValueCase{"0", 0},
                                         ValueCase{"4294967295", -1}, ValueCase{"-7", -7},
                                         ValueCase{nullptr, -2}, ValueCase{"", -2},
                                         ValueCase{"twelve", -2}, ValueCase{"12 ", -2},
                                         ValueCase{"4294967296", -2}));

}  // namespace
