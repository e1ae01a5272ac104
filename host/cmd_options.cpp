#include <QApplication>

#include "host/commands.h"
#include "host/gui.h"
#include "host/options_dialog.h"
#include "host/profile_access.h"
#include "platform/error.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/platform_dialogs.h"

namespace host {

namespace {

void ShowOptions(const Options& options) {
    auto profile = OpenProfile(options.profile);
    auto application = outlook::CreateApplication(profile, options.outlookVersion);
    Gui gui(/*offscreen=*/false);
    if (!Gui::OnScreen()) {
        throw platform::Error("the options dialog needs a display; none is set");
    }
    platform::widgets::InstallQtDialogs();
    ostrevane::ModuleLoader loader;
    OptionsDialog dialog(application);
    if (dialog.AddRegisteredPages(loader) == 0) {
        throw platform::Error(
            "no property page is registered; register one with 'ostrevane module install'");
    }
    // Shown without a modal loop of its own, so the windows the pages open
    // beside it stay usable.
    QObject::connect(&dialog, &QDialog::finished, [] { QCoreApplication::quit(); });
    dialog.show();
    QApplication::exec();
}

}  // namespace

void AddOptionsCommand(CLI::App& app, Options& options) {
    auto* command = app.add_subcommand(
        "options",
        "Show the options dialog: one tab per registered property page, OK, Cancel and Apply");
    command->callback([&options] { ShowOptions(options); });
}

}  // namespace host
