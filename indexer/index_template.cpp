#include "indexer/index_template.h"

#include <string>
#include <system_error>

#include "common/error_text.h"
#include "common/index_builder.h"
#include "common/whole_file.h"
#include "indexer/global.h"
#include "platform/ado/replace_file.h"
#include "platform/os/os.h"

namespace kestrune {

namespace {

constexpr char kTemplateName[] = "FolderList.xml";

}  // namespace

void RestoreIndexTemplate(std::optional<std::filesystem::path> programFolder) {
    Trapped({common::Source("RestoreIndexTemplate"), 1, false}, [&](long&) {
        const auto target = std::filesystem::path(Helper().GetDataFolder(0)) / kTemplateName;
        std::error_code ec;
        if (std::filesystem::exists(target, ec) || ec) {
            return;
        }
        const auto source =
            (programFolder ? *programFolder : platform::os::ProgramFolder()) / kTemplateName;
        const std::string text = common::ReadWholeFile(source);
        // By a rename, so that a builder killed half-way leaves no half a
        // template in its place.
        platform::ReplaceFile(target, text, common::kIndexBuilderName);
    });
}

}  // namespace kestrune
