#pragma once

#include <functional>
#include <string>

#include "platform/flexstring/flexstring.h"

namespace plovanex {

// Separator classes, as bits: space 1, symbol 2, control character 4,
// digit 8. Letters belong to no class.
enum sepType : int {
    specialSep = 0,
    spacesOnly = 1,
    spacesAndSymbols = 3,
    spacesSymbolsAndCtrl = 7,
    spacesSymbolsCtrlAndDigits = 15,
};

// Under specialSep, True exactly when code is the upper-cased first character
// of special (never for an empty special); otherwise True when the code's
// class shares a bit with sep: below 32 control, 32 space, "0" to "9" digit,
// "A" to "Z" letter, every other code a symbol. Callers pass upper-cased
// codes of the language's characters (UTF-16 units).
bool IsSeparatorChar(int code, int sep, const std::string& special);

// The position (from 1, in the language's characters) of the first
// occurrence of keyword in text, from start on, that has a separator (or the
// text's edge) on both sides; 0 when there is none or the keyword is empty.
// compare 1 is text compare, which ignores case for all of Unicode.
long FindWholeWord(long start, const std::string& text, const std::string& keyword, int compare,
                   int sep, const std::string& special);

// The number of matches of pattern in text, ignoring case. A pattern the
// matcher refuses is searched as a whole word instead, and that position is
// the result. Reports its errors.
long FindRegularExpressionMatch(const std::string& text, const std::string& pattern);

// The hidden form that holds the pattern matcher: one per thread, loaded at
// its first use and kept until unloaded.
struct frmRegularExpressions {
    platform::FlexString regularExpressions;
};
frmRegularExpressions& RegularExpressionsForm();
void UnloadRegularExpressionsForm();
bool RegularExpressionsFormLoaded();

// Test seam: called with the control at the start of every search on this
// thread; what it raises counts as raised by the control. Nothing installed
// by default.
void SetRegularExpressionsProbe(std::function<void(platform::FlexString&)> probe);

}  // namespace plovanex
