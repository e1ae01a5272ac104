#include "common/vb_strings.h"

#include <algorithm>
#include <stdexcept>

namespace vb {

std::size_t InStr(std::size_t start, std::string_view text, std::string_view find,
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
    const auto fold = [ignoreCase](char c) {
        return ignoreCase && c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    };
    const auto from = text.begin() + static_cast<std::ptrdiff_t>(start - 1);
    const auto at = std::search(from, text.end(), find.begin(), find.end(),
                                [&](char a, char b) { return fold(a) == fold(b); });
    return at == text.end() ? 0 : static_cast<std::size_t>(at - text.begin()) + 1;
}

}  // namespace vb
