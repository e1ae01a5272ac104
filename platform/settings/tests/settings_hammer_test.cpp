#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>

#include "platform/settings/settings_store.h"
#include "platform/testkit/testkit.h"

namespace {

class SettingsHammerTest : public testkit::HomeTest {};

// Several processes write disjoint and shared keys at once: every write is
// there afterwards, in its place, and no process saw an error.
TEST_F(SettingsHammerTest, NoWriteIsLostAndNoErrorSurfaces) {
    constexpr int kProcesses = 6;
    constexpr int kKeys = 300;
    // Read before the others write: what this process kept must not outlive
    // their writes.
    const std::string firstKeys[] = {"p0k0", "p0k20", "Shared0", "Shared7"};
    for (const auto& key : firstKeys) {
        EXPECT_EQ(platform::settings::GetSetting("Ostrevane", "Hammer", key, "absent"), "absent");
    }
    std::vector<std::unique_ptr<testkit::ChildProgram>> children;
    for (int p = 0; p < kProcesses; ++p) {
        children.push_back(std::make_unique<testkit::ChildProgram>(
            SETTINGS_HAMMER, std::vector<std::string>{std::to_string(p), std::to_string(kKeys)}));
    }
    for (int p = 0; p < kProcesses; ++p) {
        auto result = children[p]->Wait();
        EXPECT_EQ(result.exitCode, 0) << "process " << p << ": " << result.err;
        EXPECT_EQ(result.err, "") << "process " << p;
    }

    auto all = platform::settings::GetAllSettings("Ostrevane", "Hammer");
    ASSERT_TRUE(all);
    std::map<int, int> nextIndex;  // per process: the index its next key must have
    int shared = 0;
    const std::regex own("p([0-9]+)k([0-9]+)");
    const std::regex sharedValue("p[0-9]+i[0-9]+");
    for (const auto& s : *all) {
        std::smatch m;
        if (std::regex_match(s.key, m, own)) {
            int p = std::stoi(m[1]);
            int i = std::stoi(m[2]);
            // Each process's keys stand in the order it created them.
            EXPECT_EQ(i, nextIndex[p]++) << s.key;
            EXPECT_EQ(s.value, i < 10 ? "final" : "v" + std::to_string(i)) << s.key;
        } else {
            ++shared;
            EXPECT_TRUE(std::regex_match(s.value, sharedValue)) << s.key << " = " << s.value;
        }
    }
    EXPECT_EQ(shared, 8);
    for (const auto& s : *all) {
        EXPECT_EQ(platform::settings::GetSetting("Ostrevane", "Hammer", s.key, "absent"), s.value)
            << s.key;
    }
    EXPECT_EQ(all->size(), static_cast<std::size_t>(kProcesses * kKeys + 8));
    for (int p = 0; p < kProcesses; ++p) {
        EXPECT_EQ(nextIndex[p], kKeys) << "process " << p;
    }
}

}  // namespace
