#pragma once

#include <string>
#include <string_view>
#include <type_traits>

namespace common {

// The source a trace line names: the writing procedure or program. A type of
// its own, made only on purpose, so that a source and a text in the wrong
// places of a call do not compile.
class LogSource {
  public:
    explicit constexpr LogSource(std::string_view name) : name_(name) {}
    std::string Name() const { return std::string(name_); }

  private:
    std::string_view name_;
};

static_assert(!std::is_convertible_v<const char*, LogSource>);
static_assert(!std::is_convertible_v<std::string, LogSource>);
static_assert(!std::is_convertible_v<LogSource, std::string>);

}  // namespace common
