#pragma once

// The add-in library loaded by the host over the demo profile, with the
// folder index built, for the tests that answer its choosers through their
// widgets.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/settings_keys.h"
#include "host/engine.h"
#include "indexer/global.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/outlook/outlook.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/qt_application.h"
#include "platform/testkit/qt_windows.h"
#include "platform/testkit/testkit.h"

namespace addin_test {

inline std::filesystem::path BinFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

class AddInTest : public testkit::HomeTest, protected testkit::DemoPaths {
  protected:
    static void SetUpTestSuite() { testkit::EnsureQtApplication(); }

    AddInTest() {
        namespace keys = common::keys;
        kit.Demo();
        const std::filesystem::path data = ostrevane::SettingsHelper().GetDataFolder(0);
        std::filesystem::copy_file(BinFolder() / "FolderList.xml", data / "FolderList.xml");
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
    ~AddInTest() override {
        modules->Shutdown();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        modules.reset();
    }

    void Set(const std::string& key, const std::string& value) {
        platform::settings::SaveSetting(ostrevane::SettingsHelper().SettingsAppName(),
                                        common::keys::SectionPlovanex, key, value);
    }
    void SetHalvox(const std::string& key, const std::string& value) {
        platform::settings::SaveSetting(ostrevane::SettingsHelper().SettingsAppName(),
                                        common::keys::SectionHalvoxSoftware, key, value);
    }
    // The name, EntryID and StoreID of the folder at a path, under three keys.
    void SetFolder(const std::string& path, const std::string& nameKey, const std::string& entryKey,
                   const std::string& storeKey) {
        auto& profile = *kit.Profile();
        auto row = profile.Folder(kit.FolderId(path));
        Set(nameKey, path.substr(2));
        Set(entryKey, row.entryId);
        Set(storeKey, profile.Store(row.storeId).entryId);
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

    // The chooser form of that name on screen; the test fails when none is.
    QWidget& Dialog(const char* formName) {
        if (QWidget* shown = testkit::ShownWindow(formName)) {
            return *shown;
        }
        throw std::runtime_error(std::string("no ") + formName + " on screen");
    }
    bool DialogShown(const char* formName) { return testkit::ShownWindow(formName) != nullptr; }
    template <class T>
    T& Control(const char* formName, const char* name) {
        auto* control = Dialog(formName).findChild<T*>(name);
        if (!control) {
            throw std::runtime_error(std::string("no control ") + name);
        }
        return *control;
    }
    void Click(const char* formName, const char* button) {
        QTest::mouseClick(&Control<QPushButton>(formName, button), Qt::LeftButton);
    }

    // Opens the form's tree down a path of node texts, as a user does, and
    // clicks the last one.
    void PickInTree(const char* formName, const std::vector<std::string>& texts) {
        auto& tree = Control<QTreeView>(formName, "TreeView1");
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

    testkit::ProfileBuilder kit;
    outlook::ApplicationPtr app;
    std::unique_ptr<host::ModuleHost> modules;
};

}  // namespace addin_test
