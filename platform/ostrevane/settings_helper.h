#pragma once

#include <map>
#include <string>

namespace ostrevane {

// Help texts by key, as a Collection holds them: keys compare without regard
// to case.
class HelpTexts {
  public:
    // Raises platform::Error when the key holds a text already.
    void Add(const std::string& text, const std::string& key);
    // The text of the key, or nothing.
    const std::string* Find(const std::string& key) const;
    std::size_t Count() const { return texts_.size(); }
    void Clear() { texts_.clear(); }

  private:
    std::map<std::u32string, std::string> texts_;  // by the key case folded
};

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
    // The text of the key in the source; empty when the source holds none.
    std::string GetHelpText(const HelpTexts& source, const std::string& key) const;
    // Fills the source with the product's texts, keyed by the decimal text of
    // each help number; a product without texts leaves it empty.
    void LoadHelpTexts(HelpTexts& source, const std::string& product);
    void SetProfile(const std::string& profile, const std::string& product);
};

}  // namespace ostrevane
