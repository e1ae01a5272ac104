#include <gtest/gtest.h>

#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "platform/error.h"
#include "platform/os/os.h"
#include "platform/testkit/testkit.h"

namespace {

namespace os = platform::os;

// Runs fn in a forked child, so priority changes stay out of the test
// process; the child's exit code is the number of failed checks.
int InChild(const std::function<int()>& fn) {
    pid_t pid = fork();
    if (pid == 0) {
        _exit(fn());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

int Nice() {
    return getpriority(PRIO_PROCESS, 0);
}

struct PriorityCase {
    std::uint32_t priorityClass;
    int nice;
};

void PrintTo(const PriorityCase& c, std::ostream* os) {
    *os << "nice " << c.nice;
}

class PriorityTest : public testing::TestWithParam<PriorityCase> {};

TEST_P(PriorityTest, ClassSetsItsNiceValueOnEveryThread) {
    const auto c = GetParam();
    int nice = 99;
    ASSERT_TRUE(os::NiceOfPriorityClass(c.priorityClass, nice));
    EXPECT_EQ(nice, c.nice);
    EXPECT_EQ(os::PriorityClassOfNice(c.nice), c.priorityClass);
    if (c.nice < 0 && geteuid() != 0) {
        GTEST_SKIP() << "raising the priority needs privileges";
    }
    EXPECT_EQ(InChild([&] {
                  int seen = -100;
                  std::thread worker([&] {
                      // Started before the change: its nice value must follow too.
                      std::this_thread::sleep_for(std::chrono::milliseconds(200));
                      seen = Nice();
                  });
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
                  int failures = 0;
                  failures += !os::SetPriorityClass(c.priorityClass);
                  failures += Nice() != c.nice;
                  failures += os::GetPriorityClass() != c.priorityClass;
                  worker.join();
                  failures += seen != c.nice;
                  return failures;
              }),
              0);
}

INSTANTIATE_TEST_SUITE_P(Table, PriorityTest,
                         testing::Values(PriorityCase{os::IDLE_PRIORITY_CLASS, 19},
                                         PriorityCase{os::BELOW_NORMAL_PRIORITY_CLASS, 10},
                                         PriorityCase{os::NORMAL_PRIORITY_CLASS, 0},
                                         PriorityCase{os::ABOVE_NORMAL_PRIORITY_CLASS, -5}));

TEST(PriorityClassTest, UnknownClassChangesNothing) {
    int nice = 7;
    EXPECT_FALSE(os::NiceOfPriorityClass(0x80, nice));  // the high class has no stand-in
    EXPECT_EQ(InChild([] {
                  int before = Nice();
                  return (os::SetPriorityClass(0x80) ? 1 : 0) + (Nice() != before ? 1 : 0);
              }),
              0);
}

TEST(PriorityClassTest, RefusedChangeLeavesThePriority) {
    EXPECT_EQ(InChild([] {
                  // Without privileges the nice value can rise, never fall again.
                  if (geteuid() == 0) {
                      passwd* nobody = getpwnam("nobody");
                      if (!nobody || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) {
                          return 50;
                      }
                  }
                  int failures = !os::SetPriorityClass(os::BELOW_NORMAL_PRIORITY_CLASS);
                  failures += os::SetPriorityClass(os::NORMAL_PRIORITY_CLASS);
                  failures += os::SetPriorityClass(os::ABOVE_NORMAL_PRIORITY_CLASS);
                  failures += Nice() != 10;
                  failures += os::GetPriorityClass() != os::BELOW_NORMAL_PRIORITY_CLASS;
                  return failures;
              }),
              0);
}

TEST(UserNameTest, IsTheLoginNameOfTheUser) {
    auto id = testkit::RunProgram("/usr/bin/id", {"-un"});
    ASSERT_EQ(id.exitCode, 0);
    EXPECT_EQ(os::UserName() + "\n", id.out);
}

class SingleInstanceTest : public testkit::HomeTest {};

TEST_F(SingleInstanceTest, SecondHolderIsRefusedUntilTheFirstEnds) {
    auto first = os::SingleInstanceLock::TryAcquire("Kestrune");
    ASSERT_TRUE(first);
    EXPECT_TRUE(std::filesystem::exists(home.Path() / "Kestrune.lock"));
    EXPECT_FALSE(os::SingleInstanceLock::TryAcquire("Kestrune"));
    EXPECT_TRUE(os::SingleInstanceLock::TryAcquire("Other"));
    first.reset();
    EXPECT_TRUE(os::SingleInstanceLock::TryAcquire("Kestrune"));
}

TEST_F(SingleInstanceTest, LockOfAnotherProcessHoldsUntilItDies) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t holder = fork();
    if (holder == 0) {
        close(ready[0]);
        auto lock = os::SingleInstanceLock::TryAcquire("Kestrune");
        char c = lock ? 'y' : 'n';
        (void)!write(ready[1], &c, 1);
        pause();  // until killed, as a crashed holder ends
        _exit(0);
    }
    close(ready[1]);
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    ASSERT_EQ(c, 'y');
    EXPECT_FALSE(os::SingleInstanceLock::TryAcquire("Kestrune"));
    EXPECT_TRUE(os::SingleInstanceLock::IsHeld("Kestrune"));
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_FALSE(os::SingleInstanceLock::IsHeld("Kestrune"));
    EXPECT_TRUE(os::SingleInstanceLock::TryAcquire("Kestrune"));
}

// Asking leaves the lock free for the next copy to take.
TEST_F(SingleInstanceTest, IsHeldAsksWithoutTaking) {
    EXPECT_FALSE(os::SingleInstanceLock::IsHeld("Kestrune"));
    auto lock = os::SingleInstanceLock::TryAcquire("Kestrune");
    ASSERT_TRUE(lock);
    EXPECT_TRUE(os::SingleInstanceLock::IsHeld("Kestrune"));
    EXPECT_FALSE(os::SingleInstanceLock::IsHeld("Other"));
    lock.reset();
    EXPECT_FALSE(os::SingleInstanceLock::IsHeld("Kestrune"));
    EXPECT_TRUE(os::SingleInstanceLock::TryAcquire("Kestrune"));
}

TEST_F(SingleInstanceTest, UnusableHomeRaises) {
    auto file = home.Path() / "blocked";
    std::ofstream(file) << "a file where the home folder should be";
    setenv("OSTREVANE_HOME", file.c_str(), 1);
    EXPECT_THROW(os::SingleInstanceLock::TryAcquire("Kestrune"), platform::Error);
    setenv("OSTREVANE_HOME", home.Path().c_str(), 1);
}

class DetachedStartTest : public testkit::HomeTest {};

// What the start helper wrote of its start, by name.
std::map<std::string, long> StartReport(const std::filesystem::path& report) {
    std::map<std::string, long> seen;
    std::ifstream in(report);
    for (std::string line; std::getline(in, line);) {
        auto eq = line.find('=');
        seen[line.substr(0, eq)] = std::stol(line.substr(eq + 1));
    }
    return seen;
}

TEST_F(DetachedStartTest, InstalledStarterIsAskedInstead) {
    os::StartDetached("/opt/nowhere/Kestrune");
    EXPECT_EQ(home.Started(), std::vector<std::filesystem::path>{"/opt/nowhere/Kestrune"});
}

TEST_F(DetachedStartTest, ProgramRunsAloneWithoutArgumentsAndLeavesNoZombie) {
    os::StartDetachedProcess(START_HELPER);
    auto report = home.Path() / "started.txt";
    for (int i = 0; i < 1000 && !std::filesystem::exists(report); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(std::filesystem::exists(report));
    auto seen = StartReport(report);
    EXPECT_EQ(seen["argc"], 1);
    EXPECT_EQ(seen["stdin-null"], 1);
    EXPECT_NE(seen["sid"], getsid(0));
    // The middle process was reaped and the program is not our child.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(DetachedStartTest, ProgramThatCannotStartRaisesNamingIt) {
    auto text = home.Path() / "notes.txt";
    std::ofstream(text) << "not a program";
    for (const auto& program : {home.Path() / "Kestrune", text}) {
        for (bool detached : {true, false}) {
            try {
                if (detached) {
                    os::StartDetachedProcess(program);
                } else {
                    os::ChildProgram child(program);
                }
                ADD_FAILURE() << "started " << program;
            } catch (const platform::Error& e) {
                EXPECT_NE(e.Description().find(program.string()), std::string::npos)
                    << e.Description();
            }
        }
    }
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

// Started as a child, the program starts as a detached one does, and can be
// waited for.
TEST_F(DetachedStartTest, ChildProgramCanBeWaitedFor) {
    const auto hold = home.Path() / "hold";
    std::ofstream(hold) << "run on";
    os::ChildProgram child(START_HELPER);
    const auto report = home.Path() / "started.txt";
    for (int i = 0; i < 1000 && !std::filesystem::exists(report); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(std::filesystem::exists(report));
    EXPECT_FALSE(child.WaitForEnd(std::chrono::milliseconds(100)));
    std::filesystem::remove(hold);
    EXPECT_TRUE(child.WaitForEnd(std::chrono::seconds(10)));
    EXPECT_TRUE(child.WaitForEnd(std::chrono::milliseconds(0)));
    auto seen = StartReport(report);
    EXPECT_EQ(seen["argc"], 1);
    EXPECT_EQ(seen["stdin-null"], 1);
    EXPECT_NE(seen["sid"], getsid(0));
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

}  // namespace
