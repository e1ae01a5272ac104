#include "platform/ostrevane/sink.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <mutex>

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

// Line breaks and tabs inside a text are escaped, so one entry is one line.
std::string Escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Now() {
    // The date and time of day change once a second; only the milliseconds
    // are formatted for every entry.
    thread_local std::time_t lastSecond = -1;
    thread_local char secondText[64];
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    if (t != lastSecond) {
        std::tm tm{};
        localtime_r(&t, &tm);
        std::snprintf(secondText, sizeof secondText, "%04d-%02d-%02d %02d:%02d:%02d",
                      tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                      tm.tm_sec);
        lastSecond = t;
    }
    int millis = static_cast<int>(ms.count());
    std::string text(secondText);
    text += '.';
    text += static_cast<char>('0' + millis / 100);
    text += static_cast<char>('0' + millis / 10 % 10);
    text += static_cast<char>('0' + millis % 10);
    return text;
}

// The log file stays open between entries. It is opened again when the path
// under OSTREVANE_HOME changes or no longer names the open file (a new home,
// a removed or renamed log), which a watch on the file tells.
class LogFile {
  public:
    // One write per entry with O_APPEND, so entries of several processes
    // never interleave. A log that cannot be written is not an error of the
    // caller.
    void Append(const std::string& entry) {
        const std::string path = LogFilePath();
        std::lock_guard lock(mutex_);
        if (!Current(path)) {
            Reopen(path);
        }
        if (fd_ >= 0) {
            ssize_t written = ::write(fd_, entry.data(), entry.size());
            (void)written;
        }
    }

  private:
    bool Current(const std::string& path) {
        if (fd_ < 0 || path != path_) {
            return false;
        }
        if (watch_ < 0) {
            return NamesOpenFile(path);
        }
        // Whatever happened to the open file since (renamed, removed, its
        // links changed) stands as an event of the watch; none is the rule.
        bool happened = false;
        char events[4096];
        while (::read(notify_, events, sizeof events) > 0) {
            happened = true;
        }
        return !happened;
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
        char events[4096];
        while (::read(notify_, events, sizeof events) > 0) {
        }
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

    void Reopen(const std::string& path) {
        Close();
        std::error_code ec;
        std::filesystem::create_directories(platform::Home(), ec);
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        struct stat st {};
        if (fd_ >= 0 && ::fstat(fd_, &st) == 0) {
            path_ = path;
            dev_ = st.st_dev;
            ino_ = st.st_ino;
            Watch(path);
        } else {
            Close();
        }
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
    int fd_ = -1;
    std::string path_;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    int notify_ = -1;
    int watch_ = -1;
};

void AppendToLog(const std::string& fields) {
    // Never destroyed: entries written while the process ends still find it.
    static LogFile& file = *new LogFile;
    file.Append(Now() + "\t" + fields + "\n");
}

class StderrSink : public Sink {
  public:
    void OnReport(const Report& report) override {
        std::cerr << (report.code ? "Error" : "Note") << " [" << report.source
                  << "]: " << report.message << '\n';
    }
    void OnLog(const LogLine&) override {}
};

}  // namespace

std::string LogFilePath() {
    return (platform::Home() / "ostrevane.log").string();
}

std::shared_ptr<Sink> InstallSink(std::shared_ptr<Sink> sink) {
    std::lock_guard lock(SinkMutex());
    std::swap(InstalledSink(), sink);
    return sink;
}

std::shared_ptr<Sink> MakeStderrSink() {
    return std::make_shared<StderrSink>();
}

void Deliver(const Report& report) {
    AppendToLog(std::string(report.code ? "ERROR" : "NOTE") + "\t" + Escape(report.source) + "\t" +
                Escape(report.message));
    if (auto sink = CurrentSink()) {
        sink->OnReport(report);
    }
}

void Deliver(const LogLine& line) {
    AppendToLog(Escape(line.application) + "\t" + Escape(line.source) + "\t" + Escape(line.text));
    if (auto sink = CurrentSink()) {
        sink->OnLog(line);
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
