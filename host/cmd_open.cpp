#include "host/client_windows.h"
#include "host/commands.h"
#include "host/gui.h"
#include "host/profile_access.h"
#include "platform/error.h"
#include "platform/outlook/outlook.h"
#include "platform/widgets/platform_dialogs.h"

namespace host {

namespace {

void RunExplorer(const Options& options) {
    Gui gui(/*offscreen=*/false);
    if (!Gui::OnScreen()) {
        throw platform::Error(
            "open shows the mail client's windows and needs a display: set DISPLAY or "
            "WAYLAND_DISPLAY, and leave QT_QPA_PLATFORM unset");
    }
    auto profile = OpenProfile(options.profile);
    auto application = outlook::CreateApplication(profile, options.outlookVersion);
    platform::widgets::InstallQtDialogs();
    ShowExplorer(application);
}

}  // namespace

void AddOpenCommand(CLI::App& app, Options& options) {
    auto* open = app.add_subcommand(
        "open",
        "Show the mail client's explorer on the profile, with the registered add-ins loaded; "
        "File > New Mail opens a mail window with their buttons");
    open->callback([&options] { RunExplorer(options); });
}

}  // namespace host
