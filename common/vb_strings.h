#pragma once

#include <cstddef>
#include <string_view>

namespace vb {

// The language's InStr: the position (from 1) of the first occurrence of
// `find` in `text` at or after position `start`, 0 when there is none; 0 for
// an empty text, `start` for an empty `find`. Positions count bytes;
// `ignoreCase` folds ASCII letters only. Throws std::runtime_error "Invalid
// procedure call or argument" when start is below 1.
std::size_t InStr(std::size_t start, std::string_view text, std::string_view find,
                  bool ignoreCase = false);

}  // namespace vb
