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

void ShowExplorer(const outlook::ApplicationPtr& application) {
    ScopedMessageWindow messages;
    RunningAddIns addIns(application);
    {
        ExplorerWindow window(addIns.Modules(), OpenInboxExplorer(application));
        auto notes = NotesInStatusBar(window);
        window.OnClosed([] { QCoreApplication::quit(); });
        window.show();
        QApplication::exec();
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
    QApplication::exec();
    dialog.reset();
    addIns.Stop();
}

}  // namespace host
