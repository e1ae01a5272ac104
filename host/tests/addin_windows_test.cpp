// The host's windows with the built add-in loaded, as a person uses them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>

#include "host/explorer_window.h"
#include "host/gui.h"
#include "host/inspector_window.h"
#include "host/item_list_model.h"
#include "host/tests/windows_fixture.h"
#include "platform/settings/settings_store.h"

namespace host_test {

namespace {

using ::testing::ElementsAre;

class AddInWindowsTest : public WindowsTest {
  protected:
    void SetUp() override {
        WindowsTest::SetUp();
        // The built add-in alone.
        host::ShutdownModules(*modules);
        modules = std::make_unique<host::ModuleHost>(app);
        ASSERT_THAT(host::InstallModule(PLOVANEX_LIBRARY), ElementsAre("CPlovanex"));
        modules->Startup();
        explorer = std::make_unique<host::ExplorerWindow>(
            *modules,
            app->OpenExplorer(app->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox)));
    }
    void TearDown() override {
        explorer.reset();
        WindowsTest::TearDown();
    }
    void Set(const std::string& key, const std::string& value) {
        platform::settings::SaveSetting("Ostrevane", "Plovanex", key, value);
    }
    void SetFolder(const std::string& path, const std::string& stem) {
        auto& p = *kit.Profile();
        auto row = p.Folder(kit.FolderId(path));
        Set(stem + "Name", p.FolderPath(row.id).substr(2));
        Set(stem + "EntryId", row.entryId);
        Set(stem + "StoreId", p.Store(row.storeId).entryId);
    }
    std::vector<std::string> Listed() {
        std::vector<std::string> out;
        auto& items = explorer->Items();
        for (int row = 0; row < items.rowCount(); ++row) {
            out.push_back(items.index(row, 0).data().toString().toStdString());
        }
        return out;
    }
    host::InspectorWindow* Compose(const std::string& subject) {
        auto* window = explorer->NewMail();
        window->Fill({.to = "lead@example.com", .subject = subject});
        window->show();
        return window;
    }

    std::unique_ptr<host::ExplorerWindow> explorer;
    static constexpr const char* kArchive = "\\\\Personal Folders\\Archive\\2026";
    static constexpr const char* kSent = "\\\\Personal Folders\\Sent Items";
};

// The add-in moves the sent mail to the default folder; the list of the
// folder on show gets it at once, and Sent Items no longer lists it.
TEST_F(AddInWindowsTest, TheListShowsAMailTheAddInMoved) {
    SetFolder(kArchive, "MoveToFolder");
    ASSERT_TRUE(explorer->ShowFolder(kArchive));
    EXPECT_TRUE(Listed().empty());
    auto* window = Compose("Filed by the default folder");
    window->findChild<QPushButton*>("cmdSend")->click();
    LetRun();
    EXPECT_THAT(Listed(), ElementsAre("Filed by the default folder"));
    EXPECT_THAT(FoldersWith("Filed by the default folder"), ElementsAre(kArchive));
    ASSERT_TRUE(explorer->ShowFolder(kSent));
    EXPECT_TRUE(Listed().empty());
    EXPECT_TRUE(home.Capture().Reports().empty());
}

// The add-in's menu entry comes below version 12 only; the version is the
// one the host was told.
TEST_F(AddInWindowsTest, TheMenuEntryFollowsTheVersion) {
    const struct {
        const char* version;
        bool menu;
    } cases[] = {{"9.0.0.3821", true}, {"11.0.8217", true}, {"12.0.4518", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        app->SetVersion(c.version);
        auto* window = Compose("versions");
        auto* toolbar = window->findChild<QToolBar*>("toolbarModules");
        ASSERT_TRUE(toolbar);
        ASSERT_EQ(toolbar->actions().size(), 1);
        EXPECT_EQ(toolbar->actions()[0]->text(), "Send And File");
        QMenu* actions = window->findChild<QMenu*>("menuActions");
        EXPECT_EQ(actions != nullptr, c.menu);
        if (actions) {
            EXPECT_EQ(actions->title(), "&Actions");
            ASSERT_EQ(actions->actions().size(), 1);
            EXPECT_EQ(actions->actions()[0]->text(), "Send And File");
        }
        window->close();
        LetRun();
    }
}

}  // namespace

}  // namespace host_test
