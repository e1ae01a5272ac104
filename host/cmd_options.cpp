#include "host/client_windows.h"
#include "host/commands.h"
#include "host/gui.h"
#include "host/profile_access.h"
#include "platform/error.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/platform_dialogs.h"

namespace host {

namespace {

void RunOptions(const Options& options) {
    auto profile = OpenProfile(options.profile);
    auto application = outlook::CreateApplication(profile, options.outlookVersion);
    Gui gui(/*offscreen=*/false);
    if (!Gui::OnScreen()) {
        throw platform::Error("the options dialog needs a display; none is set");
    }
    platform::widgets::InstallQtDialogs();
    ShowOptionsDialog(application);
}

}  // namespace

void AddOptionsCommand(CLI::App& app, Options& options) {
    auto* command = app.add_subcommand(
        "options",
        "Show the options dialog: one tab per registered property page, OK, Cancel and Apply");
    command->callback([&options] { RunOptions(options); });
}

}  // namespace host
