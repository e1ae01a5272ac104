#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// Raised by a platform call that fails, as a COM call raises an error.
// The system's procedures catch it at their own boundary and report
// Description().
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& description) : std::runtime_error(description) {}
    std::string Description() const { return what(); }
};

}  // namespace platform
