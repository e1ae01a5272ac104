#include "platform/ostrevane/settings_helper.h"

#include <cctype>
#include <filesystem>

#include "platform/error.h"
#include "platform/home.h"
#include "platform/ostrevane/help_texts.h"
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

std::string FoldKey(const std::string& key) {
    std::string folded = key;
    for (char& c : folded) {
        c = Fold(c);
    }
    return folded;
}

}  // namespace

void HelpTexts::Add(const std::string& text, const std::string& key) {
    if (!texts_.emplace(FoldKey(key), text).second) {
        throw platform::Error("This key is already associated with an element of this collection");
    }
}

const std::string* HelpTexts::Find(const std::string& key) const {
    auto it = texts_.find(FoldKey(key));
    return it == texts_.end() ? nullptr : &it->second;
}

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

std::string SettingsHelper::GetHelpText(const HelpTexts& source, const std::string& key) const {
    const std::string* text = source.Find(key);
    return text ? *text : std::string();
}

void SettingsHelper::LoadHelpTexts(HelpTexts& source, const std::string& product) {
    source.Clear();
    for (const auto& [number, text] : ProductHelpTexts(product)) {
        source.Add(text, std::to_string(number));
    }
}

void SettingsHelper::SetProfile(const std::string& /*profile*/, const std::string& /*product*/) {}

}  // namespace ostrevane
