#include "platform/ado/replace_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/testkit/testkit.h"

namespace {

namespace fs = std::filesystem;

class ReplaceFileTest : public testkit::HomeTest {
  protected:
    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::size_t Entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(home.Path()), fs::directory_iterator()));
    }
};

TEST_F(ReplaceFileTest, ReplacesAndKeepsPermissions) {
    const fs::path file = home.Path() / "MyFolderList.xml";
    platform::ReplaceFile(file, "first");
    EXPECT_EQ(Read(file), "first");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::size_t entries = Entries();
    platform::ReplaceFile(file, std::string("second\0with nul", 15));
    EXPECT_EQ(Read(file), std::string("second\0with nul", 15));
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(), entries);
}

TEST_F(ReplaceFileTest, FailureLeavesTheOldFile) {
    // A folder in the file's place cannot be replaced by a file.
    const fs::path folder = home.Path() / "MyFolderList.xml";
    fs::create_directory(folder);
    const std::size_t entries = Entries();
    EXPECT_THROW(platform::ReplaceFile(folder, "text"), platform::Error);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(Entries(), entries);
    EXPECT_THROW(platform::ReplaceFile(home.Path() / "missing" / "f.xml", "text"), platform::Error);
}

}  // namespace

// Only the new files of that owner go; another writer's may be in use.
TEST_F(ReplaceFileTest, LeftoverFilesOfTheOwnerAreRemoved) {
    const fs::path file = home.Path() / "MyFolderList.xml";
    platform::ReplaceFile(file, "index", "Kestrune");
    const std::vector<std::string> kept = {"MyFolderList.xml", ".MyFolderList.xml.a1B2c3",
                                           ".MyFolderList.xml.Kestrune.toolong",
                                           ".Other.xml.Kestrune.a1B2c3"};
    for (const auto& name : kept) {
        std::ofstream(home.Path() / name) << "x";
    }
    std::ofstream(home.Path() / ".MyFolderList.xml.Kestrune.a1B2c3") << "part of an ind";
    std::ofstream(home.Path() / ".MyFolderList.xml.Kestrune.Zz9Yy8") << "part";

    EXPECT_EQ(platform::RemoveLeftoverFiles(file, "Kestrune"), 2);

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(home.Path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    auto expected = kept;
    std::sort(expected.begin(), expected.end());
    std::erase_if(names, [](const std::string& n) { return n.ends_with(".log"); });
    EXPECT_EQ(names, expected);
    EXPECT_EQ(Read(file), "x");
}
