#pragma once

#include <string>

namespace common {

// "Error occurred at line <step>.  Reason: <description>"
inline std::string ErrorAtLine(long step, const std::string& description) {
    return "Error occurred at line " + std::to_string(step) + ".  Reason: " + description;
}

// "Error occurred.  Reason: <description>"
inline std::string ErrorOccurred(const std::string& description) {
    return "Error occurred.  Reason: " + description;
}

// The description the traps report for an error that gives none of its own
// (one that is no std::exception).
inline constexpr char kUnknownErrorDescription[] = "Unknown error";

// "File not found: <path>"
inline std::string FileNotFound(const std::string& path) {
    return "File not found: " + path;
}

// "Cannot read <path>: <reason>"
inline std::string CannotReadFile(const std::string& path, const std::string& reason) {
    return "Cannot read " + path + ": " + reason;
}

// The reason CannotReadFile gives for a FIFO, a device or a socket.
inline constexpr char kNotARegularFile[] = "Not a regular file";

// A filled index that the recordset cannot open:
//   "The new index would not open, so the old one is kept: <description>"
inline std::string IndexNotWhole(const std::string& description) {
    return "The new index would not open, so the old one is kept: " + description;
}

// "The index template makes no whole index: <description>"
inline std::string TemplateMakesNoWholeIndex(const std::string& description) {
    return "The index template makes no whole index: " + description;
}

// What is wrong with a file: "<path>: <description>"
inline std::string InFile(const std::string& path, const std::string& description) {
    return path + ": " + description;
}

// The source of a report: "Plovanex." and the procedure's name.
inline std::string Source(const std::string& procedure) {
    return "Plovanex." + procedure;
}

// The search chooser's OK on its "&Search" tab reports under two spellings
// of its name, on purpose: its trap as "cmdSelectedFolderOk_Click", a folder
// that its MRU or search lookup cannot find as "cmdSelectedFolderOK".
inline constexpr char kSelectedFolderOkTrapSource[] = "Plovanex.cmdSelectedFolderOk_Click";
inline constexpr char kSelectedFolderOkLookupSource[] = "Plovanex.cmdSelectedFolderOK";

// The chooser's path search reports, on purpose, with a space before the
// period and under a source without "Plovanex.":
//   "Error occurred searching for '<path>' .  Reason: <description>"
// with the source "FindNodeAtPath".
inline std::string ErrorSearchingFor(const std::string& path, const std::string& description) {
    return "Error occurred searching for '" + path + "' .  Reason: " + description;
}
inline constexpr char kFindNodeAtPathSource[] = "FindNodeAtPath";

// The host's log that could not be moved aside past its size, once per process:
//   "The log '<file>' could not be moved aside to '<aside>'.  Reason: <reason>"
// with the source "Ostrevane.Log".
inline std::string LogNotMovedAside(const std::string& file, const std::string& aside,
                                    const std::string& reason) {
    return "The log '" + file + "' could not be moved aside to '" + aside + "'.  Reason: " + reason;
}
// The host's log whose path names something other than a regular file (a
// FIFO, a folder, a link loop), once per process:
//   "The log '<file>' cannot be written: it is not a regular file."
// with the source "Ostrevane.Log".
inline std::string LogNotRegularFile(const std::string& file) {
    return "The log '" + file + "' cannot be written: it is not a regular file.";
}
// The source of the host log's own reports.
inline constexpr char kHostLogSource[] = "Ostrevane.Log";

// A folder path given as input that is not written as listings write it:
//   "malformed folder path '<path>': <why>"
inline std::string MalformedFolderPath(const std::string& path, const std::string& why) {
    return "malformed folder path '" + path + "': " + why;
}

// The question a mail window asks when it is closed with changes.
inline constexpr char kSaveChangesQuestion[] = "Do you want to save changes?";

}  // namespace common
