#pragma once

#include <string>

namespace ostrevane {

// The engine library's helper that each deliverable creates once.
class SettingsHelper {
  public:
    // The application name of every settings access: "Ostrevane".
    std::string SettingsAppName() const;
    // Shows an error (code 1) or a note (code 0); always logged, never blocks.
    void ReportError(const std::string& message, int code, const std::string& source);
    // The name as one element of a path text: every backslash becomes c.
    std::string TransformFolderName(const std::string& name, const std::string& c) const;
    // Folder 0 is the per-user data folder (OSTREVANE_HOME/data), created on
    // first use, without a trailing slash.
    std::string GetDataFolder(int which) const;
    // b is the pattern: case is ignored for every script, "*" is any run of
    // characters and "?" one character; nothing else is special.
    bool TextMatches(const std::string& a, const std::string& b) const;
    std::string GetHelpText(const std::string& source, const std::string& key) const;
    void LoadHelpTexts(int x, const std::string& product);
    void SetProfile(const std::string& profile, const std::string& product);
};

}  // namespace ostrevane
