#pragma once

// Stand-ins for the Windows calls the system makes.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace platform::os {

// --- Starting a program -------------------------------------------------

// The folder of the running program. Raises platform::Error when it cannot
// be told.
std::filesystem::path ProgramFolder();

// Starts the program detached: no shell, no arguments, standard streams on
// /dev/null, a session of its own, and nobody waits for it (it leaves no
// zombie behind). Goes through the installed starter. Raises platform::Error
// naming the program when it cannot be started.
void StartDetached(const std::filesystem::path& program);

// What StartDetached calls. Tests install one that records the request, so
// no test starts a real program by accident.
using Starter = std::function<void(const std::filesystem::path& program)>;
// Replaces the starter (nothing restores the real one) and gives the one
// installed before.
Starter InstallStarter(Starter starter);
// The real start, whatever starter is installed.
void StartDetachedProcess(const std::filesystem::path& program);

// A program started as StartDetachedProcess starts it, but as a child of
// this process, so that this process can wait for its end. It is reaped as
// soon as it ends, however it ends, also after the object is gone: it never
// stays a zombie. Not waited for, it runs on after the object is gone.
class ChildProgram {
  public:
    // Raises platform::Error naming the program when it cannot be started.
    explicit ChildProgram(const std::filesystem::path& program);
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Whether the program has ended (and been reaped).
    bool HasEnded() const;
    // Waits at most limit; true when the program has ended.
    bool WaitForEnd(std::chrono::milliseconds limit);

  private:
    struct End;
    std::shared_ptr<End> end_;
};

// --- Process priority ---------------------------------------------------

inline constexpr std::uint32_t IDLE_PRIORITY_CLASS = 0x40;
inline constexpr std::uint32_t BELOW_NORMAL_PRIORITY_CLASS = 0x4000;
inline constexpr std::uint32_t NORMAL_PRIORITY_CLASS = 0x20;
inline constexpr std::uint32_t ABOVE_NORMAL_PRIORITY_CLASS = 0x8000;

// The nice value of a priority class; false for a class without one.
bool NiceOfPriorityClass(std::uint32_t priorityClass, int& nice);
// The priority class a nice value falls in.
std::uint32_t PriorityClassOfNice(int nice);

// Sets the priority of every thread of this process. False, with the
// priority left as it was, when the class is unknown or the system refuses.
bool SetPriorityClass(std::uint32_t priorityClass);
// The class of this process's current priority.
std::uint32_t GetPriorityClass();

// --- Waiting and the user -----------------------------------------------

void Sleep(std::uint32_t milliseconds);

// The login name of the user the process runs as; raises platform::Error
// when the system knows no name for it.
std::string UserName();

// --- One copy of a program ----------------------------------------------

// Held while the object lives. The lock file lies under OSTREVANE_HOME; the
// system drops the lock when its holder ends, however it ends.
class SingleInstanceLock {
  public:
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // The lock of the program name, or nothing when another copy holds it.
    // Raises platform::Error when the lock file cannot be opened.
    static std::unique_ptr<SingleInstanceLock> TryAcquire(const std::string& programName);
    // Whether a copy holds the lock now, asked without taking it. Raises
    // platform::Error when the lock file is there but cannot be read.
    static bool IsHeld(const std::string& programName);
    // The lock file of a program name.
    static std::filesystem::path FileOf(const std::string& programName);

  private:
    explicit SingleInstanceLock(int fd) : fd_(fd) {}
    int fd_;
};

}  // namespace platform::os
