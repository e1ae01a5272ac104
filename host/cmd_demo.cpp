#include <iostream>

#include "common/settings_keys.h"
#include "host/commands.h"
#include "platform/settings/settings_store.h"

namespace host {

// The demo grows with the system: for now it shows the settings store at work.
void AddDemoCommand(CLI::App& app, Options& /*options*/) {
    auto* demo = app.add_subcommand("demo", "Run the demonstration on the default profile");
    demo->callback([] {
        auto& store = platform::settings::Default();
        using namespace common::keys;
        store.Write("Ostrevane", SectionPlovanex, Order(1), Order1FirstRun);
        std::cout << "settings store: " << store.File().string() << '\n';
        std::cout << Order(1) << " = "
                  << store.Read("Ostrevane", SectionPlovanex, Order(1),
                                std::to_string(OrderDefaultAddIn))
                  << '\n';
    });
}

}  // namespace host
