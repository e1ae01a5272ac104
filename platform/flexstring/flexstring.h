#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/error.h"

namespace re2 {
class RE2;
}

namespace platform {

// Error codes of the pattern matcher.
enum FlexStringError : int {
    flexErrNone = 0,
    flexErrOutOfMemory = 1,
    flexErrSquareB = 2,
    flexErrCurlyB = 3,
    flexErrBadPattern = 4,
    flexErrBadTagIndex = 5,
    flexErrNoMatch = 6,
    flexErrInvalidMatchIndex = 7,
};

// Longer patterns are refused with flexErrOutOfMemory ("pattern is too
// complex"): compiling and running a pattern costs time in its length too.
inline constexpr std::size_t kFlexMaxPatternLength = 1024;

// Raised by the match accessors for an index out of range; Code() is
// flexErrInvalidMatchIndex or flexErrBadTagIndex.
class FlexStringException : public Error {
  public:
    FlexStringException(int code, const std::string& description)
        : Error(description), code_(code) {}
    int Code() const { return code_; }

  private:
    int code_;
};

// The grid library's string control: counts the matches of a pattern in a
// text.
//
// Pattern syntax: `^` `$` anchor at the start and end of the text, `.` is any
// character (line breaks included), `[abc]` `[^abc]` `[a-z]` classes (`[]`
// matches nothing, `[^]` any character), `?` `*` `+` quantify the character
// character item before them (a quantifier after `^`, `$`, `{` or `}` has
// nothing before it: a bad pattern), `\c` is c literally except the control
// characters `\a \b \f \n \r \t \v`, and `{...}` tags a part. Every other
// character stands for itself. A reversed range such as `[z-a]` is a bad
// pattern.
//
// Matches are found left to right, leftmost and greedy, without overlap. An
// empty match counts once and the next search starts one character further;
// after a non-empty match an empty one may follow at its end ("a*" in "baa"
// gives "", "aa", "": three matches).
//
// Texts and patterns are UTF-8: `.` and classes take whole code points and
// case folding is Unicode's. A pattern that is not valid UTF-8 is a bad
// pattern; invalid bytes in a text are matched by nothing but skipped safely.
// Each search runs on an automaton (no backtracking), so time grows linearly
// with the text.
//
// Results are computed when first read after a change of the case setting,
// the text or the pattern. Before any pattern is set, Error() is 0 and
// MatchCount() is 0.
class FlexString {
  public:
    FlexString();
    ~FlexString();
    FlexString(const FlexString&) = delete;
    FlexString& operator=(const FlexString&) = delete;

    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool value);
    const std::string& Text() const { return text_; }
    void SetText(std::string value);
    const std::string& Pattern() const { return pattern_; }
    // Runs the search (on the next read of a result).
    void SetPattern(std::string value);

    int Error() const;
    int MatchCount() const;

    // Match i (from 0): its text, its byte offset in Text() and its length
    // in bytes. Raise code 7 for an index out of range.
    std::string MatchText(int i) const;
    std::size_t MatchStart(int i) const;
    std::size_t MatchLength(int i) const;
    // Tags are numbered from 0 in the order of their opening braces.
    int TagCount() const;
    // The text tag `tag` took in match `match`; raises code 7 for a bad
    // match index, then code 5 for a bad tag index.
    std::string TagText(int match, int tag) const;

  private:
    void Run() const;
    void Compile() const;
    const std::pair<std::size_t, std::size_t>& Span(int i) const;

    bool caseSensitive_ = true;
    std::string text_;
    std::string pattern_;
    bool patternSet_ = false;

    mutable bool stale_ = false;
    mutable bool compiled_ = false;
    mutable int compileError_ = flexErrNone;
    mutable std::shared_ptr<const re2::RE2> re_;
    mutable int error_ = flexErrNone;
    mutable std::vector<std::pair<std::size_t, std::size_t>> matches_;
};

// Translates a pattern into RE2 syntax; returns the error code and, when it is
// 0, sets `out` and the number of tags. Exposed for the tests.
int TranslateFlexPattern(const std::string& pattern, std::string& out, int& tags);

}  // namespace platform
