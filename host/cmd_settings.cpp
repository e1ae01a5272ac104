#include <iostream>

#include "host/commands.h"
#include "platform/settings/settings_store.h"

namespace host {

namespace {

// Tells what went wrong and ends the program with exit code 1.
[[noreturn]] void Fail(const std::string& message) {
    std::cerr << "ostrevane: " << message << '\n';
    throw CLI::RuntimeError(1);
}

}  // namespace

// settings list|get|set|delete APPLICATION SECTION [KEY [VALUE]], like a
// registry editor over the settings store.
void AddSettingsCommands(CLI::App& app, Options& /*options*/) {
    auto* settings =
        app.add_subcommand("settings", "Read and write the settings store, like a registry editor");
    settings->footer(
        "  list APPLICATION SECTION            every key of the section, one line each:\n"
        "                                      key, TAB, value, in the store's order\n"
        "  get APPLICATION SECTION KEY         the value alone; exit 1 when absent\n"
        "  set APPLICATION SECTION KEY VALUE   create or replace the value\n"
        "  delete APPLICATION SECTION KEY      remove the key; exit 1 when absent\n"
        "Names ignore case. Put -- before a value that begins with a dash.");
    // At most one; none is told apart so that an unknown word is named.
    settings->require_subcommand(0, 1);
    settings->callback([settings] {
        if (settings->get_subcommands().empty()) {
            Fail("settings needs one of list, get, set, delete; see 'ostrevane settings --help'");
        }
    });
    struct Args {
        std::string application, section, key, value;
    };
    auto args = std::make_shared<Args>();
    auto addNames = [&](CLI::App* cmd) {
        cmd->add_option("APPLICATION", args->application, "Application name")->required();
        cmd->add_option("SECTION", args->section, "Section name")->required();
    };

    auto* list = settings->add_subcommand(
        "list",
        "Print every key of a section, one line each: key TAB value; exit 1 when the "
        "section is absent");
    addNames(list);
    list->callback([args] {
        auto all = platform::settings::Default().ReadAll(args->application, args->section);
        if (!all) {
            Fail("no section " + args->section + " of application " + args->application);
        }
        for (const auto& s : *all) {
            std::cout << s.key << '\t' << s.value << '\n';
        }
    });

    auto* get = settings->add_subcommand("get", "Print one value alone; exit 1 when it is absent");
    addNames(get);
    get->add_option("KEY", args->key, "Key name")->required();
    get->callback([args] {
        auto value =
            platform::settings::Default().Find(args->application, args->section, args->key);
        if (!value) {
            Fail("no key " + args->key + " in section " + args->section + " of application " +
                 args->application);
        }
        std::cout << *value << '\n';
    });

    auto* set = settings->add_subcommand("set", "Create or replace one value");
    addNames(set);
    set->add_option("KEY", args->key, "Key name")->required();
    set->add_option("VALUE", args->value, "Value")->required();
    set->callback([args] {
        platform::settings::Default().Write(args->application, args->section, args->key,
                                            args->value);
    });

    auto* del = settings->add_subcommand("delete", "Remove one key; exit 1 when it is absent");
    addNames(del);
    del->add_option("KEY", args->key, "Key name")->required();
    del->callback([args] {
        platform::settings::Default().Delete(args->application, args->section, args->key);
    });
}

}  // namespace host
