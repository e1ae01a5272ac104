// `ostrevane send` with the built add-in and its real folder chooser,
// answered from the command line.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "common/settings_keys.h"
#include "indexer/global.h"
#include "platform/mailstore/profile.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/testkit.h"

namespace {

namespace fs = std::filesystem;
namespace keys = common::keys;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

testkit::ProgramResult Ostrevane(std::vector<std::string> args) {
    return testkit::RunProgram(OSTREVANE_BIN, args);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        lines.push_back(text.substr(pos, end - pos));
        pos = end == std::string::npos ? text.size() : end + 1;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

class SendAndFileCommandTest : public testkit::HomeTest, protected testkit::DemoPaths {
  protected:
    void SetUp() override {
        ASSERT_EQ(Ostrevane({"profile", "create", "--demo"}).exitCode, 0);
        const fs::path bin = fs::path(OSTREVANE_BIN).parent_path();
        ASSERT_EQ(Ostrevane({"module", "install", (bin / "libPlovanex.so").string()}).exitCode, 0);
        // The index as the builder writes it, so that no run starts the builder.
        const fs::path data = ostrevane::SettingsHelper().GetDataFolder(0);
        fs::copy_file(bin / "FolderList.xml", data / "FolderList.xml");
        Set(keys::DelayLength, "0");
        Set(keys::KeepGoingWanted, "1");
        kestrune::BuildIndex();
        // The add-in writes its first-run settings in this run.
        auto first = Ostrevane({"send", "--to", "lead@example.com", "--subject", "first run"});
        ASSERT_EQ(first.exitCode, 0) << first.err;
    }
    void Set(const std::string& key, const std::string& value) {
        platform::settings::SaveSetting(ostrevane::SettingsHelper().SettingsAppName(),
                                        keys::SectionPlovanex, key, value);
    }
    testkit::ProgramResult Send(const std::string& subject, std::vector<std::string> more) {
        std::vector<std::string> args{"send", "--to", "lead@example.com", "--subject", subject};
        args.insert(args.end(), more.begin(), more.end());
        return Ostrevane(args);
    }
    static std::vector<std::string> FoldersWith(const std::string& subject) {
        return testkit::FolderPathsOfSubject(*mailstore::Profile::Open("Default"), subject);
    }
};

// Move or copy by MoveWanted; Delete The Email files in Deleted Items.
TEST_F(SendAndFileCommandTest, FilesWhereTheChooserIsAnswered) {
    const struct {
        const char* moveWanted;
        std::string choose;
        std::vector<std::string> folders;
    } cases[] = {
        {"1", kAcme, {kAcme}},
        {"0", kAcme, {kAcme, kSentItems}},
        {"1", "delete", {kDeleted}},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string subject = "filed " + std::to_string(++n);
        SCOPED_TRACE(subject);
        Set(keys::MoveWanted, c.moveWanted);
        auto run = Send(subject, {"--send-and-file", "--choose", c.choose});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(Lines(run.out), c.folders);
        EXPECT_EQ(FoldersWith(subject), c.folders);
        EXPECT_EQ(run.err, "");
    }
}

// Send And File answered with Cancel, or by nobody, sends nothing and says so.
TEST_F(SendAndFileCommandTest, ACancelledChooserLeavesTheMailUnsent) {
    const struct {
        std::vector<std::string> choose;
        const char* note;
    } cases[] = {
        {{"--choose", "cancel"}, nullptr},
        {{}, "without --choose it is answered with Cancel"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string subject = "cancelled " + std::to_string(++n);
        SCOPED_TRACE(subject);
        std::vector<std::string> args{"--send-and-file"};
        args.insert(args.end(), c.choose.begin(), c.choose.end());
        auto run = Send(subject, args);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_EQ(run.out, "");
        EXPECT_THAT(run.err, HasSubstr("the mail was not sent; the unsent mail stays in " +
                                       std::string(kDrafts)));
        if (c.note) {
            EXPECT_THAT(run.err, HasSubstr(c.note));
        }
        EXPECT_THAT(FoldersWith(subject), ElementsAre(kDrafts));
    }
}

// The confirmation prompt asks once the mail is in Sent Items; the answer
// files it there or leaves it in Sent Items.
TEST_F(SendAndFileCommandTest, ThePromptIsAnsweredToo) {
    Set(keys::PromptOutlookFolder, "True");
    const struct {
        std::optional<std::string> choose;
        std::vector<std::string> folders;
        const char* note;
    } cases[] = {
        {kAcme, {kAcme}, nullptr},
        {"cancel", {kSentItems}, nullptr},
        {std::nullopt, {kSentItems}, "without --choose it is answered with Cancel"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string subject = "prompted " + std::to_string(++n);
        SCOPED_TRACE(subject);
        std::vector<std::string> args;
        if (c.choose) {
            args = {"--choose", *c.choose};
        }
        auto run = Send(subject, args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(FoldersWith(subject), c.folders);
        if (c.note) {
            EXPECT_THAT(run.err, HasSubstr(c.note));
        } else {
            EXPECT_EQ(run.err, "");
        }
    }
}

TEST_F(SendAndFileCommandTest, AChosenFolderThatIsNotThereSendsNothing) {
    const std::string missing = "\\\\Personal Folders\\Clients\\Initech";
    auto run = Send("not there", {"--send-and-file", "--choose", missing});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_THAT(run.err, HasSubstr("'" + missing + "'"));
    EXPECT_TRUE(FoldersWith("not there").empty());
    EXPECT_THAT(testkit::ItemsInNoFolder(*mailstore::Profile::Open("Default")), IsEmpty());
}

}  // namespace
