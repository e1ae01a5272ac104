#pragma once

#include <gtest/gtest.h>

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ostrevane/sink.h"

namespace testkit {

// A fresh OSTREVANE_HOME for one test, removed afterwards, with a capture
// of every report and log line installed as the sink. Programs started
// through platform::os::StartDetached are recorded, not started.
class TempHome {
  public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    ostrevane::CaptureSink& Capture() { return *capture_; }
    // The programs the code under test asked to start, in order.
    std::vector<std::filesystem::path> Started() const;

  private:
    std::filesystem::path path_;
    std::string previousHome_;
    bool hadHome_ = false;
    std::shared_ptr<ostrevane::CaptureSink> capture_;
    std::shared_ptr<ostrevane::Sink> previousSink_;
    struct StartLog {
        std::mutex mutex;
        std::vector<std::filesystem::path> programs;
    };
    std::shared_ptr<StartLog> started_;
    std::function<void(const std::filesystem::path&)> previousStarter_;
};

// What a program that ran gave back.
struct ProgramResult {
    int exitCode = -1;  // 128 + the signal when a signal ended it
    std::string out;
    std::string err;
};

// A program started by a test with its own arguments, standard output and
// error captured, and the test's environment (OSTREVANE_HOME included).
// Killed when dropped before Wait.
class ChildProgram {
  public:
    ChildProgram(const std::filesystem::path& program, const std::vector<std::string>& args);
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;
    pid_t Pid() const { return pid_; }
    ProgramResult Wait();

  private:
    pid_t pid_ = -1;
    std::filesystem::path outFile_, errFile_;
};

// Runs a program to its end.
ProgramResult RunProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& args);

// A child process forked by a test to run `fn` and end: with 0 when `fn`
// returns and the test records no failure, else with 1. Killed when dropped
// before Wait.
class ForkedChild {
  public:
    explicit ForkedChild(const std::function<void()>& fn);
    ~ForkedChild();
    ForkedChild(const ForkedChild&) = delete;
    ForkedChild& operator=(const ForkedChild&) = delete;
    pid_t Pid() const { return pid_; }
    // Its exit code; 128 + the signal when a signal ended it.
    int Wait();

  private:
    pid_t pid_ = -1;
};

// Runs `fn` in a child process to its end; what ForkedChild::Wait gives.
int RunInChild(const std::function<void()>& fn);

// A test fixture that owns a TempHome.
class HomeTest : public ::testing::Test {
  protected:
    TempHome home;
};

}  // namespace testkit
