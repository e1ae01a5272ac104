#include "host/listing.h"

#include <algorithm>

#include "common/error_text.h"
#include "platform/error.h"

namespace host {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// What a listing writes escaped: a backslash, a C0 control character or DEL.
bool Escaped(unsigned char c) {
    return c == '\\' || c < 0x20 || c == 0x7F;
}

void AppendCode(std::string& out, unsigned char c) {
    out += 'x';
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 0xF];
}

int HexValue(char c) {
    const char* at = std::find(kHexDigits, kHexDigits + 16, c >= 'a' && c <= 'f' ? c - 32 : c);
    return at == kHexDigits + 16 ? -1 : static_cast<int>(at - kHexDigits);
}

void AppendLevel(std::string& out, std::string_view name) {
    if (name.empty()) {
        out += "\\\\x";
    }
    for (unsigned char c : name) {
        if (Escaped(c)) {
            out += "\\\\";
            AppendCode(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
}

}  // namespace

std::string ListedColumn(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        if (!Escaped(c)) {
            out += static_cast<char>(c);
            continue;
        }
        out += '\\';
        switch (c) {
            case '\\':
                out += '\\';
                break;
            case '\t':
                out += 't';
                break;
            case '\r':
                out += 'r';
                break;
            case '\n':
                out += 'n';
                break;
            default:
                AppendCode(out, c);
        }
    }
    return out;
}

std::string ListedPath(const std::vector<std::string>& levels) {
    std::string out = "\\\\";
    for (size_t i = 0; i < levels.size(); ++i) {
        if (i > 0) {
            out += '\\';
        }
        AppendLevel(out, levels[i]);
    }
    return out;
}

std::string ListedPath(mailstore::Profile& profile, mailstore::Id folder) {
    return ListedPath(profile.FolderLevels(folder));
}

std::vector<std::string> ParseListedPath(std::string_view path) {
    const auto bad = [&path](const char* why) {
        return platform::Error(common::MalformedFolderPath(std::string(path), why));
    };
    // A run of backslashes is a separator (one), an escape (two, then x)
    // or both (three); a path that begins with one begins with "\\".
    std::string_view rest = path;
    if (rest.starts_with('\\')) {
        if (!rest.starts_with("\\\\")) {
            throw bad("a path begins with two backslashes or with a name");
        }
        rest.remove_prefix(2);
    }
    std::vector<std::string> levels(1);
    bool emptyName = false;  // the level is the \\x of an empty name
    const auto endLevel = [&] {
        if (levels.back().empty() && !emptyName) {
            throw bad("a name is empty; an empty name is written \\\\x");
        }
    };
    for (size_t i = 0; i < rest.size();) {
        if (rest[i] != '\\') {
            if (emptyName) {
                throw bad("\\\\x without two hexadecimal digits stands for a whole name");
            }
            levels.back() += rest[i++];
            continue;
        }
        size_t run = rest.find_first_not_of('\\', i);
        run = (run == std::string_view::npos ? rest.size() : run) - i;
        if (run == 1 || run == 3) {
            endLevel();
            levels.emplace_back();
            emptyName = false;
            ++i;
            if (run == 1) {
                continue;
            }
        } else if (run != 2) {
            throw bad("more than three backslashes in a row");
        }
        // An escape: \\xHH, or \\x alone for an empty name.
        i += 2;
        if (i == rest.size() || rest[i] != 'x') {
            throw bad("two backslashes start \\\\xHH or \\\\x");
        }
        int high = i + 1 < rest.size() ? HexValue(rest[i + 1]) : -1;
        int low = i + 2 < rest.size() ? HexValue(rest[i + 2]) : -1;
        if (high >= 0 && low >= 0 && !emptyName) {
            levels.back() += static_cast<char>(high * 16 + low);
            i += 3;
        } else if (levels.back().empty() && !emptyName &&
                   (i + 1 == rest.size() || rest[i + 1] == '\\')) {
            emptyName = true;
            i += 1;
        } else {
            throw bad("\\\\x is followed by two hexadecimal digits or stands for an empty name");
        }
    }
    endLevel();
    return levels;
}

}  // namespace host
