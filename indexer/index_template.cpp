#include "indexer/index_template.h"

#include <stdexcept>
#include <string>

#include "common/error_text.h"
#include "common/index_builder.h"
#include "common/index_row.h"
#include "common/whole_file.h"
#include "indexer/global.h"
#include "platform/ado/replace_file.h"
#include "platform/os/os.h"

namespace kestrune {

namespace {

constexpr char kTemplateName[] = "FolderList.xml";

// The data folder's template can serve: it is read, and holds what the build
// fills. Any failure counts as none, since the copy beside the program then
// takes its place.
bool Serves(const std::filesystem::path& file) {
    try {
        return common::IndexTemplateFault(common::ReadWholeFile(file)).empty();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

bool RestoreIndexTemplate(std::optional<std::filesystem::path> programFolder) {
    return Trapped({common::Source("RestoreIndexTemplate"), 1, false}, [&](long&) {
        const auto target = std::filesystem::path(Helper().GetDataFolder(0)) / kTemplateName;
        if (Serves(target)) {
            return true;
        }
        const auto source =
            (programFolder ? *programFolder : platform::os::ProgramFolder()) / kTemplateName;
        const std::string text = common::ReadWholeFile(source);
        if (const std::string fault = common::IndexTemplateFault(text); !fault.empty()) {
            throw std::runtime_error(common::InFile(source.string(), fault));
        }
        // By a rename, so that a builder killed half-way leaves no half a
        // template in its place.
        platform::ReplaceFile(target, text, common::kIndexBuilderName);
        return true;
    });
}

}  // namespace kestrune
