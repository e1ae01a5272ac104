#include "platform/flexstring/flexstring.h"

#include <re2/re2.h>

#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <new>

namespace platform {
namespace {

// Decodes the UTF-8 code point at s[i]; returns its length, or 0 when the
// bytes there are not valid UTF-8.
std::size_t DecodeUtf8(const std::string& s, std::size_t i, char32_t& cp) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    std::size_t len = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}

// One code point of the pattern, escapes resolved.
struct PatternChar {
    char32_t cp = 0;
    std::size_t next = 0;  // index after it
};

// Reads the character at `i`, `\c` escapes included. Returns flexErrNone or
// flexErrBadPattern (dangling backslash, invalid UTF-8).
int ReadChar(const std::string& p, std::size_t i, PatternChar& out) {
    bool escaped = false;
    if (p[i] == '\\') {
        if (i + 1 == p.size()) {
            return flexErrBadPattern;
        }
        escaped = true;
        ++i;
    }
    const std::size_t len = DecodeUtf8(p, i, out.cp);
    if (len == 0) {
        return flexErrBadPattern;
    }
    out.next = i + len;
    if (escaped) {
        switch (out.cp) {
            case 'a':
                out.cp = 7;
                break;
            case 'b':
                out.cp = 8;
                break;
            case 'f':
                out.cp = 12;
                break;
            case 'n':
                out.cp = 10;
                break;
            case 'r':
                out.cp = 13;
                break;
            case 't':
                out.cp = 9;
                break;
            case 'v':
                out.cp = 11;
                break;
            default:
                break;
        }
    }
    return flexErrNone;
}

// The code point as RE2 text that means exactly that character, in or out of
// a class.
void AppendLiteral(std::string& out, char32_t cp) {
    if ((cp >= '0' && cp <= '9') || (cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z')) {
        out += static_cast<char>(cp);
        return;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "\\x{%X}", static_cast<unsigned>(cp));
    out += buf;
}

// Translates the class that starts at p[i] == '['; sets `i` past its `]`.
int TranslateClass(const std::string& p, std::size_t& i, std::string& out) {
    ++i;
    bool negated = false;
    if (i < p.size() && p[i] == '^') {
        negated = true;
        ++i;
    }
    std::string items;
    while (true) {
        if (i >= p.size()) {
            return flexErrSquareB;
        }
        if (p[i] == ']') {
            ++i;
            break;
        }
        PatternChar lo;
        if (int err = ReadChar(p, i, lo); err != flexErrNone) {
            // A backslash that ends the pattern also leaves the class open.
            return i + 1 == p.size() ? flexErrSquareB : err;
        }
        i = lo.next;
        AppendLiteral(items, lo.cp);
        if (i + 1 < p.size() && p[i] == '-' && p[i + 1] != ']') {
            PatternChar hi;
            if (int err = ReadChar(p, i + 1, hi); err != flexErrNone) {
                return i + 2 == p.size() ? flexErrSquareB : err;
            }
            if (hi.cp < lo.cp) {
                return flexErrBadPattern;
            }
            i = hi.next;
            items += '-';
            AppendLiteral(items, hi.cp);
        }
    }
    if (items.empty()) {
        // No character at all: [] matches nothing, [^] any character.
        out += negated ? "[\\x{0}-\\x{10FFFF}]" : "[^\\x{0}-\\x{10FFFF}]";
    } else {
        out += negated ? "[^" : "[";
        out += items;
        out += ']';
    }
    return flexErrNone;
}

std::size_t CharLength(const std::string& s, std::size_t i) {
    char32_t cp;
    const std::size_t len = DecodeUtf8(s, i, cp);
    return len == 0 ? 1 : len;
}

}  // namespace

int TranslateFlexPattern(const std::string& p, std::string& out, int& tags) {
    out.clear();
    tags = 0;
    if (p.empty()) {
        return flexErrBadPattern;
    }
    if (p.size() > kFlexMaxPatternLength) {
        return flexErrOutOfMemory;
    }
    // What a quantifier would apply to: nothing, a character item, or an
    // item that is quantified already (then it is wrapped in a group).
    enum { kNothing, kItem, kQuantified } last = kNothing;
    std::size_t itemStart = 0;
    int depth = 0;
    std::size_t i = 0;
    while (i < p.size()) {
        const char c = p[i];
        switch (c) {
            case '^':
            case '$':
                out += c;
                last = kNothing;
                ++i;
                break;
            case '.':
                itemStart = out.size();
                out += '.';
                last = kItem;
                ++i;
                break;
            case '[':
                itemStart = out.size();
                if (int err = TranslateClass(p, i, out); err != flexErrNone) {
                    return err;
                }
                last = kItem;
                break;
            case ']':
                return flexErrSquareB;
            case '{':
                out += '(';
                ++depth;
                ++tags;
                last = kNothing;
                ++i;
                break;
            case '}':
                if (depth == 0) {
                    return flexErrCurlyB;
                }
                --depth;
                out += ')';
                last = kNothing;
                ++i;
                break;
            case '?':
            case '*':
            case '+':
                if (last == kNothing) {
                    return flexErrBadPattern;
                }
                if (last == kQuantified) {
                    out.insert(itemStart, "(?:");
                    out += ')';
                }
                out += c;
                last = kQuantified;
                ++i;
                break;
            default: {
                PatternChar pc;
                if (int err = ReadChar(p, i, pc); err != flexErrNone) {
                    return err;
                }
                itemStart = out.size();
                AppendLiteral(out, pc.cp);
                last = kItem;
                i = pc.next;
                break;
            }
        }
    }
    return depth == 0 ? flexErrNone : flexErrCurlyB;
}

FlexString::FlexString() = default;
FlexString::~FlexString() = default;

void FlexString::SetCaseSensitive(bool value) {
    if (value != caseSensitive_) {
        caseSensitive_ = value;
        compiled_ = false;
        stale_ = patternSet_;
    }
}

void FlexString::SetText(std::string value) {
    text_ = std::move(value);
    stale_ = patternSet_;
}

void FlexString::SetPattern(std::string value) {
    pattern_ = std::move(value);
    patternSet_ = true;
    compiled_ = false;
    stale_ = true;
}

namespace {

// A compiled pattern and the error its translation gave.
struct CompiledPattern {
    int error = flexErrNone;
    std::shared_ptr<const re2::RE2> re;
};

CompiledPattern CompilePattern(const std::string& pattern, bool caseSensitive) {
    CompiledPattern result;
    std::string translated;
    int tags = 0;
    result.error = TranslateFlexPattern(pattern, translated, tags);
    if (result.error != flexErrNone) {
        return result;
    }
    re2::RE2::Options options;
    options.set_encoding(re2::RE2::Options::EncodingUTF8);
    options.set_case_sensitive(caseSensitive);
    options.set_dot_nl(true);
    options.set_log_errors(false);
    auto re = std::make_shared<const re2::RE2>(translated, options);
    if (re->ok()) {
        result.re = std::move(re);
    } else {
        result.error = re->error_code() == re2::RE2::ErrorPatternTooLarge ? flexErrOutOfMemory
                                                                          : flexErrBadPattern;
    }
    return result;
}

// The keyword mode sets the same few hundred patterns item after item; each
// thread keeps the patterns it compiled, up to a bound.
const CompiledPattern& CachedPattern(const std::string& pattern, bool caseSensitive) {
    constexpr std::size_t kMaxCached = 1024;
    thread_local std::map<std::pair<std::string, bool>, CompiledPattern> cache;
    auto key = std::make_pair(pattern, caseSensitive);
    if (auto it = cache.find(key); it != cache.end()) {
        return it->second;
    }
    if (cache.size() >= kMaxCached) {
        cache.clear();
    }
    return cache.emplace(std::move(key), CompilePattern(pattern, caseSensitive)).first->second;
}

}  // namespace

void FlexString::Compile() const {
    if (compiled_) {
        return;
    }
    const auto& compiled = CachedPattern(pattern_, caseSensitive_);
    compileError_ = compiled.error;
    re_ = compiled.re;
    compiled_ = true;
}

void FlexString::Run() const {
    if (!stale_) {
        return;
    }
    stale_ = false;
    matches_.clear();
    try {
        Compile();
        error_ = compileError_;
        if (error_ != flexErrNone) {
            return;
        }
        const std::size_t n = text_.size();
        if (n >= static_cast<std::size_t>(std::numeric_limits<int>::max())) {
            error_ = flexErrOutOfMemory;  // the count would not fit
            return;
        }
        const re2::StringPiece text(text_);
        std::size_t pos = 0;
        while (pos <= n) {
            re2::StringPiece m;
            if (!re_->Match(text, pos, n, re2::RE2::UNANCHORED, &m, 1)) {
                break;
            }
            const std::size_t start = static_cast<std::size_t>(m.data() - text.data());
            matches_.emplace_back(start, m.size());
            if (!m.empty()) {
                pos = start + m.size();
            } else if (start < n) {
                pos = start + CharLength(text_, start);
            } else {
                break;
            }
        }
        error_ = matches_.empty() ? flexErrNoMatch : flexErrNone;
    } catch (const std::bad_alloc&) {
        matches_.clear();
        matches_.shrink_to_fit();
        error_ = flexErrOutOfMemory;
    }
}

int FlexString::Error() const {
    Run();
    return error_;
}

int FlexString::MatchCount() const {
    Run();
    return static_cast<int>(matches_.size());
}

const std::pair<std::size_t, std::size_t>& FlexString::Span(int i) const {
    Run();
    if (i < 0 || static_cast<std::size_t>(i) >= matches_.size()) {
        throw FlexStringException(flexErrInvalidMatchIndex, "Invalid match index");
    }
    return matches_[static_cast<std::size_t>(i)];
}

std::string FlexString::MatchText(int i) const {
    const auto& [start, length] = Span(i);
    return text_.substr(start, length);
}

std::size_t FlexString::MatchStart(int i) const {
    return Span(i).first;
}

std::size_t FlexString::MatchLength(int i) const {
    return Span(i).second;
}

int FlexString::TagCount() const {
    Run();
    return re_ ? re_->NumberOfCapturingGroups() : 0;
}

std::string FlexString::TagText(int match, int tag) const {
    const auto [start, length] = Span(match);
    if (tag < 0 || tag >= TagCount()) {
        throw FlexStringException(flexErrBadTagIndex, "Bad tag index");
    }
    // The best parse that ends where the match ends is the match's own parse.
    std::vector<re2::StringPiece> groups(static_cast<std::size_t>(tag) + 2);
    re_->Match(text_, start, start + length, re2::RE2::ANCHOR_BOTH, groups.data(),
               static_cast<int>(groups.size()));
    const re2::StringPiece& g = groups.back();
    return g.data() == nullptr ? std::string() : std::string(g.data(), g.size());
}

}  // namespace platform
