#include "host/window_sink.h"

#include <QMetaObject>
#include <QObject>

namespace host {

namespace {

class WindowSink : public ostrevane::Sink {
  public:
    WindowSink(QObject* window, ScopedWindowSink::Wanted wanted, ScopedWindowSink::Show show,
               std::shared_ptr<ostrevane::Sink> inner)
        : window_(window), wanted_(wanted), show_(std::move(show)), inner_(std::move(inner)) {}

    void OnReport(const ostrevane::Report& report) override {
        if (inner_) {
            inner_->OnReport(report);
        }
        if (!window_ || !wanted_(report)) {
            return;
        }
        // Reports may come from any thread; the window takes them on its own.
        QMetaObject::invokeMethod(
            window_.data(),
            [window = window_, show = show_, report] {
                if (window) {
                    show(report);
                }
            },
            Qt::QueuedConnection);
    }
    void OnLog(const ostrevane::LogLine& line) override {
        if (inner_) {
            inner_->OnLog(line);
        }
    }
    bool WantsLogLines() const override { return inner_ && inner_->WantsLogLines(); }

  private:
    QPointer<QObject> window_;
    ScopedWindowSink::Wanted wanted_;
    ScopedWindowSink::Show show_;
    std::shared_ptr<ostrevane::Sink> inner_;
};

}  // namespace

ScopedWindowSink::ScopedWindowSink(QObject* window, Wanted wanted, Show show) {
    previous_ = ostrevane::WrapSink([&](std::shared_ptr<ostrevane::Sink> installed) {
        return std::make_shared<WindowSink>(window, wanted, std::move(show), std::move(installed));
    });
}

ScopedWindowSink::~ScopedWindowSink() {
    ostrevane::InstallSink(previous_);
}

}  // namespace host
