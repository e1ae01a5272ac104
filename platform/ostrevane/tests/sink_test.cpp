#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/ostrevane/log_writer.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/ostrevane/sink.h"
#include "platform/testkit/testkit.h"

namespace {

using ostrevane::LogLine;
using ostrevane::Report;

std::vector<std::string> LogFileLines() {
    std::ifstream in(ostrevane::LogFilePath());
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
    const pid_t child = fork();
    if (child == 0) {
        for (int i = 0; i < kEntries; ++i) {
            long result = 0;
            ostrevane::LogWriter().WriteLine("Plovanex", "Source", "entry " + std::to_string(i),
                                             result);
        }
        kill(getpid(), SIGKILL);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const auto lines = LogFileLines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kEntries));
    EXPECT_EQ(Fields(lines.back()), "Plovanex\tSource\tentry " + std::to_string(kEntries - 1));
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
