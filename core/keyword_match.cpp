#include "core/keyword_match.h"

#include <exception>
#include <memory>
#include <new>
#include <utility>

#include "common/vb_strings.h"
#include "core/globals.h"
#include "core/per_thread.h"

namespace plovanex {

namespace {

constexpr char kSource[] = "Plovanex.FindRegularExpressionMatch";

constexpr char kErrorList[] =
    "Error list: "
    "\r\n0 flexErrNone: No match was found"
    "\r\n1 flexErrOutOfMemory: text is too long for the Text property or pattern is too complex"
    "\r\n2 flexErrSquareB: A pattern with unbalanced square brackets ([, ]) is not accepted.  "
    "Escape special chars (e.g., '\\[' instead of '[')."
    "\r\n3 flexErrCurlyB: A pattern with unbalanced curly brackets ({, }) is not accepted.  "
    "Escape special chars (e.g., '\\{' instead of '{')."
    "\r\n4 flexErrBadPattern: An empty keyword phrase was submitted."
    "\r\n5 flexErrBadTagIndex: A bad replacement string was specified."
    "\r\n6 flexErrNoMatch: No match was found"
    "\r\n7 flexErrInvalidMatchIndex: A reference to more matches was not found.";

enum CharClass : int { kLetter = 0, kSpace = 1, kSymbol = 2, kControl = 4, kDigit = 8 };

int ClassOf(int code) {
    if (code < 32) {
        return kControl;
    }
    if (code == 32) {
        return kSpace;
    }
    if (code >= '0' && code <= '9') {
        return kDigit;
    }
    if (code >= 'A' && code <= 'Z') {
        return kLetter;
    }
    return kSymbol;
}

std::string DescriptionOf(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) {
        return "Out of memory";
    }
    return e.what();
}

long WholeWordFallback(const std::string& text, const std::string& pattern) {
    return FindWholeWord(1, text, pattern, 1, spacesSymbolsCtrlAndDigits, "");
}

struct FormHolder {
    std::unique_ptr<frmRegularExpressions> form;
    std::function<void(platform::FlexString&)> probe;
};

FormHolder& Holder() {
    static PerThread<FormHolder> holders;
    return holders.Get();
}

}  // namespace

bool IsSeparatorChar(int code, int sep, const std::string& special) {
    if (sep == specialSep) {
        return !special.empty() && code == vb::UCaseCode(vb::ToVbString(special).front());
    }
    return (ClassOf(code) & sep) != 0;
}

long FindWholeWord(long start, const std::string& text, const std::string& keyword, int compare,
                   int sep, const std::string& special) {
    if (keyword.empty() || start < 1) {
        return 0;
    }
    // Positions are the language's characters. Under text compare both texts
    // are folded once, and each occurrence is then found by exact compare.
    const std::u16string chars = vb::ToVbString(text);
    const std::u16string word = vb::ToVbString(keyword);
    const bool fold = compare == 1;
    const std::u16string searched = fold ? vb::FoldCase(chars) : chars;
    const std::u16string sought = fold ? vb::FoldCase(word) : word;
    // The code of the upper-cased character at position p (from 1).
    const auto upperCodeAt = [&chars](std::size_t p) { return vb::UCaseCode(chars[p - 1]); };
    std::size_t p = static_cast<std::size_t>(start) - 1;
    for (;;) {
        p = vb::InStr(p + 1, searched, sought);
        if (p == 0) {
            return 0;
        }
        const int before = p == 1 ? 32 : upperCodeAt(p - 1);
        if (!IsSeparatorChar(before, sep, special)) {
            continue;
        }
        const std::size_t next = p + word.size();
        const int after = next > chars.size() ? 32 : upperCodeAt(next);
        if (IsSeparatorChar(after, sep, special)) {
            return static_cast<long>(p);
        }
    }
}

long FindRegularExpressionMatch(const std::string& text, const std::string& pattern) {
    try {
        platform::FlexString& control = RegularExpressionsForm().regularExpressions;
        control.SetCaseSensitive(false);
        if (const auto& probe = Holder().probe) {
            probe(control);
        }
        if (text.empty()) {
            return 0;
        }
        control.SetText(text);
        if (pattern.empty()) {
            ReportError("Error occurred.  Reason: No pattern specified.", 1, kSource);
            return 0;
        }
        control.SetPattern(pattern);
        const int error = control.Error();
        if (error == platform::flexErrNone || error == platform::flexErrNoMatch) {
            return control.MatchCount();
        }
        ReportError("Error occurred during match.  Match error: " + std::to_string(error), 1,
                    kSource);
        ReportError(kErrorList, 0, "");
        ReportError("Continuing with simple keyword matching...", 1, kSource);
        return WholeWordFallback(text, pattern);
    } catch (const std::exception& e) {
        ReportError("Error occurred.  Reason: " + DescriptionOf(e), 1, kSource);
        ReportError("Continuing...", 1, kSource);
        return WholeWordFallback(text, pattern);
    }
}

frmRegularExpressions& RegularExpressionsForm() {
    auto& form = Holder().form;
    if (!form) {
        form = std::make_unique<frmRegularExpressions>();
    }
    return *form;
}

void UnloadRegularExpressionsForm() {
    Holder().form.reset();
}

bool RegularExpressionsFormLoaded() {
    return Holder().form != nullptr;
}

void SetRegularExpressionsProbe(std::function<void(platform::FlexString&)> probe) {
    Holder().probe = std::move(probe);
}

}  // namespace plovanex
