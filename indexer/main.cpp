// Kestrune: rebuilds the folder index and ends by itself. Started detached,
// with no arguments; steered only through the settings store.
#include <QApplication>
#include <QEvent>
#include <cstdio>
#include <exception>
#include <memory>

#include "common/index_builder.h"
#include "indexer/frm_main.h"
#include "indexer/global.h"
#include "platform/os/os.h"
#include "platform/ostrevane/sink.h"
#include "platform/widgets/offscreen.h"

int main(int argc, char** argv) {
    // Another copy runs: end at once, before reading or writing anything.
    std::unique_ptr<platform::os::SingleInstanceLock> lock;
    try {
        lock = platform::os::SingleInstanceLock::TryAcquire(common::kIndexBuilderName);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Kestrune: %s\n", e.what());
        return 1;
    }
    if (!lock) {
        return 0;
    }
    ostrevane::InstallSink(ostrevane::MakeStderrSink());
    kestrune::ClearKilledBuild();
    platform::widgets::UseOffscreenWithoutDisplay();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Halvox Software - Kestrune");
    QApplication::setQuitOnLastWindowClosed(false);
    int result = 0;
    try {
        auto* window = new kestrune::frmMain;
        window->Form_Load();
        result = QApplication::exec();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Kestrune: %s\n", e.what());
        result = 1;
    }
    // The window goes with the program, however the program ends.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete kestrune::Program().window;
    return result;
}
