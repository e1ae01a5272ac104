#include "platform/ostrevane/log_writer.h"

#include "platform/ostrevane/sink.h"

namespace ostrevane {

void LogWriter::WriteLine(const std::string& application, const std::string& source,
                          const std::string& text, long& result) {
    DeliverLogLine(application, source, text);
    result = 0;
}

}  // namespace ostrevane
