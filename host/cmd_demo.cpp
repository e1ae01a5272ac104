#include <iostream>

#include "host/commands.h"
#include "platform/settings/settings_store.h"

namespace host {

// The demo grows with the system: for now it shows the settings store at work.
void AddDemoCommand(CLI::App& app, Options& /*options*/) {
    auto* demo = app.add_subcommand("demo", "Run the demonstration on the default profile");
    demo->callback([] {
        auto& store = platform::settings::Default();
        store.Write("Ostrevane", "Plovanex", "Order1", "1");
        std::cout << "settings store: " << store.File().string() << '\n';
        std::cout << "Order1 = " << store.Read("Ostrevane", "Plovanex", "Order1", "-1") << '\n';
    });
}

}  // namespace host
