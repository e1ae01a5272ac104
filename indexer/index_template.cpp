#include "indexer/index_template.h"

#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "common/error_text.h"
#include "common/index_builder.h"
#include "indexer/global.h"
#include "platform/ado/replace_file.h"
#include "platform/error.h"

namespace kestrune {

namespace {

constexpr char kTemplateName[] = "FolderList.xml";

}  // namespace

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : program.parent_path();
}

void RestoreIndexTemplate(const std::filesystem::path& programFolder) {
    Trapped({common::Source("RestoreIndexTemplate"), 1, false}, [&](long&) {
        const auto target = std::filesystem::path(Helper().GetDataFolder(0)) / kTemplateName;
        std::error_code ec;
        if (std::filesystem::exists(target, ec) || ec) {
            return;
        }
        const auto source = programFolder / kTemplateName;
        std::ifstream in(source, std::ios::binary);
        if (!in) {
            throw platform::Error("File not found: " + source.string());
        }
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        if (in.bad()) {
            throw platform::Error("Input past end of file: " + source.string());
        }
        // By a rename, so that a builder killed half-way leaves no half a
        // template in its place.
        platform::ReplaceFile(target, text, common::kIndexBuilderName);
    });
}

}  // namespace kestrune
