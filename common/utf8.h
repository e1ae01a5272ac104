#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8 as every text of the system holds it.
namespace common {

// One character of a text: its code point and its length in bytes. The
// length is 0 where the bytes start no valid sequence (a stray or cut-short
// byte, an overlong form, a surrogate, a code above U+10FFFF).
struct Utf8Char {
    char32_t code = 0;
    std::size_t length = 0;
};

inline Utf8Char DecodeUtf8(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(at);
    if (b0 < 0x80) {
        return {b0, 1};
    }
    std::size_t length = 0;
    char32_t code = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, code = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, code = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, code = b0 & 0x07, min = 0x10000;
    } else {
        return {};
    }
    if (at + length > text.size()) {
        return {};
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80) {
            return {};
        }
        code = (code << 6) | (byte(at + k) & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return {};
    }
    return {code, length};
}

inline void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// What stands for a byte that cannot be decoded.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

}  // namespace common
