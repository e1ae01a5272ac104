// The search over the folder index.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QListView>
#include <filesystem>

#include "chooser/tests/chooser_fixture.h"
#include "common/settings_keys.h"
#include "platform/ado/recordset.h"

namespace chooser_test {
namespace {

namespace keys = common::keys;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

class SearchTest : public ChooserTest {
  protected:
    void SetUp() override {
        kit.Folder("\\\\Personal Folders\\R&D").Folder("\\\\Personal Folders\\O'Brien");
        kit.Folder("\\\\Personal Folders\\Clients\\Tom's R&D");
        BuildIndex();
    }
    // Every path of the index, in file order.
    std::vector<std::string> IndexPaths() {
        platform::ado::Recordset rs;
        rs.Open(IndexPath(), "Provider=MSPersist;");
        std::vector<std::string> paths;
        for (; !rs.Eof(); rs.MoveNext()) {
            std::string path = rs.Fields("FolderPath").Value();
            for (auto at = path.find("Chr$(39)"); at != std::string::npos;
                 at = path.find("Chr$(39)")) {
                path.replace(at, 8, "'");
            }
            paths.push_back(path);
        }
        return paths;
    }
};

// Names holding "&" and "'" are found in their stored form and shown with
// both characters back; only names are searched, without regard to case.
TEST_F(SearchTest, TypingNarrowsTheListByFolderName) {
    ASSERT_TRUE(Ask());
    QAbstractItemModelTester tester(Control<QListView>("lstSearchResults").model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    ShowTab(1);
    EXPECT_THAT(SearchLines(), ElementsAreArray(IndexPaths()));
    struct Case {
        const char* typed;
        std::vector<std::string> listed;
    } cases[] = {
        {"R&D", {"\\\\Personal Folders\\Clients\\Tom's R&D", "\\\\Personal Folders\\R&D"}},
        {"O'Brien", {"\\\\Personal Folders\\O'Brien"}},
        {"'s r&", {"\\\\Personal Folders\\Clients\\Tom's R&D"}},
        {"clients", {"\\\\Personal Folders\\Clients"}},
        {"no such folder", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        TypeSearch(c.typed);
        EXPECT_EQ(SearchLines(), c.listed);
    }
    TypeSearch("");
    EXPECT_THAT(SearchLines(), ElementsAreArray(IndexPaths()));
    EXPECT_THAT(Reports(), IsEmpty());
}

// A keystroke filters what was read at the show; a new index comes in only
// when LoadRefreshWanted asks for it.
TEST_F(SearchTest, IndexIsReadAtAShowThatAsksForIt) {
    ASSERT_TRUE(Ask());
    Click("cmdCancel");
    kit.Folder("\\\\Personal Folders\\Fresh");
    BuildIndex();
    std::filesystem::rename(IndexPath(), IndexPath() + ".new");
    ASSERT_TRUE(Ask());
    ShowTab(1);
    TypeSearch("Fresh");
    EXPECT_THAT(SearchLines(), IsEmpty());
    Click("cmdSelectedFolderCancel");

    std::filesystem::rename(IndexPath() + ".new", IndexPath());
    Set(keys::LoadRefreshWanted, "1");
    ASSERT_TRUE(Ask());
    EXPECT_EQ(Get(keys::LoadRefreshWanted), "0");
    TypeSearch("Fresh");
    EXPECT_THAT(SearchLines(), ElementsAre("\\\\Personal Folders\\Fresh"));
    EXPECT_THAT(Reports(), IsEmpty());
}

TEST_F(SearchTest, ReloadWritesTheFlagWhateverTheLoadGives) {
    Set(keys::LoadRefreshWanted, "1");
    EXPECT_TRUE(chooser->ReloadFolderList());
    EXPECT_EQ(Get(keys::LoadRefreshWanted), "0");
    std::filesystem::remove(IndexPath());
    Set(keys::LoadRefreshWanted, "1");
    EXPECT_FALSE(chooser->ReloadFolderList());
    EXPECT_EQ(Get(keys::LoadRefreshWanted), "0");
    // A load after a failed one does not fail on the unopened recordset.
    BuildIndex();
    EXPECT_TRUE(chooser->ReloadFolderList());
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_EQ(Reports()[0].source, "Plovanex.LoadFolderList");
}

}  // namespace
}  // namespace chooser_test
