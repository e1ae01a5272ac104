#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/settings_keys.h"
#include "core/tests/processor_fixture.h"
#include "platform/settings/settings_store.h"

namespace processor_test {

inline const std::string kApollo = "\\\\Personal Folders\\Projects\\Apollo";
inline const std::string kZephyr = "\\\\Personal Folders\\Projects\\Zephyr";

using Lines = std::vector<std::string>;

inline const std::string kNoFolder = "Error occurred: Could not fetch the RDO 'Move To' folder";

// The processor over the demo profile with rules written straight into the
// store, as the rule editors leave them.
class RuleTest : public ProcessorTest {
  protected:
    // The values of one target folder of a rule: stem "Keyword" or "Assoc".
    Settings RuleFolder(int key, const std::string& stem, int i, const std::string& path) {
        namespace keys = common::keys;
        const auto ids = IdsOf(path);
        return {{keys::RuleValueName(key, stem + "FolderName", i), path.substr(2)},
                {keys::RuleValueName(key, stem + "FolderEntryId", i), ids.entryId},
                {keys::RuleValueName(key, stem + "FolderStoreId", i), ids.storeId}};
    }

    // A sent item in Sent Items, its recipients resolved by the address book.
    outlook::ItemPtr Item(const testkit::ItemSpec& spec) {
        auto id = kit.Add(kSent, spec);
        return ns->GetItemFromID(kit.Profile()->Item(id).entryId);
    }

    // Empties section "Plovanex" and the capture.
    void Reset() {
        const auto app = plovanex::Helper().SettingsAppName();
        if (auto all = platform::settings::GetAllSettings(app, "Plovanex")) {
            for (const auto& setting : *all) {
                platform::settings::DeleteSetting(app, "Plovanex", setting.key);
            }
        }
        Clear();
    }

    // Files a new item by the one mode in slot 1 over these settings alone;
    // the capture then holds that run only. Gives the result and the
    // item's message id.
    std::pair<bool, std::string> Run(const std::string& mode, const Settings& settings,
                                     const testkit::ItemSpec& spec) {
        Reset();
        Apply({{"Order1", mode}});
        Apply(settings);
        auto item = Item(spec);
        const auto id = MessageId(item);
        Clear();
        const bool result = Process(item);
        return {result, id};
    }

    // Every captured line came from the mode loop, MoveIt or the mode.
    void ExpectSources(const std::string& modeSource) {
        for (const auto& line : home.Capture().Lines()) {
            const bool moveIt =
                line.text.find(" Item to ") != std::string::npos || line.text == kNoFolder;
            const bool loop =
                line.text.starts_with("Index: ") || line.text.starts_with("Entering ");
            EXPECT_EQ(line.source, moveIt ? "MoveIt"
                                   : loop ? "ProcessOneSentItem"
                                          : modeSource)
                << line.text;
        }
    }

    // The log texts between the mode's entry line and the next slot's line.
    Lines ModeLines(const std::string& entry) {
        Lines lines;
        bool inside = false;
        for (const auto& text : Texts()) {
            if (text == entry) {
                inside = true;
            } else if (text.starts_with("Index: ")) {
                inside = false;
            } else if (inside) {
                lines.push_back(text);
            }
        }
        return lines;
    }
};

inline Settings Join(std::vector<Settings> parts) {
    Settings all;
    for (auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

}  // namespace processor_test
