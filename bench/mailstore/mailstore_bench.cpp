// Moves and copies per second through the MAPI library, the folder-table
// query on a folder with 1,000 subfolders, and the adds of 100,000 folders
// and the opens of the profile that holds them, on profiles in a fresh home.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "platform/mailstore/profile.h"
#include "platform/mirelink/mirelink.h"

namespace {

const char* const kFolderQuery =
    "SELECT FullName, EntryID, \"http://schemas.microsoft.com/mapi/proptag/0x0FFB0102\" As "
    "StoreId, \"http://schemas.microsoft.com/mapi/proptag/0x66380003\" As ChildCount FROM Folders";

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main() {
    auto home = std::filesystem::temp_directory_path() /
                ("plovanex-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(home);
    setenv("OSTREVANE_HOME", home.c_str(), 1);
    {
        auto profile = mailstore::Profile::Create("Default");
        auto store = profile->AddStore("Bench", mailstore::StoreKind::Personal, "Bench",
                                       "bench@example.com");
        auto root = profile->Store(store).rootId;
        auto a = profile->AddFolder(root, "A");
        profile->AddFolder(root, "B");
        auto wide = profile->AddFolder(root, "Wide");
        for (int i = 0; i < 1000; ++i) {
            auto f = profile->AddFolder(wide, "Folder " + std::to_string(i));
            if (i % 10 == 0) {
                profile->AddFolder(f, "Sub");
            }
        }
        constexpr int kItems = 200;
        for (int i = 0; i < kItems; ++i) {
            mailstore::ItemRow row;
            row.folderId = a;
            row.subject = "Item " + std::to_string(i);
            profile->AddItem(row);
        }

        auto session = mirelink::CreateSession();
        session->SetMAPIOBJECT(profile);
        auto folderA = session->GetFolderFromPath("\\\\Bench\\A");
        auto folderB = session->GetFolderFromPath("\\\\Bench\\B");
        std::vector<mirelink::MailPtr> messages;
        for (auto id : profile->ItemsIn(a)) {
            messages.push_back(session->GetMessageFromID(profile->Item(id).entryId));
        }

        constexpr int kMoves = 20000;
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kMoves; ++i) {
            messages[static_cast<size_t>(i) % messages.size()]->Move(i / kItems % 2 ? folderA
                                                                                    : folderB);
        }
        double moveSeconds = Seconds(start);

        constexpr int kCopies = 5000;
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kCopies; ++i) {
            messages[static_cast<size_t>(i) % messages.size()]->CopyTo(folderB);
        }
        double copySeconds = Seconds(start);

        auto table = session->GetFolderFromPath("\\\\Bench\\Wide")->Folders()->MAPITable();
        constexpr int kQueries = 50;
        int rows = 0;
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kQueries; ++i) {
            rows = table->ExecSQL(kFolderQuery)->RecordCount();
        }
        double querySeconds = Seconds(start);

        std::printf("moves:  %d in %.3f s = %.0f moves/s (target 5000)\n", kMoves, moveSeconds,
                    kMoves / moveSeconds);
        std::printf("copies: %d in %.3f s = %.0f copies/s\n", kCopies, copySeconds,
                    kCopies / copySeconds);
        std::printf("folder-table query on %d subfolders: %.2f ms per query\n", rows,
                    1000.0 * querySeconds / kQueries);
    }
    {
        // 100,000 folders, 100 under the root and 999 under each of those.
        auto profile = mailstore::Profile::Create("Big");
        auto root = profile
                        ->Store(profile->AddStore("Big", mailstore::StoreKind::Personal, "Big",
                                                  "big@example.com"))
                        .rootId;
        constexpr int kFolders = 100000;
        auto start = std::chrono::steady_clock::now();
        for (int top = 0; top < 100; ++top) {
            auto parent = profile->AddFolder(root, "Top " + std::to_string(top));
            for (int i = 1; i < kFolders / 100; ++i) {
                profile->AddFolder(parent, "Folder " + std::to_string(i));
            }
        }
        double addSeconds = Seconds(start);

        constexpr int kOpens = 10;
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kOpens; ++i) {
            mailstore::Profile::Open("Big");
        }
        double openSeconds = Seconds(start);
        std::printf("folder adds: %d in %.3f s = %.0f adds/s\n", kFolders, addSeconds,
                    kFolders / addSeconds);
        std::printf("open of a profile of %d folders, its folder tree checked: %.1f ms\n", kFolders,
                    1000.0 * openSeconds / kOpens);
    }
    std::filesystem::remove_all(home);
    return 0;
}
