#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vb {

// Conversions of a text as the language makes them when the text is assigned
// to a typed variable. Blanks (spaces, tabs) around the text are ignored. A
// number is a decimal with an optional sign, fraction and exponent ("-1.5",
// "2e3"), or "&H" and up to eight hexadecimal digits; hexadecimal values up
// to &HFFFF are 16-bit and up to &HFFFFFFFF 32-bit two's complement ("&HFFFF"
// is -1). No thousands separators or currency signs: the text is read the same
// in every locale. Failures throw std::runtime_error "Type mismatch" (not a
// number) or "Overflow" (out of range).

// Integer (16-bit): rounded half to even.
std::int16_t ToInteger(std::string_view text);
// Long (32-bit): rounded half to even.
std::int32_t ToLong(std::string_view text);
// Boolean: "True" or "False" in any case, or a number (0 is False, any other
// value True).
bool ToBoolean(std::string_view text);

// "True" or "False".
std::string BooleanText(bool value);
// The decimal text of a whole number, "-" before a negative one.
std::string NumberText(std::int64_t value);

}  // namespace vb
