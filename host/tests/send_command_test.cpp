// The host's send through the installed add-in: a send that does not
// complete, and mails the add-in files whatever their size.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "host/tests/host_kit.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/testkit.h"

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

using host_test::Ostrevane;

class SendCommandTest : public testkit::HomeTest {
  protected:
    void SetUp() override {
        host_test::PutIndex(home.Path());
        kit.Demo();
        const auto library = std::filesystem::path(OSTREVANE_BIN).parent_path() / "libPlovanex.so";
        auto install = Ostrevane({"module", "install", library.string()});
        ASSERT_EQ(install.exitCode, 0) << install.err;
    }
    // Subjects of the mails in Drafts.
    std::vector<std::string> Drafts() {
        std::vector<std::string> subjects;
        auto& p = *kit.Profile();
        for (auto id : p.ItemsIn(kit.FolderId("\\\\Personal Folders\\Drafts"))) {
            subjects.push_back(p.Item(id).subject);
        }
        return subjects;
    }

    testkit::ProfileBuilder kit;
};

// A send refused for its input leaves the mail in Drafts and says so.
TEST_F(SendCommandTest, RefusedSendLeavesTheMailInDrafts) {
    const struct {
        const char* subject;
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {"Unknown sender",
         {"--to", "lead@example.com", "--from", "nobody@example.com"},
         "No mailbox of the profile sends as 'nobody@example.com'"},
        {"Nobody to send to", {"--to", ""}, "There must be at least one name"},
        {"Unknown recipient",
         {"--to", "nobody"},
         "The name 'nobody' is not recognised: it is neither in the address book nor an e-mail "
         "address; the unsent mail stays in"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subject);
        std::vector<std::string> args = {"send", "--subject", c.subject};
        args.insert(args.end(), c.args.begin(), c.args.end());
        auto result = Ostrevane(args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_THAT(result.err, HasSubstr(c.error));
        EXPECT_THAT(result.err,
                    HasSubstr("; the unsent mail stays in \\\\Personal Folders\\Drafts"));
    }
    EXPECT_EQ(Drafts(), (std::vector<std::string>{"Unknown sender", "Nobody to send to",
                                                  "Unknown recipient"}));
    EXPECT_THAT(testkit::ItemsInNoFolder(*kit.Profile()), IsEmpty());
}

// A send killed at any moment leaves no mail in no folder, and none twice.
TEST_F(SendCommandTest, KilledSendLeavesNoHiddenMail) {
    const std::vector<std::string> send = {"send", "--to", "lead@example.com", "--subject"};
    auto args = send;
    args.push_back("Whole");
    auto begin = std::chrono::steady_clock::now();
    ASSERT_EQ(Ostrevane(args).exitCode, 0);
    const auto whole = std::chrono::steady_clock::now() - begin;

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> at(
        0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count());
    for (int round = 0; round < 12; ++round) {
        args = send;
        args.push_back("Killed " + std::to_string(round));
        testkit::ChildProgram child(OSTREVANE_BIN, args);
        std::this_thread::sleep_for(std::chrono::microseconds(at(random)));
        kill(child.Pid(), SIGKILL);
        child.Wait();
    }
    auto& p = *kit.Profile();
    EXPECT_THAT(testkit::ItemsInNoFolder(p), IsEmpty());
    for (int round = 0; round < 12; ++round) {
        int found = 0;
        for (const auto& store : p.Stores()) {
            std::vector<mailstore::Id> todo{store.rootId};
            while (!todo.empty()) {
                auto folder = todo.back();
                todo.pop_back();
                for (auto id : p.ItemsIn(folder)) {
                    found += p.Item(id).subject == "Killed " + std::to_string(round);
                }
                for (const auto& child : p.Children(folder)) {
                    todo.push_back(child.id);
                }
            }
        }
        EXPECT_LE(found, 1) << "Killed " << round;
    }
}

// The demo home's keyword rule runs the pattern matcher over a subject of
// 16 KB; the mail is filed and the host ends cleanly, its leak check (in the
// sanitizer build) included. Where the matcher's thread-local block lands
// decides whether the sanitizer's runtime misreads its bounds, and each
// recipient moves it: the sanitizer build tries every place in a page, in
// runs of recipient counts that the test runner spreads over its jobs.
class SendInTheDemoHome : public ::testing::TestWithParam<int> {
  public:
#if defined(__SANITIZE_ADDRESS__)
    static constexpr int kRun = 16;
    static constexpr int kRuns = 8;
#else
    static constexpr int kRun = 2;
    static constexpr int kRuns = 1;
#endif
};

TEST_P(SendInTheDemoHome, LongSubjectIsFiledAndTheHostEndsCleanly) {
    testkit::TempHome home;
    host_test::PutIndex(home.Path());
    ASSERT_EQ(Ostrevane({"demo"}).exitCode, 0);
    const std::string subject = "Acme " + std::string(16 * 1024, 'z');
    const int first = 1 + GetParam() * kRun;
    std::string to = "lead@example.com";
    for (int r = 1; r < first; ++r) {
        to += ";r" + std::to_string(r) + "@example.com";
    }
    for (int recipients = first; recipients < first + kRun; ++recipients) {
        SCOPED_TRACE(recipients);
        auto result = Ostrevane({"send", "--to", to, "--subject", subject});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, "\\\\Personal Folders\\Clients\\Acme\n");
        EXPECT_EQ(result.err, "");
        to += ";r" + std::to_string(recipients) + "@example.com";
    }
}

INSTANTIATE_TEST_SUITE_P(RecipientRuns, SendInTheDemoHome,
                         ::testing::Range(0, SendInTheDemoHome::kRuns));

}  // namespace
