#include <iostream>

#include "host/commands.h"
#include "platform/settings/settings_store.h"

namespace host {

// settings list|get|set|delete APPLICATION SECTION [KEY [VALUE]], like a
// registry editor over the settings store.
void AddSettingsCommands(CLI::App& app, Options& /*options*/) {
    auto* settings = app.add_subcommand("settings", "Read and write the settings store");
    settings->require_subcommand(1);
    struct Args {
        std::string application, section, key, value;
    };
    auto args = std::make_shared<Args>();
    auto addNames = [&](CLI::App* cmd) {
        cmd->add_option("APPLICATION", args->application, "Application name")->required();
        cmd->add_option("SECTION", args->section, "Section name")->required();
    };

    auto* list = settings->add_subcommand("list", "Print every key of a section: key TAB value");
    addNames(list);
    list->callback([args] {
        auto all = platform::settings::Default().ReadAll(args->application, args->section);
        for (const auto& s : all.value_or(std::vector<platform::settings::Setting>{})) {
            std::cout << s.key << '\t' << s.value << '\n';
        }
    });

    auto* get = settings->add_subcommand("get", "Print one value; exit 1 when it is absent");
    addNames(get);
    get->add_option("KEY", args->key, "Key name")->required();
    get->callback([args] {
        auto value =
            platform::settings::Default().Find(args->application, args->section, args->key);
        if (!value) {
            throw CLI::RuntimeError("no key " + args->key, 1);
        }
        std::cout << *value << '\n';
    });

    auto* set = settings->add_subcommand("set", "Write one value");
    addNames(set);
    set->add_option("KEY", args->key, "Key name")->required();
    set->add_option("VALUE", args->value, "Value")->required();
    set->callback([args] {
        platform::settings::Default().Write(args->application, args->section, args->key,
                                            args->value);
    });

    auto* del = settings->add_subcommand("delete", "Remove one key");
    addNames(del);
    del->add_option("KEY", args->key, "Key name")->required();
    del->callback([args] {
        platform::settings::Default().Delete(args->application, args->section, args->key);
    });
}

}  // namespace host
