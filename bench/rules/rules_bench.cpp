// Filing by rules: items with 10 KB bodies through the processor with the
// keyword mode and then the contact mode, over 200 rules of each kind. Most
// items match only a late rule or none, so every rule is scanned. Then one
// count of a pathological pattern over a 1 MB text.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/filing_kit.h"
#include "common/settings_keys.h"
#include "core/globals.h"
#include "core/keyword_match.h"
#include "core/process_one_sent_item.h"
#include "platform/mailstore/profile.h"
#include "platform/ostrevane/sink.h"
#include "platform/outlook/outlook.h"

namespace {

namespace fs = std::filesystem;
namespace keys = common::keys;
using bench::Clock;
using bench::ResidentMB;
using bench::Seconds;

constexpr int kRules = 200;
constexpr std::size_t kBodySize = 10 * 1024;

std::string Number(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

// Plain prose that holds none of the rules' keywords.
std::string Body(int seed) {
    static const char* words[] = {"please", "find",    "attached", "the",     "figures", "for",
                                  "review", "and",     "let",      "me",      "know",    "by",
                                  "Friday", "regards", "team",     "meeting", "notes",   "budget"};
    std::string body;
    for (unsigned i = static_cast<unsigned>(seed); body.size() < kBodySize; i = i * 7 + 3) {
        body += words[i % (sizeof words / sizeof *words)];
        body += body.size() % 97 < 8 ? ".\r\n" : " ";
    }
    body.resize(kBodySize);
    return body;
}

void SaveFolder(mailstore::Profile& profile, mailstore::Id folder, int key,
                const std::string& stem) {
    auto row = profile.Folder(folder);
    plovanex::SaveSetting(keys::RuleValueName(key, stem + "FolderName", 1),
                          profile.FolderPath(folder).substr(2));
    plovanex::SaveSetting(keys::RuleValueName(key, stem + "FolderEntryId", 1), row.entryId);
    plovanex::SaveSetting(keys::RuleValueName(key, stem + "FolderStoreId", 1),
                          profile.Store(row.storeId).entryId);
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    auto home = fs::temp_directory_path() / ("plovanex-bench-rules-" + std::to_string(getpid()));
    fs::create_directories(home / "data");
    setenv("OSTREVANE_HOME", home.c_str(), 1);
    // The whole trace stays in one file, so that its lines can be counted.
    ostrevane::SetLogRotationSizeForTests(UINTMAX_MAX);

    auto profile = mailstore::Profile::Create("Default");
    mailstore::BuildDemoLayout(*profile);
    // The late contact's mailbox, reached by its SMTP address only.
    profile->AddAddressEntry("Lead Two Hundred", "EX", "/o=Example/ou=Site/cn=Recipients/cn=l200",
                             "contact" + Number(kRules) + "@example.com");
    const auto sent = *profile->FolderByPath("\\\\Personal Folders\\Sent Items");
    const auto acme = *profile->FolderByPath("\\\\Personal Folders\\Clients\\Acme");
    const auto apollo = *profile->FolderByPath("\\\\Personal Folders\\Projects\\Apollo");

    plovanex::SaveSetting(keys::Order(1), "2");
    plovanex::SaveSetting(keys::Order(2), "3");
    for (int r = 1; r <= kRules; ++r) {
        const int key = 1000 + r;
        plovanex::SaveSetting(keys::RuleValueName(key, keys::Keywords),
                              "project-alpha-" + Number(r));
        plovanex::SaveSetting(keys::RuleValueName(key, keys::KeywordFolderCount), "1");
        SaveFolder(*profile, acme, key, "Keyword");
    }
    for (int r = 1; r <= kRules; ++r) {
        const int key = 2000 + r;
        plovanex::SaveSetting(keys::RuleValueName(key, keys::AssocContactCount), "1");
        plovanex::SaveSetting(keys::RuleValueName(key, keys::AssocContactName, 1),
                              "Contact " + Number(r));
        plovanex::SaveSetting(keys::RuleValueName(key, keys::AssocContactTag, 1),
                              "contact" + Number(r) + "@example.com");
        plovanex::SaveSetting(keys::RuleValueName(key, keys::AssocFolderCount), "1");
        SaveFolder(*profile, apollo, key, "Assoc");
    }

    // One item in ten holds the last keyword; four go to the last contact
    // by address; five match nothing, with two recipients each.
    std::vector<std::string> entryIds;
    int expected = 0;
    for (int i = 0; i < count; ++i) {
        mailstore::ItemRow row;
        row.folderId = sent;
        row.storeId = profile->Folder(sent).storeId;
        row.subject = "Item " + std::to_string(i);
        row.body = Body(i);
        if (i % 10 == 0) {
            row.body.replace(kBodySize / 2, 17, "project-alpha-" + Number(kRules));
        }
        row.sent = true;
        row.sentOn = mailstore::NowText();
        row.internetMessageId = "<rules" + std::to_string(i) + "@example.com>";
        std::vector<mailstore::RecipientRow> to;
        if (i % 10 < 5) {
            to.push_back(mailstore::ResolveRecipient(*profile, "Lead Two Hundred", outlook::olTo));
            ++expected;
        } else {
            to.push_back(
                mailstore::ResolveRecipient(*profile, "nobody@elsewhere.example", outlook::olTo));
            to.push_back(
                mailstore::ResolveRecipient(*profile, "other@elsewhere.example", outlook::olCC));
        }
        entryIds.push_back(profile->Item(profile->AddItem(row, to)).entryId);
    }

    auto app = outlook::CreateApplication(profile, "11.0.8217");
    auto ns = app->GetNamespace("MAPI");
    plovanex::CProcessOneSentItem processor;
    processor.SetolApp(app);

    const double before = ResidentMB();
    const auto start = Clock::now();
    int filed = 0;
    for (const auto& entryId : entryIds) {
        auto item = ns->GetItemFromID(entryId);
        filed += processor.processOneSentItem(item) ? 1 : 0;
    }
    const double rate = count / Seconds(start);
    const double after = ResidentMB();

    // Where an item's time goes: the platform calls the modes make most.
    const auto perCall = [](int calls, auto call) {
        const auto since = Clock::now();
        for (int i = 0; i < calls; ++i) {
            call();
        }
        return Seconds(since) * 1e6 / calls;
    };
    std::size_t values = 0;
    const double readAllUs = perCall(100, [&] { values = plovanex::GetAllSettings()->size(); });
    const double logUs = perCall(2000, [] {
        plovanex::WriteLogLine(common::LogSource("Bench"), "Looking for 'x'; Result: 0");
    });
    // The floor under a log line: the one append write of a line that long,
    // to a file of its own beside the log.
    const std::string raw =
        "2026-01-01 12:00:00.000\tPlovanex\tBench\tLooking for 'x'; Result: 0\n";
    const int rawFd = ::open((home / "raw.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const double writeUs = perCall(2000, [&] { (void)!::write(rawFd, raw.data(), raw.size()); });
    ::close(rawFd);
    const std::string text = "Item 1 " + Body(1);
    const double matchUs = perCall(2000, [&] {
        return plovanex::FindRegularExpressionMatch(text, "project-alpha-" + Number(kRules));
    });
    std::size_t lines = 0;
    {
        std::ifstream log(home / "ostrevane.log");
        for (std::string line; std::getline(log, line);) {
            ++lines;
        }
    }

    const std::string as(1 << 20, 'a');
    const auto matchStart = Clock::now();
    const long matches = plovanex::FindRegularExpressionMatch(as, "a*a*a*a*a*b");
    const double matchMs = Seconds(matchStart) * 1e3;

    std::printf("rules: %d keyword, %d contact; bodies of %zu bytes\n", kRules, kRules, kBodySize);
    std::printf("items filed: %d of %d (%d expected; %d in Acme, %d in Apollo)\n", filed, count,
                expected, profile->ItemCount(acme), profile->ItemCount(apollo));
    std::printf("filing by rules: %10.0f items/s\n", rate);
    std::printf("resident memory: %.1f MB before, %.1f MB after %d items (%+.1f MB)\n", before,
                after, count, after - before);
    std::printf("a*a*a*a*a*b over 1 MB of a: %ld matches in %.1f ms\n", matches, matchMs);
    std::printf("per item: %.0f log lines; each %.1f us\n",
                static_cast<double>(lines - 2000) / count, logUs);
    std::printf("one append write of such a line alone: %.1f us\n", writeUs);
    std::printf("read-all of the section (%zu values): %.0f us\n", values, readAllUs);
    std::printf("one keyword over a 10 KB text: %.1f us\n", matchUs);
    std::error_code ec;
    profile.reset();
    fs::remove_all(home, ec);
    return filed == expected ? 0 : 1;
}
