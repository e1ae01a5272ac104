#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "common/error_text.h"
#include "platform/ostrevane/log_writer.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/ostrevane/sink.h"
#include "platform/testkit/testkit.h"

namespace {

using ostrevane::LogLine;
using ostrevane::Report;

std::vector<std::string> LogFileLines(const std::string& suffix = "") {
    std::ifstream in(ostrevane::LogFilePath() + suffix);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The fields after the time stamp.
std::string Fields(const std::string& line) {
    return line.substr(line.find('\t') + 1);
}

class SinkTest : public testkit::HomeTest {};

TEST_F(SinkTest, CaptureSeesExactTexts) {
    long result = -1;
    const std::string text = "Confirmation Mode: Comparing a@b.c and *@b.c\r\nsecond line\tend";
    ostrevane::LogWriter().WriteLine("Plovanex", "CProcessOneSentItem", text, result);
    EXPECT_EQ(result, 0);
    ostrevane::SettingsHelper().ReportError("Error occurred.  Reason: broken", 1,
                                            "Plovanex.ExplorerOpen");
    EXPECT_EQ(home.Capture().Lines(),
              (std::vector<LogLine>{{"Plovanex", "CProcessOneSentItem", text}}));
    EXPECT_EQ(home.Capture().Texts(), std::vector<std::string>{text});
    EXPECT_EQ(
        home.Capture().Reports(),
        (std::vector<Report>{{"Error occurred.  Reason: broken", 1, "Plovanex.ExplorerOpen"}}));
}

TEST_F(SinkTest, LogFileHasOneLinePerEntryWithBreaksEscaped) {
    long result = 0;
    ostrevane::LogWriter().WriteLine("Kestrune", "frmMain", "one\ntwo\\three\r\tfour", result);
    ostrevane::SettingsHelper().ReportError("note\nhere", 0, "Plovanex.Startup");
    ostrevane::SettingsHelper().ReportError("bad", 1, "Plovanex.AddFolder");
    auto lines = LogFileLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Fields(lines[0]), "Kestrune\tfrmMain\tone\\ntwo\\\\three\\r\\tfour");
    EXPECT_EQ(Fields(lines[1]), "NOTE\tPlovanex.Startup\tnote\\nhere");
    EXPECT_EQ(Fields(lines[2]), "ERROR\tPlovanex.AddFolder\tbad");
}

TEST_F(SinkTest, WithoutSinkEntriesStillReachTheLogFile) {
    auto previous = ostrevane::InstallSink(nullptr);
    ostrevane::SettingsHelper().ReportError("unseen", 1, "Plovanex.Test");
    ostrevane::InstallSink(previous);
    EXPECT_TRUE(home.Capture().Reports().empty());
    ASSERT_EQ(LogFileLines().size(), 1u);
    EXPECT_EQ(Fields(LogFileLines()[0]), "ERROR\tPlovanex.Test\tunseen");
}

// The log file stays open between entries; an entry still lands in the file
// the path names now, whatever happened to the one written before.
TEST_F(SinkTest, EntriesFollowTheLogFileThePathNames) {
    namespace fs = std::filesystem;
    auto write = [](const std::string& text) {
        long result = 0;
        ostrevane::LogWriter().WriteLine("Plovanex", "Source", text, result);
    };
    const struct {
        const char* name;
        std::function<void()> change;
    } cases[] = {
        {"nothing", [] {}},
        {"log removed", [] { fs::remove(ostrevane::LogFilePath()); }},
        {"log renamed",
         [] { fs::rename(ostrevane::LogFilePath(), ostrevane::LogFilePath() + ".old"); }},
        {"home removed", [&] { fs::remove_all(home.Path()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write("before");
        c.change();
        write(std::string("after ") + c.name);
        auto lines = LogFileLines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(Fields(lines.back()), std::string("Plovanex\tSource\tafter ") + c.name);
    }
    // Another home: the entry goes to its log, not to the first home's.
    const std::string firstLog = ostrevane::LogFilePath();
    const auto firstCount = LogFileLines().size();
    {
        testkit::TempHome other;
        write("in the other home");
        ASSERT_EQ(LogFileLines().size(), 1u);
        EXPECT_EQ(Fields(LogFileLines()[0]), "Plovanex\tSource\tin the other home");
    }
    write("back home");
    EXPECT_EQ(ostrevane::LogFilePath(), firstLog);
    ASSERT_EQ(LogFileLines().size(), firstCount + 1);
    EXPECT_EQ(Fields(LogFileLines().back()), "Plovanex\tSource\tback home");
}

// Each entry is the system's once its call returns: a process killed right
// after its last entry has lost none.
TEST_F(SinkTest, KilledProcessHasLostNoEntry) {
    constexpr int kEntries = 500;
    ASSERT_EQ(testkit::RunInChild([] {
                  for (int i = 0; i < kEntries; ++i) {
                      long result = 0;
                      ostrevane::LogWriter().WriteLine("Plovanex", "Source",
                                                       "entry " + std::to_string(i), result);
                  }
                  kill(getpid(), SIGKILL);
              }),
              128 + SIGKILL);
    const auto lines = LogFileLines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kEntries));
    EXPECT_EQ(Fields(lines.back()), "Plovanex\tSource\tentry " + std::to_string(kEntries - 1));
}

// A small size past which the log is moved aside, for one test.
class ScopedLogRotationSize {
  public:
    explicit ScopedLogRotationSize(std::uintmax_t bytes)
        : previous_(ostrevane::SetLogRotationSizeForTests(bytes)) {}
    ~ScopedLogRotationSize() { ostrevane::SetLogRotationSizeForTests(previous_); }
    ScopedLogRotationSize(const ScopedLogRotationSize&) = delete;
    ScopedLogRotationSize& operator=(const ScopedLogRotationSize&) = delete;

  private:
    std::uintmax_t previous_;
};

void WriteEntry(const std::string& source, const std::string& text) {
    long result = 0;
    ostrevane::LogWriter().WriteLine("Plovanex", source, text, result);
}

// The entries "entry 0" to "entry 9" are each as long, so a log of three
// is exactly at the size: the fourth passes it and moves the log to .1,
// which the eighth replaces.
TEST_F(SinkTest, LogPastItsSizeIsMovedAsideAndReplacesTheOlderOne) {
    WriteEntry("Source", "entry 0");
    const auto entrySize = std::filesystem::file_size(ostrevane::LogFilePath());
    std::filesystem::remove(ostrevane::LogFilePath());
    ScopedLogRotationSize small(3 * entrySize);
    auto texts = [](const std::string& suffix) {
        std::vector<std::string> fields;
        for (const auto& line : LogFileLines(suffix)) {
            fields.push_back(Fields(line).substr(std::string("Plovanex\tSource\t").size()));
        }
        return fields;
    };
    for (int i = 0; i < 3; ++i) {
        WriteEntry("Source", "entry " + std::to_string(i));
    }
    EXPECT_FALSE(std::filesystem::exists(ostrevane::LogFilePath() + ".1"));
    WriteEntry("Source", "entry 3");
    EXPECT_EQ(texts(".1"), (std::vector<std::string>{"entry 0", "entry 1", "entry 2", "entry 3"}));
    EXPECT_EQ(texts(""), std::vector<std::string>{});
    for (int i = 4; i < 10; ++i) {
        WriteEntry("Source", "entry " + std::to_string(i));
    }
    EXPECT_EQ(texts(".1"), (std::vector<std::string>{"entry 4", "entry 5", "entry 6", "entry 7"}));
    EXPECT_EQ(texts(""), (std::vector<std::string>{"entry 8", "entry 9"}));
}

// A process that writes little looks at the log when it opens it: the log
// that others took past its size is moved aside at its first entry.
TEST_F(SinkTest, FirstEntryOfAProcessMovesAFullLogAside) {
    constexpr std::uintmax_t kSize = 1024 * 1024;
    ScopedLogRotationSize size(kSize);
    const std::string log = ostrevane::LogFilePath();
    std::ofstream(log) << std::string(kSize, '.') << '\n';
    WriteEntry("Source", "small");
    EXPECT_EQ(std::filesystem::file_size(log + ".1"), kSize + 1);
    ASSERT_EQ(LogFileLines().size(), 1u);
    EXPECT_EQ(Fields(LogFileLines()[0]), "Plovanex\tSource\tsmall");
}

// Others move a writer's file aside twice, so that the second move removes
// it, while the writer writes nothing. At its next entry, the entries it
// wrote since it last looked at its file are written again to the log.
TEST_F(SinkTest, EntriesToAReplacedFileAreWrittenAgainToTheLog) {
    namespace fs = std::filesystem;
    const std::string log = ostrevane::LogFilePath();
    WriteEntry("Source", "first");
    fs::rename(log, log + ".1");
    std::ofstream(log) << "moved by another writer\n";
    fs::rename(log, log + ".1");
    WriteEntry("Source", "second");
    WriteEntry("Source", "third");
    std::vector<std::string> fields;
    for (const auto& line : LogFileLines()) {
        fields.push_back(Fields(line));
    }
    EXPECT_EQ(fields,
              (std::vector<std::string>{"Plovanex\tSource\tfirst", "Plovanex\tSource\tsecond",
                                        "Plovanex\tSource\tthird"}));
}

// Runs body(0) to body(count - 1), each in a child of its own; the children
// start together, once all are made. True when each ended well.
bool RunTogether(int count, const std::function<void(int)>& body) {
    int start[2];
    if (pipe(start) != 0) {
        return false;
    }
    std::vector<std::unique_ptr<testkit::ForkedChild>> children;
    for (int i = 0; i < count; ++i) {
        children.push_back(std::make_unique<testkit::ForkedChild>([&, i] {
            ::close(start[1]);
            char byte;
            (void)!::read(start[0], &byte, 1);
            body(i);
        }));
    }
    ::close(start[0]);
    ::close(start[1]);
    bool ended = true;
    for (const auto& child : children) {
        ended = child->Wait() == 0 && ended;
    }
    return ended;
}

// Processes that write one log at once, across many moves of it: every
// entry left in the log and its .1 is whole and there once, and the entries
// of each writer there run unbroken up to its last one, so none was lost at
// a move; only the oldest went with the replaced .1 files.
TEST_F(SinkTest, WritersInManyProcessesLoseAndCutNoEntryAcrossMoves) {
    constexpr int kWriters = 4;
    constexpr int kEntries = 4000;
    constexpr std::uintmax_t kSize = 64 * 1024;
    ScopedLogRotationSize small(kSize);
    const std::string padding(60, '.');
    ASSERT_TRUE(RunTogether(kWriters, [&](int w) {
        for (int i = 0; i < kEntries; ++i) {
            WriteEntry("Writer " + std::to_string(w), std::to_string(i) + padding);
        }
    }));

    EXPECT_GE(std::filesystem::file_size(ostrevane::LogFilePath() + ".1"), kSize);
    const std::regex whole(
        R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\tPlovanex\tWriter (\d)\t(\d+)\.{60})");
    std::map<int, std::vector<int>> seen;  // writer: its entries, in file order
    std::size_t kept = 0;
    for (const char* suffix : {".1", ""}) {
        for (const auto& line : LogFileLines(suffix)) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(line, m, whole)) << line;
            seen[std::stoi(m[1])].push_back(std::stoi(m[2]));
            ++kept;
        }
    }
    EXPECT_LT(kept, static_cast<std::size_t>(kWriters * kEntries)) << "the .1 was never replaced";
    // A writer that ended early may have all its entries in replaced files.
    ASSERT_FALSE(seen.empty());
    for (auto& [writer, entries] : seen) {
        SCOPED_TRACE("writer " + std::to_string(writer));
        const int first = entries.front();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            ASSERT_EQ(entries[i], first + static_cast<int>(i));
        }
        EXPECT_EQ(entries.back(), kEntries - 1);
    }
}

// Eight processes of two threads write one log across many moves of it;
// half of them block every signal, as a program may. The writers draw the
// numbers of their entries from one counter, so that all of them write up
// to the end. Before each entry a writer notes the entry each writer wrote
// last: the entry is newer than those. Where one of those is kept in a newer
// file than it (the log after the .1, either after none), it went to a file
// already moved aside.
TEST_F(SinkTest, NoWriterAppendsToAFileMovedAside) {
    constexpr int kProcesses = 8;
    constexpr int kThreads = 2;
    constexpr int kWriters = kProcesses * kThreads;
    constexpr int kAll = 64000;
    ScopedLogRotationSize small(2 * 1024 * 1024);
    struct Shared {
        std::atomic<int> next{0};
        std::atomic<int> last[kWriters];  // of each writer, or -1
        int noted[kAll][kWriters];
    };
    void* memory =
        ::mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    struct Unmap {
        void* memory;
        ~Unmap() { ::munmap(memory, sizeof(Shared)); }
    } unmap{memory};
    auto* shared = new (memory) Shared;
    const std::string padding(60, '.');
    // A few rounds: only the last two moves of a round can be seen.
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        testkit::TempHome fresh;
        shared->next.store(0);
        for (auto& last : shared->last) {
            last.store(-1);
        }
        ASSERT_TRUE(RunTogether(kProcesses, [&](int p) {
            if (p % 2 == 1) {
                sigset_t all;
                sigfillset(&all);
                pthread_sigmask(SIG_BLOCK, &all, nullptr);
            }
            std::vector<std::thread> threads;
            for (int t = 0; t < kThreads; ++t) {
                threads.emplace_back([&, writer = p * kThreads + t] {
                    const std::string source = "Writer " + std::to_string(writer);
                    for (int id; (id = shared->next.fetch_add(1)) < kAll;) {
                        for (int w = 0; w < kWriters; ++w) {
                            shared->noted[id][w] = shared->last[w].load();
                        }
                        WriteEntry(source, std::to_string(id) + padding);
                        shared->last[writer].store(id);
                    }
                });
            }
            for (auto& thread : threads) {
                thread.join();
            }
        }));

        const std::regex whole(
            R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\tPlovanex\tWriter (\d+)\t(\d+)\.{60})");
        std::vector<int> kept(kAll, 0);  // 1 in the .1, 2 in the log
        std::map<int, int> lastOf;       // writer: its entry last read
        int keptCount = 0;
        for (const char* suffix : {".1", ""}) {
            for (const auto& line : LogFileLines(suffix)) {
                std::smatch m;
                ASSERT_TRUE(std::regex_match(line, m, whole)) << line;
                const int writer = std::stoi(m[1]);
                const int id = std::stoi(m[2]);
                ASSERT_LT(id, kAll) << line;
                if (auto at = lastOf.find(writer); at != lastOf.end()) {
                    EXPECT_GT(id, at->second) << line;
                }
                lastOf[writer] = id;
                EXPECT_EQ(kept[id], 0) << "twice: " << line;
                kept[id] = *suffix ? 1 : 2;
                ++keptCount;
            }
        }
        ASSERT_LT(keptCount, kAll) << "the .1 was never replaced";
        int lost = 0;
        int late = 0;  // in the .1 though newer than one in the log
        for (int id = 0; id < kAll; ++id) {
            int newest = 0;
            for (const int noted : shared->noted[id]) {
                newest = std::max(newest, noted >= 0 ? kept[noted] : 0);
            }
            if (kept[id] < newest) {
                ++(kept[id] == 0 ? lost : late);
            }
        }
        EXPECT_EQ(lost, 0) << "of " << kAll << " entries, " << keptCount << " kept";
        EXPECT_EQ(late, 0);
    }
}

// A write that the full disk (here the child's file size limit) cuts short
// leaves part of an entry without a line break. Whichever writer comes next,
// its entry begins on a line of its own.
TEST_F(SinkTest, EntryAfterOneCutShortBeginsOnItsOwnLine) {
    constexpr std::size_t kCut = 30;
    const struct {
        const char* name;
        bool parentWritesFirst;  // else the child does, and the parent opens the log afresh
        bool cutWriterGoesOn;    // else the parent writes the next entry
    } cases[] = {
        {"the cut writer", true, true},
        {"another writer with the log open", true, false},
        {"a writer that opens the log", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testkit::TempHome fresh;
        if (c.parentWritesFirst) {
            WriteEntry("Source", "first");
        }
        const pid_t child = fork();
        if (child == 0) {
            if (!c.parentWritesFirst) {
                WriteEntry("Source", "first");
            }
            signal(SIGXFSZ, SIG_IGN);
            rlimit unlimited{};
            getrlimit(RLIMIT_FSIZE, &unlimited);
            rlimit full = unlimited;
            full.rlim_cur = std::filesystem::file_size(ostrevane::LogFilePath()) + kCut;
            setrlimit(RLIMIT_FSIZE, &full);
            WriteEntry("Source", "cut short");
            if (c.cutWriterGoesOn) {
                setrlimit(RLIMIT_FSIZE, &unlimited);
                WriteEntry("Source", "next");
            }
            _exit(0);
        }
        ASSERT_GT(child, 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        if (!c.cutWriterGoesOn) {
            WriteEntry("Source", "next");
        }
        std::vector<std::string> lines;
        for (const auto& line : LogFileLines()) {
            lines.push_back(line.size() == kCut ? "(cut)" : Fields(line));
        }
        EXPECT_EQ(lines, (std::vector<std::string>{"Plovanex\tSource\tfirst", "(cut)",
                                                   "Plovanex\tSource\tnext"}));
    }
}

// A folder at .1 stops every move of the log. Each writing process reports
// that once, naming the file and the reason, and loses no entry. The writers
// are children, so that this process has reported nothing.
TEST_F(SinkTest, LogThatCannotBeMovedAsideIsReportedOncePerProcess) {
    constexpr int kWriters = 8;
    constexpr int kEntries = 200;
    ScopedLogRotationSize small(4 * 1024);
    const std::string log = ostrevane::LogFilePath();
    std::filesystem::create_directories(log + ".1");
    const Report expected{
        common::LogNotMovedAside(log, log + ".1", std::generic_category().message(EISDIR)), 1,
        common::kHostLogSource};
    const std::string padding(60, '.');
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t child = fork();
        if (child == 0) {
            for (int i = 0; i < kEntries; ++i) {
                WriteEntry("Writer", std::to_string(i) + padding);
            }
            _exit(home.Capture().Reports() == std::vector<Report>{expected} ? 0 : 1);
        }
        ASSERT_GT(child, 0);
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    int entries = 0;
    int reports = 0;
    for (const auto& line : LogFileLines()) {
        const std::string fields = Fields(line);
        if (fields.starts_with("ERROR\t")) {
            EXPECT_EQ(fields, "ERROR\t" + expected.source + "\t" + expected.message);
            ++reports;
        } else {
            EXPECT_TRUE(fields.starts_with("Plovanex\tWriter\t")) << line;
            ++entries;
        }
    }
    EXPECT_EQ(reports, kWriters);
    EXPECT_EQ(entries, kWriters * kEntries);
}

// A log path that names no regular file is reported once, naming it, and
// blocks no writer; a FIFO would hold the writer for good, so an alarm ends
// the child then. Once the path is free, entries reach the log again. The
// writers are children, so that each case is the first of its process.
TEST_F(SinkTest, LogThatIsNoRegularFileIsReportedOnceAndBlocksNoWriter) {
    namespace fs = std::filesystem;
    const struct {
        const char* name;
        std::function<void(const fs::path& log)> make;
    } cases[] = {
        {"FIFO", [](const fs::path& log) { ASSERT_EQ(::mkfifo(log.c_str(), 0644), 0); }},
        {"folder", [](const fs::path& log) { fs::create_directory(log); }},
        {"link loop", [](const fs::path& log) { fs::create_symlink(log.filename(), log); }},
        {"link to a folder",
         [](const fs::path& log) {
             fs::create_directory(log.string() + ".d");
             fs::create_symlink(log.filename().string() + ".d", log);
         }},
    };
    // More than a pipe holds.
    constexpr int kEntries = 2000;
    const std::string padding(60, '.');
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testkit::TempHome fresh;
        const fs::path log = ostrevane::LogFilePath();
        c.make(log);
        const std::vector<Report> once{
            {common::LogNotRegularFile(log.string()), 1, common::kHostLogSource}};
        const int code = testkit::RunInChild([&] {
            ::alarm(20);
            for (int i = 0; i < kEntries; ++i) {
                WriteEntry("Source", std::to_string(i) + padding);
            }
            EXPECT_EQ(fresh.Capture().Reports(), once);
            fs::remove(log);
            WriteEntry("Source", "after");
            EXPECT_EQ(fresh.Capture().Reports(), once);
            const auto lines = LogFileLines();
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_EQ(Fields(lines[0]), "Plovanex\tSource\tafter");
        });
        EXPECT_EQ(code, 0) << "128 + " << SIGALRM << ": the writer waited on the log";
    }
}

// A log that is a symbolic link: the file it names is moved aside beside
// that file, and the link stays where it is, naming the new file.
TEST_F(SinkTest, LinkedLogMovesTheFileItNamesAside) {
    namespace fs = std::filesystem;
    WriteEntry("Source", "entry 0");
    const auto entrySize = fs::file_size(ostrevane::LogFilePath());
    ScopedLogRotationSize small(3 * entrySize);
    auto texts = [](const fs::path& file) {
        std::ifstream in(file);
        std::vector<std::string> fields;
        for (std::string line; std::getline(in, line);) {
            fields.push_back(Fields(line).substr(std::string("Plovanex\tSource\t").size()));
        }
        return fields;
    };
    for (const bool relative : {false, true}) {
        SCOPED_TRACE(relative ? "relative link" : "absolute link");
        testkit::TempHome fresh;
        const fs::path named = fresh.Path() / "elsewhere" / "named.log";
        fs::create_directories(named.parent_path());
        const fs::path link = ostrevane::LogFilePath();
        const fs::path target = relative ? fs::path("elsewhere/named.log") : named;
        fs::create_symlink(target, link);
        for (int i = 0; i < 5; ++i) {
            WriteEntry("Source", "entry " + std::to_string(i));
        }
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::read_symlink(link), target);
        EXPECT_FALSE(fs::exists(fs::symlink_status(link.string() + ".1")));
        EXPECT_EQ(texts(named.string() + ".1"),
                  (std::vector<std::string>{"entry 0", "entry 1", "entry 2", "entry 3"}));
        EXPECT_EQ(texts(named), std::vector<std::string>{"entry 4"});
    }
}

TEST_F(SinkTest, StderrSinkShowsReportsOnly) {
    auto previous = ostrevane::InstallSink(ostrevane::MakeStderrSink());
    testing::internal::CaptureStderr();
    ostrevane::SettingsHelper().ReportError("Error occurred.  Reason: x", 1, "Plovanex.Test");
    long result = 0;
    ostrevane::LogWriter().WriteLine("Plovanex", "Source", "trace only", result);
    std::string err = testing::internal::GetCapturedStderr();
    ostrevane::InstallSink(previous);
    EXPECT_EQ(err, "Error [Plovanex.Test]: Error occurred.  Reason: x\n");
}

}  // namespace
