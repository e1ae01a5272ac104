// ostrevane: the host program. It loads the system's libraries, drives them
// through IModuleAPI, offers the mail client's windows and a command line.

#include <CLI/CLI.hpp>

#include <iostream>
#include <regex>

#include "host/commands.h"
#include "host/profile_access.h"
#include "platform/ostrevane/sink.h"
#include "platform/widgets/offscreen.h"

int main(int argc, char** argv) {
    ostrevane::InstallSink(ostrevane::MakeStderrSink());
    platform::widgets::UseOffscreenWithoutDisplay();
    CLI::App app{
        "ostrevane: host of the Plovanex add-in, with a command line over its mail "
        "profiles and settings"};
    app.require_subcommand(1);
    // The shared options may also follow the subcommand.
    app.fallthrough();
    host::Options options;
    options.outlookVersion = host::kDefaultOutlookVersion;
    app.add_option("--profile", options.profile, "Mail profile to open")->capture_default_str();
    app.add_option("--outlook-version", options.outlookVersion,
                   "The mail client's Version text, such as 9.0.0.3821 or 12.0.4518")
        ->capture_default_str()
        ->check(CLI::Validator(
            [](const std::string& text) -> std::string {
                static const std::regex kVersion("[0-9]{1,2}(\\.[0-9]+)*");
                return std::regex_match(text, kVersion)
                           ? ""
                           : "'" + text + "' is not a version such as 11.0.8217";
            },
            "VERSION"));
    host::AddSettingsCommands(app, options);
    host::AddDemoCommand(app, options);
    host::AddProfileCommands(app, options);
    host::AddModuleCommands(app, options);
    host::AddOpenCommand(app, options);
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
