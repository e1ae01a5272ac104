#include <gtest/gtest.h>

#include <fstream>

#include "platform/settings/settings_store.h"
#include "platform/testkit/testkit.h"

namespace {

testkit::ProgramResult Ostrevane(const std::vector<std::string>& args) {
    return testkit::RunProgram(OSTREVANE_BIN, args);
}

class SettingsCommandTest : public testkit::HomeTest {};

TEST_F(SettingsCommandTest, SetGetListDeleteRoundTrip) {
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"Order1", "1"}, {"MoveToFolderName", "\\\\Mailbox\\Sent Items"}, {"Empty", ""}}) {
        auto set = Ostrevane({"settings", "set", "Ostrevane", "Plovanex", key, value});
        ASSERT_EQ(set.exitCode, 0) << set.err;
    }
    // Names ignore case; the value a negative number.
    ASSERT_EQ(
        Ostrevane({"settings", "set", "ostrevane", "PLOVANEX", "order1", "--", "-1"}).exitCode, 0);
    EXPECT_EQ(platform::settings::GetSetting("Ostrevane", "Plovanex", "Order1", ""), "-1");

    auto get = Ostrevane({"settings", "get", "Ostrevane", "Plovanex", "MoveToFolderName"});
    EXPECT_EQ(get.exitCode, 0);
    EXPECT_EQ(get.out, "\\\\Mailbox\\Sent Items\n");

    auto list = Ostrevane({"settings", "list", "Ostrevane", "Plovanex"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out, "Order1\t-1\nMoveToFolderName\t\\\\Mailbox\\Sent Items\nEmpty\t\n");

    EXPECT_EQ(Ostrevane({"settings", "delete", "Ostrevane", "Plovanex", "Order1"}).exitCode, 0);
    EXPECT_FALSE(platform::settings::Default().Find("Ostrevane", "Plovanex", "Order1"));
}

struct FailureCase {
    std::vector<std::string> args;
    const char* errPart;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    for (const auto& a : c.args) {
        *os << a << ' ';
    }
}

class SettingsCommandFailureTest : public SettingsCommandTest,
                                   public testing::WithParamInterface<FailureCase> {};

TEST_P(SettingsCommandFailureTest, ExitsNonZeroWithAMessage) {
    platform::settings::SaveSetting("Ostrevane", "Plovanex", "Order1", "1");
    auto run = Ostrevane(GetParam().args);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(GetParam().errPart), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsCommandFailureTest,
    testing::Values(
        FailureCase{{"settings", "get", "Ostrevane", "Plovanex", "Nothing"},
                    "no key Nothing in section Plovanex of application Ostrevane"},
        FailureCase{{"settings", "list", "Ostrevane", "Missing"},
                    "no section Missing of application Ostrevane"},
        FailureCase{{"settings", "delete", "Ostrevane", "Plovanex", "Nothing"}, "no key Nothing"},
        FailureCase{{"settings", "get", "Ostrevane"}, "SECTION is required"},
        FailureCase{{"settings", "set", "Ostrevane", "Plovanex", "Order1"}, "VALUE is required"},
        FailureCase{{"settings", "rename"}, "rename"},
        FailureCase{{"settings"}, "settings needs one of list, get, set, delete"},
        FailureCase{{}, "subcommand is required"}));

TEST_F(SettingsCommandTest, DamagedStoreGivesAnErrorNamingTheFile) {
    std::ofstream(home.Path() / "settings.db", std::ios::binary) << std::string(4096, 'x');
    auto run = Ostrevane({"settings", "get", "Ostrevane", "Plovanex", "Order1"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find((home.Path() / "settings.db").string()), std::string::npos) << run.err;
}

TEST_F(SettingsCommandTest, HelpExplainsEverySubcommand) {
    auto top = Ostrevane({"--help"});
    EXPECT_EQ(top.exitCode, 0);
    for (const char* part : {"settings", "demo", "profile", "folders", "items", "send"}) {
        EXPECT_NE(top.out.find(part), std::string::npos) << part;
    }
    auto settings = Ostrevane({"settings", "--help"});
    EXPECT_EQ(settings.exitCode, 0);
    for (const char* part :
         {"list APPLICATION SECTION", "get APPLICATION SECTION KEY",
          "set APPLICATION SECTION KEY VALUE", "delete APPLICATION SECTION KEY"}) {
        EXPECT_NE(settings.out.find(part), std::string::npos) << part;
    }
}

}  // namespace
