#include "host/gui.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <string>

#include "host/engine.h"

namespace host {

namespace {

int argc = 1;
char name[] = "ostrevane";
char* argv[] = {name, nullptr};

// Qt wants a private runtime folder and warns on stderr without one.
void EnsureRuntimeFolder() {
    const char* set = std::getenv("XDG_RUNTIME_DIR");
    if (set && *set) {
        return;
    }
    const std::string folder = "/tmp/ostrevane-runtime-" + std::to_string(getuid());
    struct stat info {};
    if (mkdir(folder.c_str(), 0700) != 0 &&
        (stat(folder.c_str(), &info) != 0 || info.st_uid != getuid() ||
         (info.st_mode & 0777) != 0700)) {
        return;
    }
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

QtMessageHandler previousHandler = nullptr;

// Windows that nobody sees need no size hints, raising or keyboard grabs;
// the offscreen platform says so on stderr each time.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("This plugin does not support "))) {
        return;
    }
    if (previousHandler) {
        previousHandler(type, context, text);
    }
}

}  // namespace

Gui::Gui(bool offscreen) {
    if (QApplication::instance()) {
        return;
    }
    if (offscreen) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    EnsureRuntimeFolder();
    if (!previousHandler) {
        previousHandler = qInstallMessageHandler(QuietOffscreen);
    }
    app_ = std::make_unique<QApplication>(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
}

Gui::~Gui() = default;

bool Gui::OnScreen() {
    const QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}

void ShutdownModules(ModuleHost& modules) {
    modules.Shutdown();
    if (QCoreApplication::instance()) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace host
