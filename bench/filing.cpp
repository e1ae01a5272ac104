// Filing throughput: items driven through the add-in's item event with a
// default folder set, so each is moved by the default-folder stage, next to
// the raw move rate of the MAPI library on the same profile.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/filing_kit.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "core/plovanex.h"
#include "host/engine.h"
#include "platform/mailstore/profile.h"
#include "platform/mirelink/mirelink.h"
#include "platform/ostrevane/sink.h"
#include "platform/outlook/outlook.h"

namespace {

namespace fs = std::filesystem;
using bench::AddSent;
using bench::Clock;
using bench::ResidentMB;
using bench::Seconds;

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    auto home = fs::temp_directory_path() / ("plovanex-bench-filing-" + std::to_string(getpid()));
    fs::create_directories(home / "data");
    setenv("OSTREVANE_HOME", home.c_str(), 1);
    // An index is there, so no builder is started.
    std::ofstream(home / "data" / "MyFolderList.xml") << "index";

    auto profile = mailstore::Profile::Create("Default");
    mailstore::BuildDemoLayout(*profile);
    auto sentId = *profile->FolderByPath("\\\\Personal Folders\\Sent Items");
    auto rawTarget = *profile->FolderByPath("\\\\Personal Folders\\Archive\\2025");
    auto target = *profile->FolderByPath("\\\\Personal Folders\\Archive\\2026");
    auto app = outlook::CreateApplication(profile, "11.0.8217");
    auto ns = app->GetNamespace("MAPI");

    // The raw move rate of the MAPI library.
    auto rawIds = AddSent(*profile, sentId, count);
    auto session = mirelink::CreateSession();
    session->SetMAPIOBJECT(ns->MAPIOBJECT());
    auto rawFolder = session->GetFolderFromID(profile->Folder(rawTarget).entryId);
    std::vector<std::string> rawEntryIds;
    for (auto id : rawIds) {
        rawEntryIds.push_back(profile->Item(id).entryId);
    }
    auto rawStart = Clock::now();
    for (const auto& entryId : rawEntryIds) {
        session->GetMessageFromID(entryId)->Move(rawFolder);
    }
    double rawRate = count / Seconds(rawStart);

    // Items through the add-in, after its first run.
    auto filingIds = AddSent(*profile, sentId, count);
    host::ModuleHost modules(app);
    auto addin = std::make_shared<plovanex::CPlovanex>();
    modules.Startup(addin);
    modules.ExplorerOpen(app->OpenExplorer(ns->GetDefaultFolder(outlook::olFolderInbox)));
    namespace keys = common::keys;
    auto row = profile->Folder(target);
    plovanex::SaveSetting(keys::MoveToFolderName, "Personal Folders\\Archive\\2026");
    plovanex::SaveSetting(keys::MoveToFolderEntryId, row.entryId);
    plovanex::SaveSetting(keys::MoveToFolderStoreId, profile->Store(row.storeId).entryId);

    double before = ResidentMB();
    double rate = bench::FileThroughItemEvent(*addin, ns, *profile, filingIds).perSecond;
    double after = ResidentMB();
    modules.Shutdown();

    int filed = profile->ItemCount(target);
    std::printf("items filed through the item event: %d of %d\n", filed, count);
    std::printf("filing:   %10.0f items/s\n", rate);
    std::printf("raw move: %10.0f moves/s (filing at %.1f times the raw move time)\n", rawRate,
                rawRate / rate);
    std::printf("resident memory: %.1f MB before, %.1f MB after %d items (%+.1f MB)\n", before,
                after, count, after - before);
    profile.reset();
    std::error_code ec;
    fs::remove_all(home, ec);
    return filed == count ? 0 : 1;
}
