#pragma once

#include <string>

namespace ostrevane {

// One log line per object: callers make a new writer for each line.
class LogWriter {
  public:
    void WriteLine(const std::string& application, const std::string& source,
                   const std::string& text, long& result);
};

}  // namespace ostrevane
