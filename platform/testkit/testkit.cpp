#include "platform/testkit/testkit.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/os/os.h"

extern char** environ;

namespace testkit {

namespace {

std::filesystem::path UniqueTempPath(const std::string& stem) {
    static std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    std::filesystem::path path;
    do {
        path = base / (stem + std::to_string(rd()));
    } while (std::filesystem::exists(path));
    return path;
}

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The exit code of a child process once it ends; 128 + the signal when a
// signal ended it, -1 when it cannot be waited for.
int WaitFor(pid_t pid) {
    int status = 0;
    pid_t waited;
    while ((waited = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    if (waited != pid) {
        return -1;
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return -1;
}

}  // namespace

TempHome::TempHome() {
    path_ = UniqueTempPath("plovanex-test-");
    std::filesystem::create_directories(path_);
    if (const char* old = std::getenv("OSTREVANE_HOME")) {
        hadHome_ = true;
        previousHome_ = old;
    }
    setenv("OSTREVANE_HOME", path_.c_str(), 1);
    capture_ = std::make_shared<ostrevane::CaptureSink>();
    previousSink_ = ostrevane::InstallSink(capture_);
    started_ = std::make_shared<StartLog>();
    previousStarter_ =
        platform::os::InstallStarter([log = started_](const std::filesystem::path& program) {
            std::lock_guard lock(log->mutex);
            log->programs.push_back(program);
        });
}

TempHome::~TempHome() {
    platform::os::InstallStarter(previousStarter_);
    ostrevane::InstallSink(previousSink_);
    if (hadHome_) {
        setenv("OSTREVANE_HOME", previousHome_.c_str(), 1);
    } else {
        unsetenv("OSTREVANE_HOME");
    }
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::vector<std::filesystem::path> TempHome::Started() const {
    std::lock_guard lock(started_->mutex);
    return started_->programs;
}

ChildProgram::ChildProgram(const std::filesystem::path& program,
                           const std::vector<std::string>& args) {
    outFile_ = UniqueTempPath("plovanex-out-");
    errFile_ = UniqueTempPath("plovanex-err-");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> all{program.string()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    int error = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        pid_ = -1;
        ADD_FAILURE() << "cannot start " << program << ": " << std::strerror(error);
    }
}

ChildProgram::~ChildProgram() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        Wait();
    }
    std::error_code ec;
    std::filesystem::remove(outFile_, ec);
    std::filesystem::remove(errFile_, ec);
}

ProgramResult ChildProgram::Wait() {
    ProgramResult result;
    if (pid_ <= 0) {
        return result;
    }
    result.exitCode = WaitFor(pid_);
    pid_ = -1;
    result.out = ReadFile(outFile_);
    result.err = ReadFile(errFile_);
    return result;
}

ProgramResult RunProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& args) {
    return ChildProgram(program, args).Wait();
}

ForkedChild::ForkedChild(const std::function<void()>& fn) {
    pid_ = fork();
    if (pid_ == 0) {
        int code = 0;
        try {
            fn();
            code = ::testing::Test::HasFailure() ? 1 : 0;
        } catch (...) {
            code = 1;
        }
        _exit(code);
    }
    if (pid_ < 0) {
        ADD_FAILURE() << "cannot fork: " << std::strerror(errno);
    }
}

ForkedChild::~ForkedChild() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        Wait();
    }
}

int ForkedChild::Wait() {
    if (pid_ <= 0) {
        return -1;
    }
    const int code = WaitFor(pid_);
    pid_ = -1;
    return code;
}

int RunInChild(const std::function<void()>& fn) {
    return ForkedChild(fn).Wait();
}

}  // namespace testkit
