#pragma once

// The index builder's program-wide state and its build: log on, walk every
// store and folder, merge one row per folder into the template and write the
// index. The window is optional: without one the build runs the same, and
// nothing touches controls.

#include <cstdint>
#include <optional>
#include <string>

#include "common/log_source.h"
#include "common/trap.h"
#include "platform/mirelink/mirelink.h"
#include "platform/os/timer.h"
#include "platform/ostrevane/settings_helper.h"

namespace kestrune {

class frmMain;

// One process, one thread.
struct ProgramState {
    // True while the build may go on.
    bool keepGoing = false;
    // The loaded window, from its load to its unload.
    frmMain* window = nullptr;
    // The one-shot start timer, 0 when none runs.
    platform::os::TimerId timerId = 0;
    // The name of the public folders' root folder, empty when there is none.
    std::string publicRootName;
    // IndexPublicFoldersWanted as read at the start of the build.
    int publicFoldersFlag = 0;
    // BuildIndex is running: the program does not end before it returns.
    bool building = false;
};
ProgramState& Program();

// The program's one SettingsHelper.
ostrevane::SettingsHelper& Helper();

// Reports through the program's helper; the program's procedures trap their
// errors with reports through it.
inline void ReportError(const std::string& message, int code, const std::string& source) {
    Helper().ReportError(message, code, source);
}
inline constexpr common::Trapper<&ReportError> Trapped{};

// Section "Plovanex" under the helper's application name; a typed default
// becomes text.
std::string GetSetting(const std::string& key, const char* defaultText);
std::string GetSetting(const std::string& key, int defaultNumber);
void SaveSetting(const std::string& key, const std::string& value);

// One trace line as the application "Kestrune".
void WriteLogLine(const std::string& text, common::LogSource source);

// The one-shot start timer; its callback is TimerProc.
void StartTimer(std::uint32_t milliseconds);
bool KillTimer();
void TimerProc();

void BuildIndex();
// The rows of store i (from 1) of the stores; empty after an error.
std::string ProcessNextStore(const mirelink::StoresPtr& stores, int i, long pause);
// The rows of the collection and everything below it; empty after an error.
std::string DescendThruFolders(const mirelink::FoldersPtr& folders, long pause);
// The whole file, or nothing after a reported error.
std::optional<std::string> LoadIndexFile(const std::string& path);
// Replaces the file with text and CR LF; false after an error.
bool SaveIndexFile(const std::string& path, const std::string& text);

// What a builder that was killed left: its partial new index and template
// files and a RebuildingIndexStatus of "1". Called by the copy that holds
// the single-instance lock, before its build; a failure is not examined.
void ClearKilledBuild();

// Ends the program once the window is unloaded and no build runs.
void EndProgramWhenIdle();

}  // namespace kestrune
