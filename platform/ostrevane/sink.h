#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/visibility.h"

namespace ostrevane {

// An error (code 1) or a note (code 0) for the user.
struct Report {
    std::string message;
    int code = 0;
    std::string source;
    bool operator==(const Report&) const = default;
};

// One log entry: the writing application or module, the source and the text.
struct LogLine {
    std::string application;
    std::string source;
    std::string text;
    bool operator==(const LogLine&) const = default;
};

// Where reports and log lines are shown. Every report and log line is first
// appended to the log file under OSTREVANE_HOME; the installed sink then
// presents it (stderr on the command line, a notice in the windows, a capture
// in tests). A sink never blocks.
class PLATFORM_API Sink {
  public:
    virtual ~Sink() = default;
    virtual void OnReport(const Report& report) = 0;
    virtual void OnLog(const LogLine& line) = 0;
    // False for a sink that shows no log lines: it is not handed them.
    virtual bool WantsLogLines() const { return true; }
};

// Replaces the process's sink; nothing installed presents nothing beyond the
// log file. Gives the sink that was installed before.
std::shared_ptr<Sink> InstallSink(std::shared_ptr<Sink> sink);

// Installs wrap(the installed sink) in its place in one step, so that no
// report falls between the two; gives the sink that was installed.
std::shared_ptr<Sink> WrapSink(
    const std::function<std::shared_ptr<Sink>(std::shared_ptr<Sink> installed)>& wrap);

// Writes reports to stderr, one line each; log lines go to the file only.
std::shared_ptr<Sink> MakeStderrSink();

// Keeps everything for a test to read back.
class CaptureSink : public Sink {
  public:
    void OnReport(const Report& report) override;
    void OnLog(const LogLine& line) override;
    std::vector<Report> Reports() const;
    std::vector<LogLine> Lines() const;
    // The texts of the log lines, in order.
    std::vector<std::string> Texts() const;
    void Clear();

  private:
    struct State;
    std::shared_ptr<State> state_ = MakeState();
    static std::shared_ptr<State> MakeState();
};

// Hands a report or a log line to the log file and the installed sink.
void Deliver(const Report& report);
void Deliver(const LogLine& line);
void DeliverLogLine(std::string_view application, std::string_view source, std::string_view text);

// The log file under OSTREVANE_HOME. Once it is past kLogRotationSize it is
// moved to the same path with ".1" (replacing an older one), and the next
// entries go to a new file. Where the path is a symbolic link, the file it
// names is moved, beside itself. A move that fails is reported once per
// process, as an error.
std::string LogFilePath();
inline constexpr std::uintmax_t kLogRotationSize = 10 * 1024 * 1024;

// Tests and benchmarks only: moves the log aside past this size instead. Gives the size set
// before.
std::uintmax_t SetLogRotationSizeForTests(std::uintmax_t bytes);

// Appends text with TAB, CR and LF written as \t, \r and \n, and a backslash
// as \\, so that the text fills one field of one line: the form of a log
// entry's fields.
void AppendEscaped(std::string& out, std::string_view text);

}  // namespace ostrevane
