// Folder paths as listings write them and as input reads them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/listing.h"
#include "platform/error.h"

namespace {

using ::testing::HasSubstr;

// Every printed path reads back as the levels it was written from.
TEST(ListedPathTest, ReadsBackWhatItWrites) {
    const struct {
        std::vector<std::string> levels;
        std::string written;
    } cases[] = {
        {{"Personal Folders", "Inbox"}, "\\\\Personal Folders\\Inbox"},
        {{"Personal Folders"}, "\\\\Personal Folders"},
        {{"P", "T\there"}, "\\\\P\\T\\\\x09here"},
        {{"P", "Ac\\me"}, "\\\\P\\Ac\\\\x5Cme"},
        {{"P", "\\"}, "\\\\P\\\\\\x5C"},
        {{"P", "D\x7F", "x"}, "\\\\P\\D\\\\x7F\\x"},
        {{"P", "", "x09here"}, "\\\\P\\\\\\x\\x09here"},
        {{"P", "", ""}, "\\\\P\\\\\\x\\\\\\x"},
        {{""}, "\\\\\\\\x"},
        {{"", "\n"}, "\\\\\\\\x\\\\\\x0A"},
        {{"P", "x41"}, "\\\\P\\x41"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        EXPECT_EQ(host::ListedPath(c.levels), c.written);
        EXPECT_EQ(host::ParseListedPath(c.written), c.levels);
    }
    // Input may leave out the leading backslashes and write hex in lower case.
    EXPECT_EQ(host::ParseListedPath("P\\a\\\\x5cb"), (std::vector<std::string>{"P", "a\\b"}));
}

TEST(ListedPathTest, MalformedPathIsAClearError) {
    for (const char* path : {"\\\\P\\a\\\\xZZ", "\\\\P\\a\\\\", "\\\\P\\a\\\\x4", "\\\\P\\a\\\\y41",
                             "\\\\P\\a\\", "\\\\P\\\\a", "\\\\P\\a\\\\x\\b", "\\\\P\\\\\\x41\\\\x",
                             "\\\\P\\\\\\\\x", "\\P\\a", "\\\\", ""}) {
        SCOPED_TRACE(path);
        try {
            host::ParseListedPath(path);
            ADD_FAILURE() << "read as a path";
        } catch (const platform::Error& e) {
            EXPECT_THAT(e.what(), HasSubstr("malformed folder path '" + std::string(path) + "'"));
        }
    }
}

}  // namespace
