#include "host/client_windows.h"

#include <QApplication>
#include <memory>

#include "host/explorer_window.h"
#include "host/message_window.h"
#include "host/options_dialog.h"
#include "host/running_add_ins.h"
#include "platform/error.h"
#include "platform/ostrevane/sink.h"

namespace host {

namespace {

// Runs the application's loop until a quit. The quit may leave a Quit event
// posted behind it, which would end the next loop, even a modal dialog's, at
// once: it goes with this loop.
void RunUntilQuit() {
    QApplication::exec();
    QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::Quit);
}

}  // namespace

void ShowExplorer(const outlook::ApplicationPtr& application) {
    ScopedMessageWindow messages;
    RunningAddIns addIns(application);
    {
        ExplorerWindow window(addIns.Modules(), OpenInboxExplorer(application));
        auto notes = NotesInStatusBar(window);
        window.OnClosed([] { QCoreApplication::quit(); });
        window.show();
        RunUntilQuit();
    }
    addIns.Stop();
}

void ShowOptionsDialog(const outlook::ApplicationPtr& application) {
    ScopedMessageWindow messages;
    // The pages first: without one nothing is started, so nothing is cut
    // short by the error.
    ostrevane::ModuleLoader loader;
    auto dialog = std::make_unique<OptionsDialog>(application);
    if (dialog->AddRegisteredPages(loader) == 0) {
        throw platform::Error(
            "no property page is registered; register one with 'ostrevane module install'");
    }
    RunningAddIns addIns(application);
    addIns.OpenExplorer();
    // Shown without a modal loop of its own, so the windows the pages open
    // beside it stay usable.
    QObject::connect(dialog.get(), &QDialog::finished, [] { QCoreApplication::quit(); });
    dialog->show();
    RunUntilQuit();
    dialog.reset();
    addIns.Stop();
}

}  // namespace host
