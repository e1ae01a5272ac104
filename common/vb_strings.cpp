#include "common/vb_strings.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <stdexcept>

#include "common/utf8.h"

namespace vb {

std::u16string ToVbString(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const common::Utf8Char c = common::DecodeUtf8(text, at);
        if (c.length == 0) {
            out += static_cast<char16_t>(static_cast<unsigned char>(text[at]));
            ++at;
        } else if (c.code < 0x10000) {
            out += static_cast<char16_t>(c.code);
            at += c.length;
        } else {
            out += static_cast<char16_t>(U16_LEAD(c.code));
            out += static_cast<char16_t>(U16_TRAIL(c.code));
            at += c.length;
        }
    }
    return out;
}

std::size_t Len(std::string_view text) {
    std::size_t length = 0;
    for (std::size_t at = 0; at < text.size();) {
        const common::Utf8Char c = common::DecodeUtf8(text, at);
        length += c.code >= 0x10000 ? 2 : 1;
        at += c.length == 0 ? 1 : c.length;
    }
    return length;
}

std::u16string FoldCase(std::u16string_view text) {
    std::u16string out(text);
    for (std::size_t i = 0; i < out.size();) {
        UChar32 c = 0;
        const std::size_t at = i;
        U16_NEXT(out.data(), i, out.size(), c);
        const UChar32 folded = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        // A fold that would take another number of units is left out, so
        // that positions stay those of the text.
        if (folded != c && U16_LENGTH(folded) == static_cast<int>(i - at)) {
            std::size_t put = at;
            U16_APPEND_UNSAFE(out.data(), put, folded);
        }
    }
    return out;
}

int UCaseCode(char16_t c) {
    if (U16_IS_SURROGATE(c)) {
        return c;
    }
    const UChar32 upper = u_toupper(c);
    return upper < 0x10000 ? static_cast<int>(upper) : c;
}

std::size_t InStr(std::size_t start, std::u16string_view text, std::u16string_view find,
                  bool ignoreCase) {
    if (start < 1) {
        throw std::runtime_error("Invalid procedure call or argument");
    }
    if (text.empty()) {
        return 0;
    }
    if (find.empty()) {
        return start;
    }
    if (start > text.size()) {
        return 0;
    }
    if (ignoreCase) {
        return InStr(start, FoldCase(text), FoldCase(find), false);
    }
    const std::size_t at = text.find(find, start - 1);
    return at == std::u16string_view::npos ? 0 : at + 1;
}

std::size_t InStr(std::size_t start, std::string_view text, std::string_view find,
                  bool ignoreCase) {
    return InStr(start, ToVbString(text), ToVbString(find), ignoreCase);
}

}  // namespace vb
