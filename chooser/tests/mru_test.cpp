// The recently used list in the settings store.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "chooser/chooser_common.h"
#include "chooser/mru_list.h"
#include "chooser/tests/chooser_fixture.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "platform/settings/settings_store.h"

namespace chooser_test {
namespace {

namespace keys = common::keys;
using ::testing::Contains;
using ::testing::ElementsAreArray;

class MruTest : public ChooserTest {
  protected:
    // Entries 1 to 15 as "path|entry id", "" for an empty one.
    void Store(const std::vector<std::string>& paths) {
        for (int n = 1; n <= keys::MRUCount; ++n) {
            const std::string path =
                n <= static_cast<int>(paths.size()) ? paths[static_cast<std::size_t>(n - 1)] : "";
            Set(keys::MRUFolder(n), path);
            Set(keys::MRUEntryId(n), path.empty() ? "" : "E" + path);
            Set(keys::MRUStoreId(n), path.empty() ? "" : "S" + path);
        }
    }
    std::vector<std::string> Stored() {
        std::vector<std::string> out;
        for (int n = 1; n <= keys::MRUCount; ++n) {
            const std::string path = Get(keys::MRUFolder(n));
            EXPECT_EQ(Get(keys::MRUEntryId(n)), path.empty() ? "" : "E" + path) << n;
            EXPECT_EQ(Get(keys::MRUStoreId(n)), path.empty() ? "" : "S" + path) << n;
            out.push_back(path);
        }
        return out;
    }
    static std::vector<std::string> Padded(std::vector<std::string> paths) {
        paths.resize(keys::MRUCount);
        return paths;
    }
    static std::vector<std::string> Numbered(int first, int last) {
        std::vector<std::string> paths;
        for (int i = first; i <= last; ++i) {
            paths.push_back("\\\\S\\F" + std::to_string(i));
        }
        return paths;
    }
};

TEST_F(MruTest, CommitUpdatesTheList) {
    struct Case {
        const char* name;
        std::vector<std::string> before;
        std::string chosen;
        std::vector<std::string> after;
    };
    const auto full = Numbered(1, 15);
    std::vector<std::string> withGap = Numbered(1, 5);
    withGap[2] = "";
    std::vector<std::string> newFirst = {"\\\\S\\New"};
    for (int i = 1; i <= 14; ++i) {
        newFirst.push_back("\\\\S\\F" + std::to_string(i));
    }
    const std::vector<Case> cases = {
        {"listed folder keeps the order", full, "\\\\S\\F7", full},
        {"listed, compared without regard to case", full, "\\\\s\\f2", full},
        {"new folder goes first, the oldest drops", full, "\\\\S\\New", newFirst},
        {"the scan stops at an empty entry",
         withGap,
         "\\\\S\\F5",
         {"\\\\S\\F5", "\\\\S\\F1", "\\\\S\\F2", "", "\\\\S\\F4", "\\\\S\\F5"}},
        {"empty list", {}, "\\\\S\\F1", {"\\\\S\\F1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Store(c.before);
        std::string last = "old";
        plovanex::chooser::AddToMRUList(c.chosen, "E" + c.chosen, "S" + c.chosen, last);
        EXPECT_EQ(last, c.chosen);
        auto after = Stored();
        // A listed folder keeps its own ids; a new one carries those given.
        EXPECT_THAT(after, ElementsAreArray(Padded(c.after)));
    }
    EXPECT_THAT(Lines("ChooseOutlookFolder"), Contains("Did not find it in the list...adding it"));
}

// Entries whose path no longer resolves drop out and the later ones move up.
TEST_F(MruTest, PurgeDropsWhatDoesNotResolve) {
    std::vector<std::string> list = {
        kGlobex, "\\\\Personal Folders\\Gone", kApollo, "\\\\Nowhere\\Inbox", kAcme, kInbox};
    Store(list);
    auto session = plovanex::chooser::NewSession("11", app->GetNamespace("MAPI"));
    plovanex::chooser::PurgeMRUList(session);
    EXPECT_THAT(Stored(), ElementsAreArray(Padded({kGlobex, kApollo, kAcme, kInbox})));

    // A list that is empty already costs no writes: no key is made.
    testkit::TempHome fresh;
    plovanex::chooser::PurgeMRUList(plovanex::chooser::NewSession("11", app->GetNamespace("MAPI")));
    EXPECT_FALSE(platform::settings::Default().Find(plovanex::Helper().SettingsAppName(),
                                                    keys::SectionPlovanex, keys::MRUFolder(15)));
}

}  // namespace
}  // namespace chooser_test
