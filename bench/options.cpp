// The options page: Run Now over a folder of 10,000 and of 50,000 sent items
// (or the sizes given) with the demo rules, the progress bar and the event
// pumping on, next to the same items through the add-in's item event and
// next to the filing benchmark's rate; then LoadValues with 1,000 keyword and
// 1,000 contact rules stored. Each size runs in a process of its own, on a
// profile of its own.

#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "bench/filing_kit.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "core/plovanex.h"
#include "host/demo_settings.h"
#include "host/engine.h"
#include "options/uc1.h"
#include "platform/mailstore/profile.h"
#include "platform/ostrevane/options_host.h"
#include "platform/outlook/outlook.h"

namespace {

namespace fs = std::filesystem;
namespace keys = common::keys;
using bench::Clock;
using bench::Seconds;

constexpr int kRules = 1000;

class BenchHost : public ostrevane::OptionsHost {
  public:
    explicit BenchHost(outlook::ApplicationPtr application) : app_(std::move(application)) {}
    void OnStatusChange() override {}
    void SetHotHelp(std::string&, std::string&) override {}
    outlook::ApplicationPtr OutlookApplication() override { return app_; }
    void SetFocus() override {}

  private:
    outlook::ApplicationPtr app_;
};

// The demo rules meet a third of the items by keyword, a third by contact;
// the rest go to the default folder.
std::string Subject(int i) {
    return i % 3 == 0 ? "Acme order " + std::to_string(i) : "Item " + std::to_string(i);
}
std::string To(int i) {
    return i % 3 == 1 ? "lead@example.com" : "contact@acme.example";
}

void StoreManyRules(mailstore::Profile& profile) {
    auto folder = *profile.FolderByPath("\\\\Personal Folders\\Clients\\Globex");
    auto row = profile.Folder(folder);
    const std::string path = profile.FolderPath(folder).substr(2);
    const std::string store = profile.Store(row.storeId).entryId;
    for (int n = 0; n < kRules; ++n) {
        const int keyword = 10000 + n;
        const int contact = 20000 + n;
        plovanex::SaveSetting(keys::RuleValueName(keyword, keys::Keywords),
                              "word" + std::to_string(n));
        plovanex::SaveSetting(keys::RuleValueName(keyword, keys::KeywordFolderCount), "1");
        plovanex::SaveSetting(keys::RuleValueName(keyword, keys::KeywordFolderName, 1), path);
        plovanex::SaveSetting(keys::RuleValueName(keyword, keys::KeywordFolderEntryId, 1),
                              row.entryId);
        plovanex::SaveSetting(keys::RuleValueName(keyword, keys::KeywordFolderStoreId, 1), store);
        plovanex::SaveSetting(keys::RuleValueName(contact, keys::AssocContactCount), "1");
        plovanex::SaveSetting(keys::RuleValueName(contact, keys::AssocContactName, 1),
                              "Person " + std::to_string(n));
        plovanex::SaveSetting(keys::RuleValueName(contact, keys::AssocContactTag, 1),
                              "person" + std::to_string(n) + "@example.com");
        plovanex::SaveSetting(keys::RuleValueName(contact, keys::AssocFolderCount), "1");
        plovanex::SaveSetting(keys::RuleValueName(contact, keys::AssocFolderName, 1), path);
        plovanex::SaveSetting(keys::RuleValueName(contact, keys::AssocFolderEntryId, 1),
                              row.entryId);
        plovanex::SaveSetting(keys::RuleValueName(contact, keys::AssocFolderStoreId, 1), store);
    }
}

// What one size gives.
struct Figures {
    int count = 0;
    bench::Rate runNow;
    bench::Rate demo;
    bench::Rate filing;
    double lookupMicros = 0;
    int left = 0;
};

// One size, in a fresh home; LoadValues too when `loadValues`.
Figures Measure(int count, bool loadValues, char** argv) {
    auto home = fs::temp_directory_path() / ("plovanex-bench-options-" + std::to_string(getpid()));
    fs::create_directories(home / "data");
    setenv("OSTREVANE_HOME", home.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // An index is there, so no builder is started.
    std::ofstream(home / "data" / "MyFolderList.xml") << "index";
    int qtArgc = 1;
    QApplication windows(qtArgc, argv);

    auto profile = mailstore::Profile::Create("Default");
    mailstore::BuildDemoLayout(*profile);
    auto sentId = *profile->FolderByPath("\\\\Personal Folders\\Sent Items");
    auto archive = *profile->FolderByPath("\\\\Personal Folders\\Archive\\2026");
    auto app = outlook::CreateApplication(profile, "11.0.8217");
    auto ns = app->GetNamespace("MAPI");
    Figures figures;
    figures.count = count;

    // The items the item event files are in Sent Items before the add-in
    // starts; added later, the add-in would file them as they arrive.
    auto filingIds = bench::AddSent(*profile, sentId, count);
    auto demoIds = bench::AddSent(*profile, sentId, count, Subject, To);
    {
        host::ModuleHost modules(app);
        auto addin = std::make_shared<plovanex::CPlovanex>();
        modules.Startup(addin);
        modules.ExplorerOpen(app->OpenExplorer(ns->GetDefaultFolder(outlook::olFolderInbox)));
        // The filing benchmark's measure: the item event with only a default folder.
        auto row = profile->Folder(archive);
        plovanex::SaveSetting(keys::MoveToFolderName, "Personal Folders\\Archive\\2026");
        plovanex::SaveSetting(keys::MoveToFolderEntryId, row.entryId);
        plovanex::SaveSetting(keys::MoveToFolderStoreId, profile->Store(row.storeId).entryId);
        figures.filing = bench::FileThroughItemEvent(*addin, ns, *profile, filingIds);
        // The same with the demo rules and the items Run Now gets.
        host::WriteDemoSettings(*profile);
        figures.demo = bench::FileThroughItemEvent(*addin, ns, *profile, demoIds);
        modules.Shutdown();
    }
    plovanex::Library() = {};
    figures.left = profile->ItemCount(sentId);

    // Run Now over a folder of earlier mail, through the page.
    auto old = profile->AddFolder(profile->Store(profile->Folder(sentId).storeId).rootId, "Old", 0);
    bench::AddSent(*profile, old, count, Subject, To);
    auto oldRow = profile->Folder(old);
    const std::string oldEntryId = oldRow.entryId;
    const std::string oldStoreId = profile->Store(oldRow.storeId).entryId;
    auto previous = outlook::InstallPickFolderHook([&](outlook::NameSpacePtr space) {
        return space->GetFolderFromID(oldEntryId, oldStoreId);
    });
    // What the stand-in's positional look-up alone costs over that folder.
    {
        auto items = ns->GetFolderFromID(oldEntryId, oldStoreId)->Items();
        auto start = Clock::now();
        for (int i = count; i >= 1; --i) {
            items->Item(i);
        }
        figures.lookupMicros = Seconds(start) * 1e6 / count;
    }
    {
        plovanex::UC1 page;
        ostrevane::OptionsHostPtr host = std::make_shared<BenchHost>(app);
        page.SetHost(host);
        page.Control()->show();
        QApplication::processEvents();
        auto* button = page.Control()->findChild<QPushButton*>("cmdRunNow");
        bench::Stopwatch stopwatch;
        button->click();
        figures.runNow = stopwatch.RateOf(count);
        figures.left += profile->ItemCount(old);
    }
    outlook::InstallPickFolderHook(std::move(previous));

    std::printf("Run Now over %d items with the demo rules (%d left unfiled)\n", count,
                figures.left);
    std::printf("run now:                     %8.0f items/s, %6.0f per second of CPU\n",
                figures.runNow.perSecond, figures.runNow.perCpuSecond);
    std::printf("  of which Items.Item(i) of the stand-in, last first: %.0f us per item\n",
                figures.lookupMicros);
    // Run Now's time beside the item event's, on the wall and in CPU.
    auto beside = [&](const char* what, const bench::Rate& rate, const char* target) {
        std::printf(
            "%-28s %8.0f items/s, %6.0f per second of CPU (Run Now at %.2f times its time, "
            "%.2f times its CPU; target within %s)\n",
            what, rate.perSecond, rate.perCpuSecond, rate.perSecond / figures.runNow.perSecond,
            rate.perCpuSecond / figures.runNow.perCpuSecond, target);
    };
    beside("item event, demo rules:", figures.demo, "1.5");
    beside("item event, bench_filing:", figures.filing, "2");

    if (loadValues) {
        // LoadValues over many rules.
        StoreManyRules(*profile);
        std::vector<double> loads;
        {
            plovanex::UC1 page;
            ostrevane::OptionsHostPtr host = std::make_shared<BenchHost>(app);
            page.SetHost(host);
            page.Control();
            for (int i = 0; i < 5; ++i) {
                auto start = Clock::now();
                page.LoadValues();
                loads.push_back(Seconds(start) * 1000);
            }
        }
        std::sort(loads.begin(), loads.end());
        std::printf(
            "LoadValues with %d keyword and %d contact rules: %.1f ms median, %.1f ms "
            "slowest of %zu (target under 200 ms)\n",
            kRules, kRules, loads[loads.size() / 2], loads.back(), loads.size());
    }
    std::fflush(stdout);
    profile.reset();
    std::error_code ec;
    fs::remove_all(home, ec);
    return figures;
}

// Measure(count) in a child process; none when it fails.
std::optional<Figures> MeasureApart(int count, bool loadValues, char** argv) {
    int ends[2];
    if (pipe(ends) != 0) {
        return std::nullopt;
    }
    std::fflush(stdout);
    pid_t child = fork();
    if (child < 0) {
        return std::nullopt;
    }
    if (child == 0) {
        close(ends[0]);
        Figures figures = Measure(count, loadValues, argv);
        (void)!write(ends[1], &figures, sizeof figures);
        _exit(0);
    }
    close(ends[1]);
    Figures figures;
    const bool read = ::read(ends[0], &figures, sizeof figures) == sizeof figures;
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::atoi(argv[i]));
        if (sizes.back() < 1) {
            std::fprintf(stderr, "usage: bench_options [items...] (10000 50000)\n");
            return 2;
        }
    }
    if (sizes.empty()) {
        sizes = {10000, 50000};
    }
    std::vector<Figures> all;
    bool ok = true;
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (i > 0) {
            std::printf("\n");
        }
        auto figures = MeasureApart(sizes[i], i == 0, argv);
        if (!figures) {
            std::printf("Run Now over %d items: the measure failed\n", sizes[i]);
            ok = false;
            continue;
        }
        ok = ok && figures->left == 0;
        all.push_back(*figures);
    }
    if (all.size() >= 2) {
        // How far Run Now's rates at the sizes lie apart, on the wall and in CPU.
        auto apart = [&](const char* unit, double bench::Rate::*of) {
            std::string rates;
            double slowest = 0;
            double fastest = 0;
            for (const auto& f : all) {
                const double rate = f.runNow.*of;
                rates += (rates.empty() ? "" : ", ") + std::to_string(std::lround(rate)) + " at " +
                         std::to_string(f.count);
                slowest = slowest == 0 ? rate : std::min(slowest, rate);
                fastest = std::max(fastest, rate);
            }
            std::printf(
                "Run Now's rate in %s: %s; the slowest %.0f%% below the fastest (target "
                "within 15%%)\n",
                unit, rates.c_str(), 100.0 * (1 - slowest / fastest));
        };
        std::printf("\n");
        apart("items/s", &bench::Rate::perSecond);
        apart("items per second of CPU", &bench::Rate::perCpuSecond);
    }
    return ok ? 0 : 1;
}
