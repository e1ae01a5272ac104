#pragma once

#include <string>

namespace common {

// "Error occurred at line <step>.  Reason: <description>"
inline std::string ErrorAtLine(long step, const std::string& description) {
    return "Error occurred at line " + std::to_string(step) + ".  Reason: " + description;
}

// "Error occurred.  Reason: <description>"
inline std::string ErrorOccurred(const std::string& description) {
    return "Error occurred.  Reason: " + description;
}

// The source of a report: "Plovanex." and the procedure's name.
inline std::string Source(const std::string& procedure) {
    return "Plovanex." + procedure;
}

}  // namespace common
