#include "host/client_windows.h"

#include <QApplication>

#include "host/explorer_window.h"
#include "host/message_window.h"
#include "host/options_dialog.h"
#include "host/running_add_ins.h"
#include "platform/error.h"
#include "platform/ostrevane/sink.h"

namespace host {

void ShowExplorer(const outlook::ApplicationPtr& application) {
    auto ns = application->GetNamespace("MAPI");
    ScopedMessageWindow messages;
    RunningAddIns addIns(application);
    {
        ExplorerWindow window(addIns.Modules(), application->OpenExplorer(
                                                    ns->GetDefaultFolder(outlook::olFolderInbox)));
        auto notes = NotesInStatusBar(window);
        window.OnClosed([] { QCoreApplication::quit(); });
        window.show();
        QApplication::exec();
    }
    addIns.Stop();
}

void ShowOptionsDialog(const outlook::ApplicationPtr& application) {
    ScopedMessageWindow messages;
    RunningAddIns addIns(application);
    addIns.OpenExplorer();
    {
        ostrevane::ModuleLoader loader;
        OptionsDialog dialog(application);
        if (dialog.AddRegisteredPages(loader) == 0) {
            throw platform::Error(
                "no property page is registered; register one with 'ostrevane module install'");
        }
        // Shown without a modal loop of its own, so the windows the pages
        // open beside it stay usable.
        QObject::connect(&dialog, &QDialog::finished, [] { QCoreApplication::quit(); });
        dialog.show();
        QApplication::exec();
    }
    addIns.Stop();
}

}  // namespace host
