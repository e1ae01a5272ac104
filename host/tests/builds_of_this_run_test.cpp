// The index builds that one command of the host started: each is reaped
// when it ends, and the wait at the command's end waits, and says so, only
// for one that still runs.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "host/builds_of_this_run.h"
#include "platform/os/os.h"
#include "platform/testkit/testkit.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class BuildsOfThisRunTest : public testkit::HomeTest {
  protected:
    // Starts the helper as the add-in starts the builder, to run while the
    // hold file is there; gives its pid once it runs.
    pid_t Start() {
        const auto report = home.Path() / "started.txt";
        fs::remove(report);
        std::ofstream(Hold()) << "run on";
        platform::os::StartDetached(START_HELPER);
        for (int i = 0; i < 1000 && !fs::exists(report); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::ifstream in(report);
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with("pid=")) {
                return std::stoi(line.substr(4));
            }
        }
        ADD_FAILURE() << "the helper did not start";
        return -1;
    }
    fs::path Hold() const { return home.Path() / "hold"; }
    // Whether the process is gone, zombie and all, within 10 s.
    static bool Reaped(pid_t pid) {
        const fs::path entry = "/proc/" + std::to_string(pid);
        for (int i = 0; i < 1000 && fs::exists(entry); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return !fs::exists(entry);
    }
    static std::string SaidByTheWait(host::BuildsOfThisRun& builds, std::chrono::seconds limit) {
        testing::internal::CaptureStderr();
        builds.WaitForThem(limit);
        return testing::internal::GetCapturedStderr();
    }
};

TEST_F(BuildsOfThisRunTest, AnEndedBuildIsReapedAtOnceAndNotWaitedFor) {
    host::BuildsOfThisRun builds;
    const struct {
        const char* what;
        std::function<void(pid_t)> end;
    } cases[] = {
        {"it ends by itself", [&](pid_t) { fs::remove(Hold()); }},
        {"it is killed", [](pid_t pid) { ::kill(pid, SIGKILL); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const pid_t pid = Start();
        ASSERT_GT(pid, 0);
        c.end(pid);
        EXPECT_TRUE(Reaped(pid));
        EXPECT_EQ(SaidByTheWait(builds, std::chrono::seconds(120)), "");
    }
}

// Given up on, the build runs on, and is still reaped when it ends.
TEST_F(BuildsOfThisRunTest, ARunningBuildIsWaitedForSayingSo) {
    host::BuildsOfThisRun builds;
    const pid_t pid = Start();
    ASSERT_GT(pid, 0);
    const std::string said = SaidByTheWait(builds, std::chrono::seconds(0));
    EXPECT_THAT(said, HasSubstr("ostrevane: waiting for the index build to finish"));
    EXPECT_THAT(said, HasSubstr("did not finish within 0 s"));
    fs::remove(Hold());
    EXPECT_TRUE(Reaped(pid));
}

}  // namespace
