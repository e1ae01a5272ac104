// The windows of `open` and `options` on a running client, in-process: the
// registered add-ins started, the dialog or explorer shown, and what is left
// once it has closed.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <set>

#include "common/index_row.h"
#include "host/client_windows.h"
#include "host/engine.h"
#include "platform/ado/recordset.h"
#include "platform/os/os.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/outlook/outlook.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/qt_application.h"
#include "platform/testkit/qt_windows.h"
#include "platform/testkit/testkit.h"

namespace {

namespace fs = std::filesystem;

using testkit::Press;

// Runs `use` on the shown window of that name once the event loop runs; the
// loop is ended when the window is missing, so that no test hangs.
void WhenShown(const char* name, std::function<void(QWidget&)> use) {
    QTimer::singleShot(0, [name, use = std::move(use)] {
        if (QWidget* window = testkit::ShownWindow(name)) {
            use(*window);
        } else {
            ADD_FAILURE() << "no window " << name;
            QCoreApplication::quit();
        }
    });
}

class ClientWindowsTest : public testkit::HomeTest {
  protected:
    static void SetUpTestSuite() { testkit::EnsureQtApplication(); }
    void SetUp() override {
        kit.Demo();
        ASSERT_FALSE(host::InstallModule(Bin() / "libPlovanex.so").empty());
        app = outlook::CreateApplication(kit.Profile(), "11.0.8217");
    }
    static fs::path Bin() { return fs::path(PLOVANEX_LIBRARY).parent_path(); }
    static void InstallPages() { host::InstallModule(Bin() / "libPlovanexProp.so"); }

    // The folder paths that the index in the data folder lists.
    std::set<std::string> Indexed() {
        platform::ado::Recordset rs;
        rs.Open((home.Path() / "data" / "MyFolderList.xml").string(), "Provider=MSPersist;");
        std::set<std::string> paths;
        for (; !rs.Eof(); rs.MoveNext()) {
            paths.insert(common::UnescapeIndexValue(rs.Fields("FolderPath").Value()));
        }
        return paths;
    }
    // Every folder of the profile below a store's root, but search folders.
    std::set<std::string> EveryFolder() {
        auto& profile = *kit.Profile();
        std::set<std::string> paths;
        std::function<void(mailstore::Id)> walk = [&](mailstore::Id parent) {
            for (const auto& folder : profile.Children(parent)) {
                if (folder.kind != mailstore::FolderKind::Search) {
                    paths.insert(profile.FolderPath(folder.id));
                }
                walk(folder.id);
            }
        };
        for (const auto& store : profile.Stores()) {
            walk(store.rootId);
        }
        return paths;
    }

    testkit::ProfileBuilder kit;
    outlook::ApplicationPtr app;
};

// On a fresh home, Build Index in the options dialog and then a close leave
// the whole index: the add-ins were started and told that the explorer
// opened, and the close waited for the build before it shut them down.
TEST_F(ClientWindowsTest, BuildIndexInTheOptionsDialogLeavesTheWholeIndex) {
    InstallPages();
    ASSERT_FALSE(fs::exists(home.Path() / "data" / "MyFolderList.xml"));
    WhenShown("OptionsDialog", [](QWidget& dialog) {
        Press(dialog, "cmdBuildIndex");
        Press(dialog, "cmdCancel");
    });
    host::ShowOptionsDialog(app);
    ASSERT_TRUE(fs::exists(home.Path() / "data" / "MyFolderList.xml"));
    EXPECT_EQ(Indexed(), EveryFolder());
    EXPECT_FALSE(platform::os::SingleInstanceLock::IsHeld("Kestrune"));
}

// Without a page to show, the options command starts no add-in: a build
// it started would be stopped by the shut-down that the error brings.
TEST_F(ClientWindowsTest, WithoutAPageTheOptionsDialogStartsNothing) {
    EXPECT_THROW(host::ShowOptionsDialog(app), std::exception);
    EXPECT_EQ(platform::settings::GetSetting("Ostrevane", "Plovanex", "Order1", "unset"), "unset");
    EXPECT_FALSE(fs::exists(home.Path() / "data" / "MyFolderList.xml"));
}

}  // namespace
