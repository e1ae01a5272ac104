#pragma once

#include <QPointer>
#include <functional>
#include <memory>

#include "platform/ostrevane/sink.h"

class QObject;

namespace host {

// While it lives, each report that `wanted` picks is also handed to `show`
// on the thread of `window`, after the reporter has gone on; a report the
// window has not taken when it goes is dropped. Every report and log line
// still reaches the sink installed before, which is put back at the end.
class ScopedWindowSink {
  public:
    using Wanted = bool (*)(const ostrevane::Report& report);
    using Show = std::function<void(const ostrevane::Report& report)>;

    ScopedWindowSink(QObject* window, Wanted wanted, Show show);
    ~ScopedWindowSink();
    ScopedWindowSink(const ScopedWindowSink&) = delete;
    ScopedWindowSink& operator=(const ScopedWindowSink&) = delete;

  private:
    std::shared_ptr<ostrevane::Sink> previous_;
};

}  // namespace host
