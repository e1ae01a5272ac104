// The host driving the built add-in: module install, send and demo, each a
// run of the host program on the test's home.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "platform/os/os.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/testkit.h"

namespace {

using ::testing::HasSubstr;

testkit::ProgramResult Ostrevane(const std::vector<std::string>& args) {
    return testkit::RunProgram(OSTREVANE_BIN, args);
}

class ModuleCommandTest : public testkit::HomeTest {
  protected:
    void SetUp() override {
        // An index is there, so no run starts the index builder.
        std::filesystem::create_directories(home.Path() / "data");
        std::ofstream(home.Path() / "data" / "MyFolderList.xml") << "index";
    }
    std::string Library() const {
        return (std::filesystem::path(OSTREVANE_BIN).parent_path() / "libPlovanex.so").string();
    }
    // EntryID and StoreID of a folder, from the host's folder list.
    std::pair<std::string, std::string> Ids(const std::string& path) {
        std::istringstream lines(Ostrevane({"folders"}).out);
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream fields(line);
            std::string folder, entryId, storeId;
            std::getline(fields, folder, '\t');
            std::getline(fields, entryId, '\t');
            std::getline(fields, storeId, '\t');
            if (folder == path) {
                return {entryId, storeId};
            }
        }
        ADD_FAILURE() << "no folder " << path;
        return {};
    }
};

TEST_F(ModuleCommandTest, SendFilesThroughTheInstalledAddIn) {
    ASSERT_EQ(Ostrevane({"profile", "create", "--demo"}).exitCode, 0);
    auto install = Ostrevane({"module", "install", Library()});
    ASSERT_EQ(install.exitCode, 0) << install.err;
    EXPECT_EQ(install.out, "CPlovanex\n");

    // The first run's default folder is Sent Items itself.
    auto first = Ostrevane({"send", "--to", "lead@example.com", "--subject", "First"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "\\\\Personal Folders\\Sent Items\n");

    auto [entryId, storeId] = Ids("\\\\Personal Folders\\Archive\\2026");
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"MoveToFolderName", "Personal Folders\\Archive\\2026"},
             {"MoveToFolderEntryId", entryId},
             {"MoveToFolderStoreId", storeId}}) {
        ASSERT_EQ(Ostrevane({"settings", "set", "Ostrevane", "Plovanex", key, value}).exitCode, 0);
    }
    auto second = Ostrevane({"send", "--to", "lead@example.com", "--subject", "Second"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, "\\\\Personal Folders\\Archive\\2026\n");
    EXPECT_EQ(second.err, "");
}

TEST_F(ModuleCommandTest, InstallOfAMissingLibraryFails) {
    auto install = Ostrevane({"module", "install", (home.Path() / "libNothing.so").string()});
    EXPECT_NE(install.exitCode, 0);
    EXPECT_THAT(install.err, HasSubstr("libNothing.so"));
}

TEST_F(ModuleCommandTest, DemoFilesEveryMailAndRunsAgain) {
    // The default folder, the override, the sender's pick, the contact rule,
    // the keyword rule twice (once ahead of the contact rule), the override.
    const char* expected =
        "Quarterly figures             \\\\Personal Folders\\Archive\\2026\n"
        "Desk rota for May             \\\\Personal Folders\\Clients\\Globex\n"
        "Launch plan                   \\\\Personal Folders\\Projects\\Apollo\n"
        "Weekly notes                  \\\\Personal Folders\\Projects\\Apollo\n"
        "Acme price list               \\\\Personal Folders\\Clients\\Acme\n"
        "Acme visit with the lead      \\\\Personal Folders\\Clients\\Acme\n"
        "Minutes of the desk meeting   \\\\Personal Folders\\Clients\\Globex\n";
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        auto demo = Ostrevane({"demo"});
        ASSERT_EQ(demo.exitCode, 0) << demo.err;
        EXPECT_THAT(demo.out, HasSubstr(expected));
        EXPECT_EQ(demo.err, "");
    }
}

// A fresh home without an index: the add-in starts the real index builder,
// and the demo waits for its build (saying so only while it still runs)
// before the add-in's shut-down would stop it. The builder has ended when
// the demo has.
TEST(DemoOnAFreshHome, WaitsForTheIndexBuildItStarted) {
    testkit::TempHome home;
    auto demo = Ostrevane({"demo"});
    ASSERT_EQ(demo.exitCode, 0) << demo.err;
    EXPECT_THAT(demo.out, HasSubstr("Quarterly figures             \\\\Personal Folders\\Archive"));
    EXPECT_THAT(demo.err, ::testing::Not(HasSubstr("did not finish")));
    EXPECT_FALSE(platform::os::SingleInstanceLock::IsHeld("Kestrune"));

    // Every folder of the demo profile but its search folder: the first run
    // asks for the public folders too.
    std::ifstream in(home.Path() / "data" / "MyFolderList.xml", std::ios::binary);
    const std::string index{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::size_t rows = 0;
    for (auto at = index.find("<z:row "); at != std::string::npos;
         at = index.find("<z:row ", at + 1)) {
        ++rows;
    }
    EXPECT_EQ(rows, 25u) << index;
    EXPECT_THAT(index, HasSubstr("FolderPath='\\\\Personal Folders\\Archive\\2026'"));
    auto& store = platform::settings::Default();
    EXPECT_EQ(store.Read("Ostrevane", "Plovanex", "RebuildingIndexStatus", ""), "0");
    EXPECT_EQ(store.Read("Ostrevane", "Plovanex", "LoadRefreshWanted", ""), "1");
}

}  // namespace
