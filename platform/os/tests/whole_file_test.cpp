#include "platform/os/whole_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/testkit/testkit.h"

namespace {

namespace fs = std::filesystem;

// Each file gives its bytes back unchanged, or raises with the real cause.
TEST(WholeFileTest, GivesTheBytesOrTheRealCause) {
    testkit::TempHome home;
    const std::string bytes("<a>\r\n\0\xFF\n", 8);
    const std::string big(200000, 'x');
    const struct {
        const char* name;                    // below the home folder
        std::optional<std::string> content;  // nothing: no file
        bool folder;
        std::string error;   // empty: the read succeeds
        const char* linkTo;  // nullptr: no link
        bool fifo = false;
    } cases[] = {
        {"empty", "", false, "", nullptr},
        {"bytes", bytes, false, "", nullptr},
        {"big", big, false, "", nullptr},
        {"missing", std::nullopt, false, "File not found: <path>", nullptr},
        {"empty/below", std::nullopt, false, "File not found: <path>", nullptr},
        {"folder", std::nullopt, true, "Cannot read <path>: Is a directory", nullptr},
        // Neither blocks nor reads without end.
        {"fifo", std::nullopt, false, "Cannot read <path>: Not a regular file", nullptr, true},
        {"link to fifo", std::nullopt, false, "Cannot read <path>: Not a regular file", "fifo"},
        {"link to a device", std::nullopt, false, "Cannot read <path>: Not a regular file",
         "/dev/zero"},
        {"link to bytes", std::nullopt, false, "", "bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = home.Path() / c.name;
        if (c.folder) {
            fs::create_directories(file);
        } else if (c.fifo) {
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        } else if (c.linkTo) {
            fs::create_symlink(c.linkTo, file);
        } else if (c.content) {
            std::ofstream(file, std::ios::binary) << *c.content;
        }
        if (c.error.empty()) {
            EXPECT_EQ(platform::ReadWholeFile(file), c.content ? *c.content : bytes);
            continue;
        }
        std::string error = c.error;
        error.replace(error.find("<path>"), 6, file.string());
        try {
            platform::ReadWholeFile(file);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), error);
        }
    }
}

}  // namespace
