#include "host/window_sink.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <mutex>

namespace host {

namespace {

// Lives on the window's thread and takes there the reports posted to it:
// only there is the window looked at.
class Taker : public QObject {
  public:
    Taker(QObject* window, ScopedWindowSink::Show show) : window_(window), show_(std::move(show)) {
        moveToThread(window->thread());
    }
    void Take(const ostrevane::Report& report) {
        if (window_) {
            show_(report);
        }
    }

  private:
    QPointer<QObject> window_;
    ScopedWindowSink::Show show_;
};

}  // namespace

// A reporter may hold it past the scope: its end only takes the taker away.
class ScopedWindowSink::WindowSink : public ostrevane::Sink {
  public:
    WindowSink(QObject* window, Wanted wanted, Show show, std::shared_ptr<ostrevane::Sink> inner)
        : wanted_(wanted), inner_(std::move(inner)), taker_(new Taker(window, std::move(show))) {}

    void OnReport(const ostrevane::Report& report) override {
        if (inner_) {
            inner_->OnReport(report);
        }
        if (!wanted_(report)) {
            return;
        }
        // Reports may come from any thread; the taker shows them on its own.
        std::lock_guard lock(mutex_);
        if (taker_) {
            QMetaObject::invokeMethod(
                taker_, [taker = taker_, report] { taker->Take(report); }, Qt::QueuedConnection);
        }
    }
    void OnLog(const ostrevane::LogLine& line) override {
        if (inner_) {
            inner_->OnLog(line);
        }
    }
    bool WantsLogLines() const override { return inner_ && inner_->WantsLogLines(); }

    // On the window's thread: shows what was posted before, while the window
    // lives, and deletes the taker; later reports go to the inner sink only.
    void Detach() {
        Taker* taker = nullptr;
        {
            std::lock_guard lock(mutex_);
            std::swap(taker, taker_);
        }
        QCoreApplication::sendPostedEvents(taker, QEvent::MetaCall);
        delete taker;
    }

  private:
    Wanted wanted_;
    std::shared_ptr<ostrevane::Sink> inner_;
    std::mutex mutex_;
    Taker* taker_;
};

std::string ShownText(const ostrevane::Report& report) {
    return report.source.empty() ? report.message : report.source + ": " + report.message;
}

ScopedWindowSink::ScopedWindowSink(QObject* window, Wanted wanted, Show show) {
    previous_ = ostrevane::WrapSink([&](std::shared_ptr<ostrevane::Sink> installed) {
        sink_ = std::make_shared<WindowSink>(window, wanted, std::move(show), std::move(installed));
        return sink_;
    });
}

ScopedWindowSink::~ScopedWindowSink() {
    ostrevane::InstallSink(previous_);
    sink_->Detach();
}

}  // namespace host
