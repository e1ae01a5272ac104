// Times the recordset over a generated folder index: the open, and a filter
// with its walk over the matching records; prints the figures, the memory
// and the targets.
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/recordset_kit.h"

namespace {

namespace fs = std::filesystem;

void Measure(const fs::path& folder, const std::string& templateText, int n) {
    const fs::path file = folder / ("MyFolderList-" + std::to_string(n) + ".xml");
    bench::WriteGeneratedIndex(file, templateText, n);
    bench::MeasureRecordset(file, n);
}

}  // namespace

int main() {
    const fs::path bin = bench::BinFolder();
    const std::string templateText = bench::ReadFile(bin / "FolderList.xml");
    if (templateText.empty()) {
        std::fprintf(stderr, "FolderList.xml is missing beside %s\n", bin.c_str());
        return 1;
    }
    const fs::path folder = bench::MakeTempFolder("bench-recordset");
    if (folder.empty()) {
        return 1;
    }
    try {
        Measure(folder, templateText, 10'000);
        Measure(folder, templateText, 100'000);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench: %s\n", e.what());
        fs::remove_all(folder);
        return 1;
    }
    fs::remove_all(folder);
    return 0;
}
