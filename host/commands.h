#pragma once

#include <CLI/CLI.hpp>

namespace host {

// Options every subcommand shares.
struct Options {
    std::string profile = "Default";
    // The mail client's Version text, "11.0.8217" unless --outlook-version says.
    std::string outlookVersion;
};

// Each group of subcommands lives in a file of its own and adds itself here.
void AddSettingsCommands(CLI::App& app, Options& options);
void AddDemoCommand(CLI::App& app, Options& options);
void AddProfileCommands(CLI::App& app, Options& options);
void AddModuleCommands(CLI::App& app, Options& options);
void AddOpenCommand(CLI::App& app, Options& options);
void AddOptionsCommand(CLI::App& app, Options& options);

}  // namespace host
