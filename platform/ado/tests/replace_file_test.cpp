#include "platform/ado/replace_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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
