#pragma once

#include <string_view>

namespace vb {

// The language's `Like` operator under binary (case-sensitive) comparison.
// `?` is one character, `#` one digit, `*` any run of characters, `[list]`
// one character of the list and `[!list]` one character not in it; a list
// holds characters and ascending ranges such as `a-z`, `-` is literal first
// or last, and `*` `?` `#` `[` are literal inside it. `[]` stands for no
// character at all (it matches the empty text) and `[!]` for any one. Texts are UTF-8; a character
// is a code point (a byte that is not valid UTF-8 counts as one character). Throws
// std::runtime_error "Invalid pattern string" for an unclosed `[` or a descending range. Time is at
// most text length times pattern length.
bool Like(std::string_view text, std::string_view pattern);

}  // namespace vb
