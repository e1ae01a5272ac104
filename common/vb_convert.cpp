#include "common/vb_convert.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace vb {
namespace {

[[noreturn]] void TypeMismatch() {
    throw std::runtime_error("Type mismatch");
}
[[noreturn]] void Overflow() {
    throw std::runtime_error("Overflow");
}

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return fold(x) == fold(y); });
}

std::optional<double> Hexadecimal(std::string_view s) {
    if (s.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : s) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFu) {
            Overflow();
        }
    }
    if (value <= 0xFFFF) {
        return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
    }
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

// The value of a number text; nothing when the text is not a number.
std::optional<double> Number(std::string_view text) {
    std::string_view s = Trim(text);
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        return Hexadecimal(s.substr(2));
    }
    // Check the form here: from_chars also takes "inf", "nan" and hex floats.
    std::size_t i = 0;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        ++i;
    }
    const std::size_t numberStart = i;
    // scale: the power of ten of the first significant digit, plus one.
    long scale = 0;
    bool significant = false;
    std::size_t mantissa = 0;
    for (bool fraction = false; i < s.size(); ++i) {
        if (s[i] == '.' && !fraction) {
            fraction = true;
        } else if (std::isdigit(static_cast<unsigned char>(s[i]))) {
            ++mantissa;
            significant = significant || s[i] != '0';
            scale += fraction ? (significant ? 0 : -1) : (significant ? 1 : 0);
        } else {
            break;
        }
    }
    if (mantissa == 0) {
        return std::nullopt;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        const bool minus = i < s.size() && s[i] == '-';
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
            ++i;
        }
        long exponent = 0;
        const std::size_t from = i;
        for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
            exponent = std::min(exponent * 10 + (s[i] - '0'), 1000000L);
        }
        if (i == from) {
            return std::nullopt;
        }
        scale += minus ? -exponent : exponent;
    }
    if (i != s.size()) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data() + numberStart, s.data() + s.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too large overflows; too small is as good as zero.
        if (scale > 0) {
            Overflow();
        }
        value = 0;
    } else if (ec != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

template <typename T>
T ToWhole(std::string_view text) {
    const std::optional<double> value = Number(text);
    if (!value) {
        TypeMismatch();
    }
    const double rounded = std::nearbyint(*value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<T>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<T>::max()))) {
        Overflow();
    }
    return static_cast<T>(rounded);
}

}  // namespace

std::int16_t ToInteger(std::string_view text) {
    return ToWhole<std::int16_t>(text);
}

std::int32_t ToLong(std::string_view text) {
    return ToWhole<std::int32_t>(text);
}

bool ToBoolean(std::string_view text) {
    const std::string_view s = Trim(text);
    if (EqualsIgnoringCase(s, "True")) {
        return true;
    }
    if (EqualsIgnoringCase(s, "False")) {
        return false;
    }
    const std::optional<double> value = Number(s);
    if (!value) {
        TypeMismatch();
    }
    return *value != 0;
}

std::string BooleanText(bool value) {
    return value ? "True" : "False";
}

std::string NumberText(std::int64_t value) {
    return std::to_string(value);
}

}  // namespace vb
