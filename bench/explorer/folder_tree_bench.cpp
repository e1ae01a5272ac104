// Times the explorer's folder tree as it follows the profile, over a store
// whose folder "Wide" holds 1,000 subfolders, every tenth with one of its
// own, all of those levels read: the look once a second while nothing
// changed, and the look after another object of the file adds or renames a
// folder.
#include <unistd.h>
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/folder_tree_model.h"
#include "platform/mailstore/profile.h"
#include "platform/outlook/outlook.h"

namespace {

constexpr int kWide = 1000;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The store "Bench" with its folder "Wide"; gives Wide.
mailstore::Id AddWideStore(mailstore::Profile& profile) {
    auto store =
        profile.AddStore("Bench", mailstore::StoreKind::Personal, "Bench", "bench@example.com");
    auto wide = profile.AddFolder(profile.Store(store).rootId, "Wide");
    for (int i = 0; i < kWide; ++i) {
        auto f = profile.AddFolder(wide, "Folder " + std::to_string(i));
        if (i % 10 == 0) {
            profile.AddFolder(f, "Sub");
        }
    }
    return wide;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const auto home = std::filesystem::temp_directory_path() /
                      ("plovanex-bench-folder-tree-" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    setenv("OSTREVANE_HOME", home.c_str(), 1);
    {
        auto profile = mailstore::Profile::Create("Default");
        const auto wide = AddWideStore(*profile);
        auto application = outlook::CreateApplication(profile, "11.0.8217");
        host::FolderTreeModel model(application->GetNamespace("MAPI"));
        for (int i = 0; i < kWide; ++i) {
            QModelIndex at = model.IndexOfPath("\\\\Bench\\Wide\\Folder " + std::to_string(i));
            if (model.hasChildren(at) && model.canFetchMore(at)) {
                model.fetchMore(at);
            }
        }
        model.Refresh();

        constexpr int kIdle = 100000;
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kIdle; ++i) {
            model.Refresh();
        }
        double idleSeconds = Seconds(start);

        auto other = mailstore::Profile::Open("Default");
        constexpr int kChanges = 50;
        double addSeconds = 0;
        double renameSeconds = 0;
        for (int i = 0; i < kChanges; ++i) {
            auto added = other->AddFolder(wide, "Added " + std::to_string(i));
            start = std::chrono::steady_clock::now();
            model.Refresh();
            addSeconds += Seconds(start);
            other->RenameFolder(added, "Renamed " + std::to_string(i));
            start = std::chrono::steady_clock::now();
            model.Refresh();
            renameSeconds += Seconds(start);
        }
        // Bench, Wide, its subfolders and their own.
        std::printf("folder tree, %d folders in the levels read:\n", 2 + kWide + kWide / 10);
        std::printf("  look with nothing changed: %.2f us per look\n", 1e6 * idleSeconds / kIdle);
        std::printf("  look after a folder added by another object: %.2f ms\n",
                    1000.0 * addSeconds / kChanges);
        std::printf("  look after a folder renamed by another object: %.2f ms\n",
                    1000.0 * renameSeconds / kChanges);
    }
    std::filesystem::remove_all(home);
    return 0;
}
