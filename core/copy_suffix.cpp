#include "core/copy_suffix.h"

#include <algorithm>

namespace plovanex {

namespace {

// The shortest id a store makes: 20 bytes, two digits each.
constexpr std::size_t kShortestIdDigits = 40;

// An id as the store makes it: whole bytes of upper-case hexadecimal, long
// enough that a user's own clock times, dates and codes never pass for one.
bool IsStoreId(const std::string& text) {
    return text.size() >= kShortestIdDigits && text.size() % 2 == 0 &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

}  // namespace

std::string AppendCopySuffix(const std::string& billing, const std::string& entryId,
                             const std::string& storeId) {
    return billing + ":" + entryId + ":" + storeId;
}

std::optional<CopySuffix> SplitCopySuffix(const std::string& text) {
    auto p2 = text.rfind(':');
    if (p2 == std::string::npos || p2 == 0) {
        return std::nullopt;
    }
    auto p1 = text.rfind(':', p2 - 1);
    if (p1 == std::string::npos) {
        return std::nullopt;
    }
    CopySuffix suffix{text.substr(0, p1), text.substr(p1 + 1, p2 - p1 - 1), text.substr(p2 + 1)};
    if (!IsStoreId(suffix.entryId) || !IsStoreId(suffix.storeId)) {
        return std::nullopt;
    }
    return suffix;
}

}  // namespace plovanex
