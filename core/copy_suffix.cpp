#include "core/copy_suffix.h"

#include <algorithm>
#include <cctype>

namespace plovanex {

namespace {

bool IsHexId(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isxdigit(c) != 0; });
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
    if (!IsHexId(suffix.entryId) || !IsHexId(suffix.storeId)) {
        return std::nullopt;
    }
    return suffix;
}

}  // namespace plovanex
