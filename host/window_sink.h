#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ostrevane/sink.h"

class QObject;

namespace host {

// While it lives, each report that `wanted` picks is also handed to `show`
// on the thread of `window`, after the reporter has gone on, as long as the
// window lives; its end first hands on what was reported before. Every
// report and log line still reaches the sink installed before, which is put
// back at the end; a reporter that took the sink before the end and reports
// after it reaches only that one. Made and ended on the thread of `window`.
// A report as a window shows it: "source: message", or the message alone
// when it has no source.
std::string ShownText(const ostrevane::Report& report);

class ScopedWindowSink {
  public:
    using Wanted = bool (*)(const ostrevane::Report& report);
    using Show = std::function<void(const ostrevane::Report& report)>;

    ScopedWindowSink(QObject* window, Wanted wanted, Show show);
    ~ScopedWindowSink();
    ScopedWindowSink(const ScopedWindowSink&) = delete;
    ScopedWindowSink& operator=(const ScopedWindowSink&) = delete;

  private:
    class WindowSink;
    std::shared_ptr<ostrevane::Sink> previous_;
    std::shared_ptr<WindowSink> sink_;
};

}  // namespace host
