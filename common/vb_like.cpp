#include "common/vb_like.h"

#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

#include "common/utf8.h"

namespace vb {
namespace {

// A byte that is no valid UTF-8 counts as one character of its own code.
std::vector<char32_t> CodePoints(std::string_view s) {
    std::vector<char32_t> out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const common::Utf8Char c = common::DecodeUtf8(s, i);
        out.push_back(c.length == 0 ? static_cast<unsigned char>(s[i]) : c.code);
        i += c.length == 0 ? 1 : c.length;
    }
    return out;
}

// One item of a compiled pattern.
struct Token {
    enum Kind { kStar, kAny, kDigit, kList, kChar };
    explicit Token(Kind k, char32_t c = 0) : kind(k), ch(c) {}

    Kind kind;
    char32_t ch;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;

    bool Matches(char32_t c) const {
        switch (kind) {
            case kAny:
                return true;
            case kDigit:
                return c >= '0' && c <= '9';
            case kChar:
                return c == ch;
            case kList: {
                bool in = false;
                for (const auto& [lo, hi] : ranges) {
                    in = in || (c >= lo && c <= hi);
                }
                return in != negated;
            }
            case kStar:
                break;
        }
        return false;
    }
};

[[noreturn]] void InvalidPattern() {
    throw std::runtime_error("Invalid pattern string");
}

std::vector<Token> Compile(const std::vector<char32_t>& p) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < p.size()) {
        const char32_t c = p[i++];
        if (c == '*') {
            if (tokens.empty() || tokens.back().kind != Token::kStar) {
                tokens.emplace_back(Token::kStar);
            }
        } else if (c == '?') {
            tokens.emplace_back(Token::kAny);
        } else if (c == '#') {
            tokens.emplace_back(Token::kDigit);
        } else if (c != '[') {
            tokens.emplace_back(Token::kChar, c);
        } else {
            Token list(Token::kList);
            if (i < p.size() && p[i] == '!') {
                list.negated = true;
                ++i;
            }
            const std::size_t first = i;
            while (i < p.size() && p[i] != ']') {
                const char32_t lo = p[i++];
                char32_t hi = lo;
                if (lo != '-' || i - 1 == first) {
                    if (i + 1 < p.size() && p[i] == '-' && p[i + 1] != ']') {
                        hi = p[i + 1];
                        i += 2;
                        if (hi < lo) {
                            InvalidPattern();
                        }
                    }
                }
                list.ranges.emplace_back(lo, hi);
            }
            if (i == p.size()) {
                InvalidPattern();
            }
            ++i;
            // An empty list matches no character: it drops out.
            if (!list.ranges.empty() || list.negated) {
                tokens.push_back(std::move(list));
            }
        }
    }
    return tokens;
}

}  // namespace

bool Like(std::string_view text, std::string_view pattern) {
    const std::vector<Token> tokens = Compile(CodePoints(pattern));
    const std::vector<char32_t> t = CodePoints(text);
    // Every token but `*` takes exactly one character, so the last `*` seen is
    // the only one that needs to take more when the rest fails.
    std::size_t ti = 0;
    std::size_t pi = 0;
    std::size_t starToken = tokens.size();
    std::size_t starText = 0;
    while (ti < t.size()) {
        if (pi < tokens.size() && tokens[pi].kind == Token::kStar) {
            starToken = pi++;
            starText = ti;
        } else if (pi < tokens.size() && tokens[pi].Matches(t[ti])) {
            ++pi;
            ++ti;
        } else if (starToken < tokens.size()) {
            pi = starToken + 1;
            ti = ++starText;
        } else {
            return false;
        }
    }
    while (pi < tokens.size() && tokens[pi].kind == Token::kStar) {
        ++pi;
    }
    return pi == tokens.size();
}

}  // namespace vb
