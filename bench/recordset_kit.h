#pragma once

// What the folder-index benchmarks share: clocks and memory figures, the
// generated folder names, and the recordset half (open, filter and walk).
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/index_row.h"
#include "platform/ado/recordset.h"
#include "platform/ado/replace_file.h"

namespace bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline double ResidentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1048576.0;
}

inline double PeakMb(int who = RUSAGE_SELF) {
    rusage usage{};
    ::getrusage(who, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

inline std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The folder beside the running benchmark, which holds FolderList.xml.
inline fs::path BinFolder() {
    return fs::read_symlink("/proc/self/exe").parent_path();
}

// A new folder under the temporary folder named from prefix; the empty path,
// with the reason on stderr, when none can be made.
inline fs::path MakeTempFolder(const std::string& prefix) {
    std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return {};
    }
    return pattern;
}

// The name of generated folder i: some hold an apostrophe, an ampersand or
// a character outside ASCII.
inline std::string FolderName(int i) {
    return "Project " + std::to_string(i) + (i % 11 == 0 ? " O'Neil" : "") +
           (i % 13 == 0 ? " R&D" : "") + (i % 17 == 0 ? " Z\xC3\xBCrich" : "");
}

// An index of n generated folders: a few stores, each with folders three
// levels deep.
inline void WriteGeneratedIndex(const fs::path& file, const std::string& templateText, int n) {
    std::string rows;
    for (int i = 0; i < n; ++i) {
        const std::string store = "\\\\Mailbox - User " + std::to_string(i % 7);
        const std::string name = FolderName(i);
        const std::string path = store + "\\Inbox\\Clients " + std::to_string(i % 97) + "\\Year " +
                                 std::to_string(2000 + i % 25) + "\\" + name;
        common::AppendIndexRow(rows, name, path);
    }
    platform::ReplaceFile(file, common::FillIndexTemplate(templateText, rows) + "\r\n");
}

// Times opening the index at file, and a search as it is typed (one filter
// per keystroke, then cleared) with the walk over the matching records.
inline void MeasureRecordset(const fs::path& file, int n) {
    std::vector<double> opens;
    for (int run = 0; run < 5; ++run) {
        platform::ado::Recordset rs;
        const auto start = Clock::now();
        rs.Open(file.string(), "Provider=MSPersist;", 3, 1, -1);
        opens.push_back(Ms(Clock::now() - start));
    }
    const double before = ResidentMb();
    platform::ado::Recordset rs;
    rs.Open(file.string(), "Provider=MSPersist;", 3, 1, -1);
    const double resident = ResidentMb() - before;
    const long records = rs.RecordCount();
    rs.MoveLast();
    rs.MoveFirst();

    std::vector<double> filters;
    long matched = 0;
    std::size_t bytes = 0;
    for (const char* text : {"7", "77", "777", "proj", "z\xC3\xBCr", "o'n", "r&d", "", "no such"}) {
        const auto start = Clock::now();
        rs.Filter(common::IndexSearchFilter(text));
        for (; !rs.Eof(); rs.MoveNext()) {
            bytes += rs.Fields("FolderPath").Value().size();
            ++matched;
        }
        filters.push_back(Ms(Clock::now() - start));
    }
    std::printf(
        "recordset %7d rows (%ld records, %5.1f MB file): open %7.2f ms"
        " (target < 300 ms at 100,000)\n",
        n, records, static_cast<double>(fs::file_size(file)) / 1048576.0, Median(opens));
    std::printf(
        "recordset %7d rows: filter + walk: first %6.2f ms, median %6.2f ms, worst %6.2f ms"
        " (target < 10 ms at 100,000; %ld records, %zu bytes walked)\n",
        n, filters.front(), Median(filters), *std::max_element(filters.begin(), filters.end()),
        matched, bytes);
    std::printf(
        "recordset %7d rows: open recordset resident %6.1f MB (target < 100 MB at 100,000);"
        " process peak %6.1f MB\n",
        n, resident, PeakMb());
}

}  // namespace bench
