#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vb {

// Texts are UTF-8; the language holds them as UTF-16, and its positions and
// lengths count UTF-16 code units, its characters. A byte that is no valid
// UTF-8 counts as one character of its own code.
std::u16string ToVbString(std::string_view text);

// The language's Len: the number of characters.
std::size_t Len(std::string_view text);

// The language's InStr: the position (from 1, in characters) of the first
// occurrence of `find` in `text` at or after position `start`, 0 when there
// is none; 0 for an empty text, `start` for an empty `find`. `ignoreCase` is
// the language's text compare: case is folded for all of Unicode. Throws
// std::runtime_error "Invalid procedure call or argument" when start is
// below 1.
std::size_t InStr(std::size_t start, std::string_view text, std::string_view find,
                  bool ignoreCase = false);
// The same over texts in the language's form.
std::size_t InStr(std::size_t start, std::u16string_view text, std::u16string_view find,
                  bool ignoreCase = false);

// The text with its case folded character for character, as text compare
// takes it: two texts are equal under text compare when their folds are.
// A fold never changes the length.
std::u16string FoldCase(std::u16string_view text);

// The code of the upper-cased character, as AscW(UCase$(c)) gives it.
int UCaseCode(char16_t c);

}  // namespace vb
