// One of several processes that write the settings store at once:
// settings_hammer ID COUNT. Writes COUNT keys of its own and the shared
// keys, reads each own key back, rewrites its first ten keys, and exits 1
// with the error on stderr at the first failure or wrong value.

#include <iostream>
#include <string>

#include "platform/settings/settings_store.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: settings_hammer ID COUNT\n";
        return 2;
    }
    const std::string id = argv[1];
    const int count = std::stoi(argv[2]);
    try {
        auto& store = platform::settings::Default();
        for (int i = 0; i < count; ++i) {
            const std::string key = "p" + id + "k" + std::to_string(i);
            store.Write("Ostrevane", "Hammer", key, "v" + std::to_string(i));
            store.Write("Ostrevane", "Hammer", "Shared" + std::to_string(i % 8),
                        "p" + id + "i" + std::to_string(i));
            if (store.Read("Ostrevane", "Hammer", key, "") != "v" + std::to_string(i)) {
                std::cerr << "read back a wrong value of " << key << '\n';
                return 1;
            }
            if (i % 50 == 0 && !store.ReadAll("Ostrevane", "Hammer")) {
                std::cerr << "read-all found no section\n";
                return 1;
            }
        }
        for (int i = 0; i < 10 && i < count; ++i) {
            store.Write("Ostrevane", "Hammer", "p" + id + "k" + std::to_string(i), "final");
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
