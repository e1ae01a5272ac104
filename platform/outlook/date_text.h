#pragma once

#include <string>

namespace outlook {

// An ISO 8601 local time ("2026-03-15T14:05:07") as the language shows a
// date: "3/15/2026 2:05:07 PM"; empty text, the date of an unsent item,
// gives "1/1/4501".
std::string DateText(const std::string& iso);

}  // namespace outlook
