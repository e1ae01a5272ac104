// plovanex_screens writes one picture per window, none of them blank.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "platform/testkit/testkit.h"

namespace {

namespace fs = std::filesystem;

// Whether the picture holds more than one colour.
bool HasContent(const QImage& image) {
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != first) {
                return true;
            }
        }
    }
    return false;
}

TEST(Screens, EveryWindowIsWrittenAndNotBlank) {
    testkit::TempHome home;
    const fs::path folder = home.Path() / "screens";
    auto run = testkit::RunProgram(SCREENS_BIN, {folder.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    std::set<std::string> printed;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        printed.insert(fs::path(line).filename().string());
    }
    std::set<std::string> written;
    for (const auto& entry : fs::directory_iterator(folder)) {
        written.insert(entry.path().filename().string());
    }
    EXPECT_EQ(printed, written);
    for (const char* expected : {"kestrune.png", "explorer.png", "inspector.png"}) {
        EXPECT_TRUE(written.count(expected)) << expected;
    }
    for (const auto& name : written) {
        SCOPED_TRACE(name);
        QImage image(QString::fromStdString((folder / name).string()));
        ASSERT_FALSE(image.isNull());
        EXPECT_GT(image.width(), 0);
        EXPECT_TRUE(HasContent(image));
    }
}

}  // namespace
