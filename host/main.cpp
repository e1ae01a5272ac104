// ostrevane: the host program. It loads the system's libraries, drives them
// through IModuleAPI, offers the mail client's windows and a command line.

#include <CLI/CLI.hpp>

#include <iostream>

#include "host/commands.h"
#include "platform/ostrevane/sink.h"

int main(int argc, char** argv) {
    ostrevane::InstallSink(ostrevane::MakeStderrSink());
    CLI::App app{
        "ostrevane: host of the Plovanex add-in, with a command line over its mail "
        "profiles and settings"};
    app.require_subcommand(1);
    host::Options options;
    app.add_option("--profile", options.profile, "Mail profile to open")->capture_default_str();
    host::AddSettingsCommands(app, options);
    host::AddDemoCommand(app, options);
    app.footer(
        "Subcommands:\n"
        "  settings list|get|set|delete APPLICATION SECTION [KEY [VALUE]]\n"
        "      read and write the settings store under OSTREVANE_HOME\n"
        "  demo\n"
        "      run the demonstration on the default profile\n"
        "Run 'ostrevane SUBCOMMAND --help' for the details of one.");
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
