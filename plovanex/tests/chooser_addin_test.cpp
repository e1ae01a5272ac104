// The search chooser end to end: the add-in library loaded by the host, a
// mail composed and sent, and the real dialog answered through its widgets.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <functional>

#include "common/settings_keys.h"
#include "host/engine.h"
#include "indexer/global.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/outlook/outlook.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/qt_application.h"
#include "platform/testkit/testkit.h"

namespace {

namespace fs = std::filesystem;
namespace keys = common::keys;
using ::testing::ElementsAre;

fs::path BinFolder() {
    return fs::read_symlink("/proc/self/exe").parent_path();
}

class ChooserAddInTest : public testkit::HomeTest {
  protected:
    static void SetUpTestSuite() { testkit::EnsureQtApplication(); }

    ChooserAddInTest() {
        kit.Demo();
        const fs::path data = ostrevane::SettingsHelper().GetDataFolder(0);
        fs::copy_file(BinFolder() / "FolderList.xml", data / "FolderList.xml");
        Set(keys::DelayLength, "0");
        Set(keys::KeepGoingWanted, "1");
        kestrune::BuildIndex();
        EXPECT_FALSE(host::InstallModule(BinFolder() / "libPlovanex.so").empty());
        app = outlook::CreateApplication(kit.Profile(), "11.0.8217");
        modules = std::make_unique<host::ModuleHost>(app);
        modules->Startup();
        auto ns = app->GetNamespace("MAPI");
        modules->ExplorerOpen(app->OpenExplorer(ns->GetDefaultFolder(outlook::olFolderInbox)));
    }
    ~ChooserAddInTest() override {
        modules->Shutdown();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        modules.reset();
    }

    void Set(const std::string& key, const std::string& value) {
        platform::settings::SaveSetting(ostrevane::SettingsHelper().SettingsAppName(),
                                        keys::SectionPlovanex, key, value);
    }
    outlook::ItemPtr Compose(const std::string& subject) {
        auto item = app->CreateItem(outlook::olMailItem);
        item->SetTo("lead@example.com");
        item->SetSubject(subject);
        modules->InspectorOpen(item->Display());
        return item;
    }
    std::vector<std::string> FoldersOf(const outlook::ItemPtr& item) {
        auto& profile = *kit.Profile();
        auto parent = item->Parent();
        auto id = profile.ItemByEntryId(item->EntryID(), parent ? parent->StoreID() : "");
        std::vector<std::string> paths;
        for (auto folder : testkit::FoldersHolding(profile, profile.Item(*id).internetMessageId)) {
            paths.push_back(profile.FolderPath(folder));
        }
        return paths;
    }

    // The chooser on screen; the test fails when none is.
    QWidget& Dialog() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == "frmChooseOutlookFolders4" && w->isVisible()) {
                return *w;
            }
        }
        throw std::runtime_error("no chooser on screen");
    }
    bool DialogShown() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == "frmChooseOutlookFolders4" && w->isVisible()) {
                return true;
            }
        }
        return false;
    }
    template <class T>
    T& Control(const char* name) {
        auto* control = Dialog().findChild<T*>(name);
        if (!control) {
            throw std::runtime_error(std::string("no control ") + name);
        }
        return *control;
    }
    void Click(const char* button) {
        QTest::mouseClick(&Control<QPushButton>(button), Qt::LeftButton);
    }
    // Types into the search box and picks the line that shows path.
    void SearchAndPick(const std::string& text, const std::string& path) {
        Control<QTabWidget>("vsIndexTab1").setCurrentIndex(1);
        QTest::keyClicks(&Control<QLineEdit>("txtSearchFor"), QString::fromStdString(text));
        auto& list = Control<QListView>("lstSearchResults");
        for (int row = 0; row < list.model()->rowCount(); ++row) {
            const QModelIndex index = list.model()->index(row, 0);
            if (index.data().toString().toStdString() == path) {
                QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                                  list.visualRect(index).center());
                return;
            }
        }
        ADD_FAILURE() << "no line " << path;
    }
    // Opens the tree down a path of node texts and clicks the last one.
    void PickInTree(const std::vector<std::string>& texts) {
        Control<QTabWidget>("vsIndexTab1").setCurrentIndex(0);
        auto& tree = Control<QTreeView>("TreeView1");
        QModelIndex at;
        for (const auto& text : texts) {
            if (at.isValid()) {
                tree.expand(at);
            }
            QModelIndex next;
            for (int row = 0; row < tree.model()->rowCount(at); ++row) {
                const QModelIndex child = tree.model()->index(row, 0, at);
                if (child.data().toString().toStdString() == text) {
                    next = child;
                }
            }
            ASSERT_TRUE(next.isValid()) << text;
            at = next;
        }
        tree.scrollTo(at);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(at).center());
    }

    static constexpr const char* kSentItems = "\\\\Personal Folders\\Sent Items";
    static constexpr const char* kApollo = "\\\\Personal Folders\\Projects\\Apollo";
    static constexpr const char* kAcme = "\\\\Personal Folders\\Clients\\Acme";

    testkit::ProfileBuilder kit;
    outlook::ApplicationPtr app;
    std::unique_ptr<host::ModuleHost> modules;
};

// Send And File: the folder typed on the search tab receives the sent mail;
// Cancel leaves the mail unsent.
TEST_F(ChooserAddInTest, SendAndFileSendsIntoTheFolderPicked) {
    struct Case {
        const char* name;
        std::function<void()> answer;
        bool sent;
        std::vector<std::string> folders;
    };
    const std::vector<Case> cases = {
        {"search tab",
         [&] {
             SearchAndPick("Apollo", kApollo);
             Click("cmdSelectedFolderOK");
         },
         true,
         {kApollo}},
        {"Cancel", [&] { Click("cmdCancel"); }, false, {}},
        {"frame close", [&] { Dialog().close(); }, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto item = Compose(c.name);
        ASSERT_TRUE(modules->Engine()->ClickButton(app->ActiveInspector(), "Send And File"));
        ASSERT_TRUE(DialogShown());
        EXPECT_EQ(Control<QLineEdit>("txtSubject").text().toStdString(), c.name);
        c.answer();
        EXPECT_FALSE(DialogShown());
        EXPECT_EQ(item->Sent(), c.sent);
        if (c.sent) {
            EXPECT_EQ(FoldersOf(item), c.folders);
        }
    }
    EXPECT_THAT(home.Capture().Reports(), testing::IsEmpty());
}

// The confirmation prompt: the mail that reached Sent Items moves where the
// user picked; Cancel leaves it in Sent Items.
TEST_F(ChooserAddInTest, ConfirmationPromptFilesWhereTheUserPicked) {
    Set(keys::PromptOutlookFolder, "True");
    struct Case {
        const char* name;
        std::function<void()> answer;
        std::vector<std::string> folders;
    };
    const std::vector<Case> cases = {
        {"tree",
         [&] {
             PickInTree({"Personal Folders", "Clients", "Acme"});
             Click("cmdOk");
         },
         {kAcme}},
        {"Cancel", [&] { Click("cmdCancel"); }, {kSentItems}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto item = Compose(c.name);
        item->Send();
        ASSERT_TRUE(DialogShown());
        c.answer();
        EXPECT_FALSE(DialogShown());
        EXPECT_EQ(FoldersOf(item), c.folders);
    }
    EXPECT_THAT(home.Capture().Reports(), testing::IsEmpty());
}

}  // namespace
