#include "platform/ostrevane/settings_helper.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <filesystem>

#include "platform/error.h"
#include "platform/home.h"
#include "platform/ostrevane/help_texts.h"
#include "platform/ostrevane/sink.h"

namespace ostrevane {

namespace {

// A text as TextMatches compares it: one code point a character, case
// folded for every script. A byte that is no UTF-8 is a character of its own.
std::u32string Folded(const std::string& text) {
    std::u32string out;
    out.reserve(text.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t i = 0; i < length;) {
        const std::int32_t at = i;
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) {
            c = bytes[at];
            i = at + 1;
        }
        out += static_cast<char32_t>(u_foldCase(c, U_FOLD_CASE_DEFAULT));
    }
    return out;
}

// Wildcard match without recursion: on a mismatch after "*", the last star
// takes one more character and matching resumes from there. Only the last
// star is ever revisited, so the time is at most text times pattern length.
bool WildcardMatch(const std::u32string& text, const std::u32string& pattern) {
    std::size_t t = 0, p = 0;
    std::size_t star = std::u32string::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            star = p++;
            resume = t;
        } else if (star != std::u32string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') {
        ++p;
    }
    return p == pattern.size();
}

// A help text's key as a Collection compares it: case folded.
std::u32string FoldKey(const std::string& key) {
    return Folded(key);
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
    return WildcardMatch(Folded(a), Folded(b));
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
