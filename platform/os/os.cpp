#include "platform/os/os.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <future>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/home.h"

extern char** environ;

namespace platform::os {

namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

std::mutex& StarterMutex() {
    static std::mutex mutex;
    return mutex;
}

Starter& InstalledStarter() {
    static Starter starter = StartDetachedProcess;
    return starter;
}

struct flock WholeFileWriteLock() {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return lock;
}

void WriteAll(int fd, const void* data, std::size_t size) {
    // Only async-signal-safe calls here: it runs between fork and exec.
    while (::write(fd, data, size) < 0 && errno == EINTR) {
    }
}

}  // namespace

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        throw platform::Error("the program's own folder is not known: " + ec.message());
    }
    return program.parent_path();
}

Starter InstallStarter(Starter starter) {
    std::lock_guard lock(StarterMutex());
    std::swap(InstalledStarter(), starter);
    return starter;
}

void StartDetached(const std::filesystem::path& program) {
    Starter starter;
    {
        std::lock_guard lock(StarterMutex());
        starter = InstalledStarter();
    }
    if (!starter) {
        throw Error("Cannot start " + program.string() + ": starting programs is switched off");
    }
    starter(program);
}

namespace {

// What the started program's process does before its exec: a session of its
// own, standard streams on /dev/null, no arguments. Only async-signal-safe
// calls: it runs between fork and exec. On a failed exec the error goes to
// the pipe.
[[noreturn]] void ExecProgram(const std::string& file, int errorPipe) {
    ::setsid();
    int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        if (null > STDERR_FILENO) {
            ::close(null);
        }
    }
    char* argv[] = {const_cast<char*>(file.c_str()), nullptr};
    ::execve(file.c_str(), argv, environ);
    int error = errno;
    WriteAll(errorPipe, &error, sizeof error);
    ::_exit(127);
}

void Reap(pid_t pid) {
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// Starts the program as ExecProgram does. Detached, it forks twice: the
// middle process forks the program and ends at once, so the program is
// adopted by init and never becomes our zombie; the pid is then 0.
// Otherwise the program is a child of ours, and its pid is given. A pipe
// closed by exec tells whether the exec worked.
pid_t Spawn(const std::filesystem::path& program, bool detached) {
    const std::string file = program.string();
    if (::access(file.c_str(), X_OK) != 0) {
        throw Error("Cannot start " + file + ": " + Reason(errno));
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw Error("Cannot start " + file + ": " + Reason(errno));
    }
    pid_t pid = ::fork();
    if (pid < 0) {
        int error = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        throw Error("Cannot start " + file + ": " + Reason(error));
    }
    if (pid == 0) {
        ::close(fds[0]);
        if (detached) {
            pid_t child = ::fork();
            if (child != 0) {
                if (child < 0) {
                    int error = errno;
                    WriteAll(fds[1], &error, sizeof error);
                }
                ::_exit(0);
            }
        }
        ExecProgram(file, fds[1]);
    }
    ::close(fds[1]);
    if (detached) {
        Reap(pid);
    }
    int error = 0;
    ssize_t got;
    do {
        got = ::read(fds[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(fds[0]);
    if (got == static_cast<ssize_t>(sizeof error)) {
        if (!detached) {
            Reap(pid);
        }
        throw Error("Cannot start " + file + ": " + Reason(error));
    }
    return detached ? 0 : pid;
}

}  // namespace

void StartDetachedProcess(const std::filesystem::path& program) {
    Spawn(program, true);
}

struct ChildProgram::End {
    std::mutex mutex;
    std::condition_variable reaped;
    bool ended = false;
};

ChildProgram::ChildProgram(const std::filesystem::path& program) : end_(std::make_shared<End>()) {
    // The reaper is made before the program, so that a program that started
    // always has one; it waits for the pid, or for -1 when the start failed.
    std::promise<pid_t> started;
    std::thread([end = end_, pid = started.get_future()]() mutable {
        if (const pid_t child = pid.get(); child > 0) {
            Reap(child);
        }
        {
            std::lock_guard lock(end->mutex);
            end->ended = true;
        }
        end->reaped.notify_all();
    }).detach();
    try {
        started.set_value(Spawn(program, false));
    } catch (...) {
        started.set_value(-1);
        throw;
    }
}

ChildProgram::~ChildProgram() = default;

bool ChildProgram::HasEnded() const {
    std::lock_guard lock(end_->mutex);
    return end_->ended;
}

bool ChildProgram::WaitForEnd(std::chrono::milliseconds limit) {
    std::unique_lock lock(end_->mutex);
    return end_->reaped.wait_for(lock, limit, [this] { return end_->ended; });
}

bool NiceOfPriorityClass(std::uint32_t priorityClass, int& nice) {
    switch (priorityClass) {
        case IDLE_PRIORITY_CLASS:
            nice = 19;
            return true;
        case BELOW_NORMAL_PRIORITY_CLASS:
            nice = 10;
            return true;
        case NORMAL_PRIORITY_CLASS:
            nice = 0;
            return true;
        case ABOVE_NORMAL_PRIORITY_CLASS:
            nice = -5;
            return true;
        default:
            return false;
    }
}

std::uint32_t PriorityClassOfNice(int nice) {
    if (nice >= 15) {
        return IDLE_PRIORITY_CLASS;
    }
    if (nice > 0) {
        return BELOW_NORMAL_PRIORITY_CLASS;
    }
    if (nice == 0) {
        return NORMAL_PRIORITY_CLASS;
    }
    return ABOVE_NORMAL_PRIORITY_CLASS;
}

// Linux keeps a nice value per thread, so every thread is set, the main one
// first. When the system refuses, the threads already set go back.
bool SetPriorityClass(std::uint32_t priorityClass) {
    int nice = 0;
    if (!NiceOfPriorityClass(priorityClass, nice)) {
        return false;
    }
    std::vector<pid_t> threads{::getpid()};
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        pid_t tid = static_cast<pid_t>(std::stol(entry.path().filename().string()));
        if (tid != threads.front()) {
            threads.push_back(tid);
        }
    }
    std::vector<std::pair<pid_t, int>> changed;
    for (pid_t tid : threads) {
        errno = 0;
        int before = ::getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
        if (errno != 0) {
            continue;  // the thread has ended
        }
        if (::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) != 0) {
            if (errno == ESRCH) {
                continue;
            }
            for (auto [done, old] : changed) {
                ::setpriority(PRIO_PROCESS, static_cast<id_t>(done), old);
            }
            return false;
        }
        changed.emplace_back(tid, before);
    }
    return true;
}

std::uint32_t GetPriorityClass() {
    errno = 0;
    int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::getpid()));
    if (errno != 0) {
        throw Error("Cannot read the process priority: " + Reason(errno));
    }
    return PriorityClassOfNice(nice);
}

void Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::string UserName() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    uid_t uid = ::getuid();
    int error = ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found);
    if (error != 0 || !found || !found->pw_name || !*found->pw_name) {
        throw Error("No user name for user id " + std::to_string(uid) +
                    (error ? ": " + Reason(error) : std::string()));
    }
    return found->pw_name;
}

std::filesystem::path SingleInstanceLock::FileOf(const std::string& programName) {
    return Home() / (programName + ".lock");
}

std::unique_ptr<SingleInstanceLock> SingleInstanceLock::TryAcquire(const std::string& programName) {
    auto file = FileOf(programName);
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
        throw Error("Cannot open the lock file " + file.string() + ": " + ec.message());
    }
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw Error("Cannot open the lock file " + file.string() + ": " + Reason(errno));
    }
    // A lock of the open file, not of the process: a second open in this
    // process is refused too, and IsHeld can ask without taking it.
    struct flock whole = WholeFileWriteLock();
    int result;
    do {
        result = ::fcntl(fd, F_OFD_SETLK, &whole);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        int error = errno;
        ::close(fd);
        if (error == EAGAIN || error == EACCES) {
            return nullptr;
        }
        throw Error("Cannot lock " + file.string() + ": " + Reason(error));
    }
    return std::unique_ptr<SingleInstanceLock>(new SingleInstanceLock(fd));
}

bool SingleInstanceLock::IsHeld(const std::string& programName) {
    const auto file = FileOf(programName);
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return false;
        }
        throw Error("Cannot open the lock file " + file.string() + ": " + Reason(errno));
    }
    struct flock probe = WholeFileWriteLock();
    const int result = ::fcntl(fd, F_OFD_GETLK, &probe);
    const int error = errno;
    ::close(fd);
    if (result != 0) {
        throw Error("Cannot test the lock " + file.string() + ": " + Reason(error));
    }
    return probe.l_type != F_UNLCK;
}

SingleInstanceLock::~SingleInstanceLock() {
    ::close(fd_);
}

}  // namespace platform::os
