#include "platform/ostrevane/settings_helper.h"

#include <cctype>
#include <filesystem>

#include "platform/home.h"
#include "platform/ostrevane/sink.h"

namespace ostrevane {

namespace {

char Fold(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Wildcard match without recursion: on a mismatch after "*", the last star
// takes one more character and matching resumes from there. Only the last
// star is ever revisited, so the time is at most text times pattern length.
bool WildcardMatch(const std::string& text, const std::string& pattern) {
    std::size_t t = 0, p = 0;
    std::size_t star = std::string::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(text[t]))) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

std::string SettingsHelper::SettingsAppName() const {
    return "Ostrevane";
}

void SettingsHelper::ReportError(const std::string& message, int code, const std::string& source) {
    Deliver(Report{message, code, source});
}

std::string SettingsHelper::TransformFolderName(const std::string& name,
                                                const std::string& c) const {
    std::string out;
    for (char ch : name) {
        if (ch == '\\') {
            out += c;
        } else {
            out += ch;
        }
    }
    return out;
}

std::string SettingsHelper::GetDataFolder(int /*which*/) const {
    auto folder = platform::Home() / "data";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder.string();
}

bool SettingsHelper::TextMatches(const std::string& a, const std::string& b) const {
    return WildcardMatch(a, b);
}

std::string SettingsHelper::GetHelpText(const std::string& /*source*/,
                                        const std::string& /*key*/) const {
    return "";
}

void SettingsHelper::LoadHelpTexts(int /*x*/, const std::string& /*product*/) {}

void SettingsHelper::SetProfile(const std::string& /*profile*/, const std::string& /*product*/) {}

}  // namespace ostrevane
