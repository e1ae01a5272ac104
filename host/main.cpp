// ostrevane: the host program. It loads the system's libraries, drives them
// through IModuleAPI, offers the mail client's windows and a command line.

#include <CLI/CLI.hpp>

#include <iostream>

#include "host/commands.h"
#include "host/profile_access.h"
#include "platform/ostrevane/sink.h"

int main(int argc, char** argv) {
    ostrevane::InstallSink(ostrevane::MakeStderrSink());
    host::UseOffscreenWithoutDisplay();
    CLI::App app{
        "ostrevane: host of the Plovanex add-in, with a command line over its mail "
        "profiles and settings"};
    app.require_subcommand(1);
    host::Options options;
    app.add_option("--profile", options.profile, "Mail profile to open")->capture_default_str();
    host::AddSettingsCommands(app, options);
    host::AddDemoCommand(app, options);
    host::AddProfileCommands(app, options);
    host::AddModuleCommands(app, options);
    host::AddOptionsCommand(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    } catch (const std::exception& e) {
        std::cerr << "ostrevane: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
