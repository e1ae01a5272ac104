#include "platform/ostrevane/sink.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "common/error_text.h"
#include "platform/home.h"

namespace ostrevane {

namespace {

std::mutex& SinkMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<Sink>& InstalledSink() {
    static std::shared_ptr<Sink> sink;
    return sink;
}

std::shared_ptr<Sink> CurrentSink() {
    std::lock_guard lock(SinkMutex());
    return InstalledSink();
}

// The time stamp of an entry: date and time of day with milliseconds. The
// date and time of day change once a second; only the milliseconds are
// formatted for every entry.
void AppendNow(std::string& out) {
    thread_local std::time_t lastSecond = -1;
    thread_local char secondText[32];
    thread_local std::size_t secondLength = 0;
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    if (t != lastSecond) {
        std::tm tm{};
        localtime_r(&t, &tm);
        const int n = std::snprintf(secondText, sizeof secondText, "%04d-%02d-%02d %02d:%02d:%02d",
                                    tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                                    tm.tm_min, tm.tm_sec);
        secondLength = n > 0 ? static_cast<std::size_t>(n) : 0;
        lastSecond = t;
    }
    const auto millis = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000);
    out.append(secondText, secondLength);
    out += '.';
    out += static_cast<char>('0' + millis / 100);
    out += static_cast<char>('0' + millis / 10 % 10);
    out += static_cast<char>('0' + millis % 10);
}

// Set in a child made by fork: the open log, its lock and its watch are
// the parent's.
std::atomic<bool> gForkedSinceOpen{false};

std::atomic<std::uintmax_t> gLogRotationSize{kLogRotationSize};

// The log file stays open between entries. It is opened again when the path
// under OSTREVANE_HOME changes or no longer names the open file (a new home,
// a removed or renamed log), which a watch on the file tells; where no watch
// can be had, the path is looked up.
//
// Past its size the log is moved aside to ".1", replacing the older one.
// The open file is looked at when it is opened and after every few
// kilobytes written to it; the writer that finds it past its size moves it,
// under an exclusive lock on that file, so that of several writers only one
// moves it. Every entry is written under a shared lock on the file, once the
// writer has made sure that the path still names it: no writer appends to a
// file that was moved aside. A log that is a symbolic link stays one: the
// file it names is moved aside, beside that file. A move that fails is
// reported once per process, and so is a log path that names no regular
// file (a FIFO, a folder, a link loop), which no writer waits on. Entries
// that went to a file that was moved and then removed (by others that do not
// take the lock) since the last look are written again to the log; a log
// removed where it lies takes them along.
class LogFile {
  public:
    LogFile() {
        ::pthread_atfork(nullptr, nullptr,
                         [] { gForkedSinceOpen.store(true, std::memory_order_relaxed); });
    }

    // One write per entry with O_APPEND, so entries of several processes
    // never interleave and an entry is the system's as soon as the call
    // returns: a process killed later loses none. A log that cannot be
    // written is not an error of the caller. Gives the texts of reports for
    // the caller to make once this writer is free: the first move aside of
    // the process that failed, the first log path that names no file.
    std::vector<std::string> Append(std::string_view entry) {
        std::lock_guard lock(mutex_);
        if (gForkedSinceOpen.exchange(false, std::memory_order_relaxed)) {
            Forget();
        }
        const std::string& path = Path();
        for (bool open = fd_ >= 0 && path == path_;; open = false) {
            if (!open) {
                Reopen(path);
                if (fd_ < 0) {
                    break;
                }
            }
            while (::flock(fd_, LOCK_SH) != 0 && errno == EINTR) {
            }
            const bool current = Current(path);
            if (current) {
                if (!rewrite_.empty()) {
                    Write(rewrite_);
                    unlooked_.append(rewrite_);
                    rewrite_.clear();
                }
                Write(entry);
            }
            ::flock(fd_, LOCK_UN);
            if (current) {
                unlooked_.append(entry);
                if (unlooked_.size() >= LookEvery()) {
                    Look(path);
                }
                break;
            }
        }
        return std::exchange(reports_, {});
    }

  private:
    static std::uintmax_t RotationSize() { return gLogRotationSize.load(); }

    // The bytes written between two looks at the open file: a small part of
    // the size at which it is moved aside.
    static std::size_t LookEvery() {
        return static_cast<std::size_t>(
            std::clamp<std::uintmax_t>(RotationSize() / 16, 1, 64 * 1024));
    }

    // Writes whole entries. One that a full disk cut short is finished
    // where it can be; where it cannot, the next entry of any writer first
    // ends the cut one with a line break. This writer looks at the end of
    // the file before its next entry, and so does every other: the cut one
    // changes the file's times, which their watch tells them, and a writer
    // that opens a log afresh looks at its end anyway.
    void Write(std::string_view text) {
        if (endUnsure_ && !EndsWithBreak() && !WriteAll("\n")) {
            return;
        }
        const std::size_t written = WriteAll(text);
        endUnsure_ = written < text.size();
        if (written > 0 && endUnsure_) {
            ::futimens(fd_, nullptr);
        }
    }

    // The bytes written of text, more than one write where one is cut short.
    std::size_t WriteAll(std::string_view text) {
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n == 0 || errno != EINTR) {
                break;
            }
        }
        return done;
    }

    // False when the open file ends within an entry. Another writer may be
    // within its write, the file's size a part of the way, so an end within
    // an entry is a cut only when the size holds for a moment. A file that
    // cannot be read ends as its writers left it.
    bool EndsWithBreak() const {
        off_t size = -1;
        for (int look = 0; look < 3; ++look) {
            struct stat st {};
            if (::fstat(fd_, &st) != 0 || st.st_size == 0) {
                return true;
            }
            if (st.st_size == size) {
                return false;
            }
            size = st.st_size;
            char last = '\n';
            if (::pread(fd_, &last, 1, size - 1) != 1 || last == '\n') {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    void Look(const std::string& path) {
        struct stat st {};
        if (::fstat(fd_, &st) == 0 && st.st_nlink == 0) {
            Reopen(path);
            return;
        }
        unlooked_.clear();
        if (static_cast<std::uintmax_t>(st.st_size) > RotationSize()) {
            MoveAside(path);
        }
    }

    // Moves the open file to ".1" when the path still names it and it is
    // still past its size, then opens the file the path names. Where the
    // path is a link, the file it names is moved.
    void MoveAside(const std::string& path) {
        if (::flock(fd_, LOCK_EX) == 0) {
            struct stat st {};
            if (NamesOpenFile(path) && ::fstat(fd_, &st) == 0 &&
                static_cast<std::uintmax_t>(st.st_size) > RotationSize()) {
                std::string file = path;
                std::error_code ec;
                if (std::filesystem::is_symlink(path, ec)) {
                    if (auto named = std::filesystem::canonical(path, ec); !ec) {
                        file = named.string();
                    }
                }
                const std::string aside = file + ".1";
                if (::rename(file.c_str(), aside.c_str()) != 0 && errno != ENOENT &&
                    !moveFailureReported_) {
                    moveFailureReported_ = true;
                    reports_.push_back(common::LogNotMovedAside(
                        file, aside, std::generic_category().message(errno)));
                }
            }
            ::flock(fd_, LOCK_UN);
        }
        Open(path);
    }

    // Opens the file the path names, and moves it aside when it is past
    // its size.
    void Reopen(const std::string& path) {
        Open(path);
        struct stat st {};
        if (fd_ >= 0 && ::fstat(fd_, &st) == 0 &&
            static_cast<std::uintmax_t>(st.st_size) > RotationSize()) {
            MoveAside(path);
        }
    }

    // The log's path now, worked out again only when OSTREVANE_HOME is unset
    // or changed.
    const std::string& Path() {
        const char* home = std::getenv("OSTREVANE_HOME");
        if (!home || !*home) {
            homeText_.clear();
            pathNow_ = LogFilePath();
        } else if (homeText_ != home || pathNow_.empty()) {
            homeText_ = home;
            pathNow_ = LogFilePath();
        }
        return pathNow_;
    }

    // Whether the path still names the open file. Asked under the file's
    // lock, which a move aside holds: its event is in the watch by then.
    // The path is looked up only when the watch has something to tell; an
    // open file whose times another writer changed may end within an entry.
    bool Current(const std::string& path) {
        if (watch_ >= 0 && !ReadEvents()) {
            return true;
        }
        if (!NamesOpenFile(path)) {
            return false;
        }
        endUnsure_ = endUnsure_ || std::exchange(touched_, false);
        return true;
    }

    // Whatever happened to the open file since (renamed, removed, its links
    // changed) stands as an event of the watch; none is the rule. True when
    // there was one; a move of the file is kept in moved_.
    bool ReadEvents() {
        bool happened = false;
        alignas(inotify_event) char events[4096];
        for (ssize_t n; (n = ::read(notify_, events, sizeof events)) > 0;) {
            happened = true;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(events + at);
                if (event->wd == watch_ && (event->mask & IN_MOVE_SELF) != 0) {
                    moved_ = true;
                }
                if (event->wd == watch_ && (event->mask & IN_ATTRIB) != 0) {
                    touched_ = true;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return happened;
    }

    bool NamesOpenFile(const std::string& path) const {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && st.st_dev == dev_ && st.st_ino == ino_;
    }

    // Watches the open file, so that an entry needs no look-up of its path.
    // Where no watch can be had, every entry looks the path up.
    void Watch(const std::string& path) {
        if (notify_ < 0) {
            notify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        }
        if (notify_ < 0) {
            return;
        }
        watch_ =
            ::inotify_add_watch(notify_, path.c_str(), IN_MOVE_SELF | IN_DELETE_SELF | IN_ATTRIB);
        ReadEvents();
        moved_ = false;
        touched_ = false;
        // The path may have changed between the open and the watch.
        if (watch_ >= 0 && !NamesOpenFile(path)) {
            Unwatch();
        }
    }

    void Unwatch() {
        if (watch_ >= 0) {
            ::inotify_rm_watch(notify_, watch_);
        }
        watch_ = -1;
    }

    // Opens the file the path names. When the open file was moved and is
    // since removed (a ".1" that a move replaced), the entries written to it
    // since the last look are to be written to the new one. The end of the
    // file is looked at first when it is another path's, or when the open
    // one's times were changed: a writer cut an entry short. A path that
    // names no regular file is left.
    void Open(const std::string& path) {
        bool lookAtEnd = path != path_;
        struct stat old {};
        if (fd_ >= 0 && path == path_ && ::fstat(fd_, &old) == 0) {
            if (watch_ >= 0) {
                ReadEvents();
            }
            if (old.st_nlink == 0 && moved_) {
                rewrite_.append(unlooked_);
            }
            lookAtEnd = old.st_nlink > 0 && touched_;
        }
        unlooked_.clear();
        Close();
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        // Read as well, for a look at its end; a file that cannot be read is
        // still written. A FIFO opens at once, and a regular file is written
        // as without O_NONBLOCK.
        constexpr int kFlags = O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK;
        fd_ = ::open(path.c_str(), O_RDWR | kFlags, 0644);
        if (fd_ < 0 && errno == EACCES) {
            fd_ = ::open(path.c_str(), O_WRONLY | kFlags, 0644);
        }
        const int error = fd_ < 0 ? errno : 0;
        endUnsure_ = lookAtEnd;
        struct stat st {};
        if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) {
            path_ = path;
            dev_ = st.st_dev;
            ino_ = st.st_ino;
            Watch(path);
            return;
        }
        const bool noFile =
            fd_ >= 0 ? !S_ISREG(st.st_mode) : error == EISDIR || error == ELOOP || error == ENXIO;
        Close();
        if (noFile && !noFileReported_) {
            noFileReported_ = true;
            reports_.push_back(common::LogNotRegularFile(path));
        }
    }

    // In a child made by fork: leaves the parent's file, lock and watch to
    // the parent, and its reports.
    void Forget() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (notify_ >= 0) {
            ::close(notify_);
        }
        fd_ = -1;
        notify_ = -1;
        watch_ = -1;
        path_.clear();
        unlooked_.clear();
        rewrite_.clear();
        moveFailureReported_ = false;
        noFileReported_ = false;
    }

    void Close() {
        Unwatch();
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
        path_.clear();
    }

    std::mutex mutex_;
    std::string homeText_;
    std::string pathNow_;
    int fd_ = -1;
    // What was written to the open file since it was last looked at.
    std::string unlooked_;
    // Entries of a file that was removed, to be written before the next one.
    std::string rewrite_;
    std::string path_;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    int notify_ = -1;
    int watch_ = -1;
    bool moved_ = false;    // the open file was moved since it was opened
    bool touched_ = false;  // its times or links were changed since
    // The open file may end within an entry: it is new to this writer, was
    // touched by another, or this one's entry was cut short.
    bool endUnsure_ = true;
    bool moveFailureReported_ = false;
    bool noFileReported_ = false;
    std::vector<std::string> reports_;  // not yet made
};

// Writes one entry: the time stamp and the fields, each escaped, TAB between.
void AppendToLog(std::initializer_list<std::string_view> fields) {
    // Never destroyed: entries written while the process ends still find it.
    static LogFile& file = *new LogFile;
    thread_local std::string entry;
    entry.clear();
    AppendNow(entry);
    for (std::string_view field : fields) {
        entry += '\t';
        AppendEscaped(entry, field);
    }
    entry += '\n';
    // Made here, once the file is free again: a report is itself an entry.
    for (std::string& report : file.Append(entry)) {
        Deliver(Report{std::move(report), 1, common::kHostLogSource});
    }
}

class StderrSink : public Sink {
  public:
    void OnReport(const Report& report) override {
        std::cerr << (report.code ? "Error" : "Note") << " [" << report.source
                  << "]: " << report.message << '\n';
    }
    void OnLog(const LogLine&) override {}
    bool WantsLogLines() const override { return false; }
};

}  // namespace

std::uintmax_t SetLogRotationSizeForTests(std::uintmax_t bytes) {
    return gLogRotationSize.exchange(bytes);
}

std::string LogFilePath() {
    return (platform::Home() / "ostrevane.log").string();
}

void AppendEscaped(std::string& out, std::string_view text) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* escaped = nullptr;
        switch (text[i]) {
            case '\\':
                escaped = "\\\\";
                break;
            case '\r':
                escaped = "\\r";
                break;
            case '\n':
                escaped = "\\n";
                break;
            case '\t':
                escaped = "\\t";
                break;
            default:
                continue;
        }
        out.append(text, plain, i - plain);
        out += escaped;
        plain = i + 1;
    }
    out.append(text, plain, std::string_view::npos);
}

std::shared_ptr<Sink> InstallSink(std::shared_ptr<Sink> sink) {
    std::lock_guard lock(SinkMutex());
    std::swap(InstalledSink(), sink);
    return sink;
}

std::shared_ptr<Sink> WrapSink(
    const std::function<std::shared_ptr<Sink>(std::shared_ptr<Sink> installed)>& wrap) {
    std::lock_guard lock(SinkMutex());
    auto installed = InstalledSink();
    InstalledSink() = wrap(installed);
    return installed;
}

std::shared_ptr<Sink> MakeStderrSink() {
    return std::make_shared<StderrSink>();
}

void Deliver(const Report& report) {
    AppendToLog({report.code ? "ERROR" : "NOTE", report.source, report.message});
    if (auto sink = CurrentSink()) {
        sink->OnReport(report);
    }
}

void Deliver(const LogLine& line) {
    DeliverLogLine(line.application, line.source, line.text);
}

void DeliverLogLine(std::string_view application, std::string_view source, std::string_view text) {
    AppendToLog({application, source, text});
    if (auto sink = CurrentSink(); sink && sink->WantsLogLines()) {
        sink->OnLog(LogLine{std::string(application), std::string(source), std::string(text)});
    }
}

struct CaptureSink::State {
    mutable std::mutex mutex;
    std::vector<Report> reports;
    std::vector<LogLine> lines;
};

std::shared_ptr<CaptureSink::State> CaptureSink::MakeState() {
    return std::make_shared<State>();
}

void CaptureSink::OnReport(const Report& report) {
    std::lock_guard lock(state_->mutex);
    state_->reports.push_back(report);
}

void CaptureSink::OnLog(const LogLine& line) {
    std::lock_guard lock(state_->mutex);
    state_->lines.push_back(line);
}

std::vector<Report> CaptureSink::Reports() const {
    std::lock_guard lock(state_->mutex);
    return state_->reports;
}

std::vector<LogLine> CaptureSink::Lines() const {
    std::lock_guard lock(state_->mutex);
    return state_->lines;
}

std::vector<std::string> CaptureSink::Texts() const {
    std::lock_guard lock(state_->mutex);
    std::vector<std::string> texts;
    for (const auto& line : state_->lines) {
        texts.push_back(line.text);
    }
    return texts;
}

void CaptureSink::Clear() {
    std::lock_guard lock(state_->mutex);
    state_->reports.clear();
    state_->lines.clear();
}

}  // namespace ostrevane
