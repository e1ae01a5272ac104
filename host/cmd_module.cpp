#include <iostream>

#include "host/commands.h"
#include "host/engine.h"
#include "platform/error.h"

namespace host {

void AddModuleCommands(CLI::App& app, Options& /*options*/) {
    auto* module = app.add_subcommand("module", "Register module libraries");
    module->require_subcommand(1);
    auto file = std::make_shared<std::string>();
    auto* install = module->add_subcommand(
        "install",
        "Register a module library's classes; print the add-ins the host will drive and the "
        "property pages its options dialog will show");
    install->add_option("PATH", *file, "The module library, such as libPlovanex.so")->required();
    install->callback([file] {
        std::vector<std::string> pages;
        auto addIns = InstallModule(*file, &pages);
        if (addIns.empty() && pages.empty()) {
            throw platform::Error("no add-in or property page was registered from " + *file);
        }
        for (const auto& name : addIns) {
            std::cout << name << '\n';
        }
        for (const auto& name : pages) {
            std::cout << name << " (property page)\n";
        }
    });
}

}  // namespace host
