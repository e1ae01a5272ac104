// Reads and writes per second of the settings store, one read's time, and
// read-all of a 10,000-key section, on a fresh store in a temporary home.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/settings/settings_store.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int main() {
    auto home =
        std::filesystem::temp_directory_path() / ("plovanex-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(home);
    setenv("OSTREVANE_HOME", home.c_str(), 1);
    auto& store = platform::settings::Default();

    constexpr int kKeys = 10000;
    std::vector<std::string> keys;
    for (int i = 0; i < kKeys; ++i) {
        keys.push_back("Key" + std::to_string(i));
    }

    auto start = Clock::now();
    for (const auto& key : keys) {
        store.Write("Ostrevane", "Bench", key, "value of " + key);
    }
    double writesPerSecond = kKeys / Seconds(Clock::now() - start);

    std::mt19937 random(42);
    std::uniform_int_distribution<int> pick(0, kKeys - 1);
    constexpr int kReads = 200000;
    std::size_t checksum = 0;
    start = Clock::now();
    for (int i = 0; i < kReads; ++i) {
        checksum += store.Read("Ostrevane", "Bench", keys[pick(random)], "").size();
    }
    double readSeconds = Seconds(Clock::now() - start);
    double readsPerSecond = kReads / readSeconds;
    double readMicros = readSeconds / kReads * 1e6;

    std::vector<double> readAllMillis;
    for (int i = 0; i < 20; ++i) {
        start = Clock::now();
        auto all = store.ReadAll("Ostrevane", "Bench");
        readAllMillis.push_back(Seconds(Clock::now() - start) * 1e3);
        checksum += all ? all->size() : 0;
    }
    std::sort(readAllMillis.begin(), readAllMillis.end());
    double readAllMedian = readAllMillis[readAllMillis.size() / 2];

    // The same right after a write elsewhere in the file, when nothing kept
    // from before may be trusted and every read goes to the database.
    constexpr int kFreshReads = 2000;
    double freshReadSeconds = 0;
    for (int i = 0; i < kFreshReads; ++i) {
        store.Write("Ostrevane", "Other", "Counter", std::to_string(i));
        start = Clock::now();
        checksum += store.Read("Ostrevane", "Bench", keys[pick(random)], "").size();
        freshReadSeconds += Seconds(Clock::now() - start);
    }
    double freshReadMicros = freshReadSeconds / kFreshReads * 1e6;
    std::vector<double> freshReadAllMillis;
    for (int i = 0; i < 20; ++i) {
        store.Write("Ostrevane", "Other", "Counter", std::to_string(i));
        start = Clock::now();
        auto all = store.ReadAll("Ostrevane", "Bench");
        freshReadAllMillis.push_back(Seconds(Clock::now() - start) * 1e3);
        checksum += all ? all->size() : 0;
    }
    std::sort(freshReadAllMillis.begin(), freshReadAllMillis.end());
    double freshReadAllMedian = freshReadAllMillis[freshReadAllMillis.size() / 2];

    std::printf("settings store: %s\n", store.File().c_str());
    std::printf("writes per second           %10.0f\n", writesPerSecond);
    std::printf("reads per second            %10.0f\n", readsPerSecond);
    std::printf("one read                    %10.2f us   (target < 20 us)   %s\n", readMicros,
                readMicros < 20 ? "met" : "MISSED");
    std::printf("read-all of %d keys     %10.2f ms   (target < 20 ms)   %s\n", kKeys, readAllMedian,
                readAllMedian < 20 ? "met" : "MISSED");
    std::printf("after a write elsewhere:\n");
    std::printf("one read                    %10.2f us   (target < 20 us)   %s\n", freshReadMicros,
                freshReadMicros < 20 ? "met" : "MISSED");
    std::printf("read-all of %d keys     %10.2f ms   (target < 20 ms)   %s\n", kKeys,
                freshReadAllMedian, freshReadAllMedian < 20 ? "met" : "MISSED");
    std::printf("(checksum %zu)\n", checksum);

    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    return 0;
}
