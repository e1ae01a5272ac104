#include "indexer/index_template.h"

#include <stdexcept>
#include <string>

#include "common/error_text.h"
#include "common/index_builder.h"
#include "common/index_row.h"
#include "indexer/global.h"
#include "platform/ado/recordset.h"
#include "platform/ado/replace_file.h"
#include "platform/os/os.h"
#include "platform/os/whole_file.h"

namespace kestrune {

namespace {

constexpr char kTemplateName[] = "FolderList.xml";

// Why the template can serve as none: it lacks what the build fills, or
// filled with one row it makes no index the recordset opens. Empty when it
// serves.
std::string TemplateFault(const std::string& text) {
    if (std::string fault = common::IndexTemplateFault(text); !fault.empty()) {
        return fault;
    }
    std::string row;
    common::AppendIndexRow(row, "Inbox", "\\\\Personal Folders\\Inbox");
    try {
        platform::ado::Recordset().OpenXml(common::FillIndexTemplate(text, row));
    } catch (const std::exception& e) {
        return common::TemplateMakesNoWholeIndex(e.what());
    }
    return {};
}

// The data folder's template can serve. Any failure counts as none, since
// the copy beside the program then takes its place.
bool Serves(const std::filesystem::path& file) {
    try {
        return TemplateFault(platform::ReadWholeFile(file)).empty();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

void CheckWholeIndex(const std::filesystem::path& file) {
    try {
        platform::ado::Recordset().Open(file.string(), "Provider=MSPersist;");
    } catch (const std::exception& e) {
        throw std::runtime_error(common::IndexNotWhole(e.what()));
    }
}

bool RestoreIndexTemplate(std::optional<std::filesystem::path> programFolder) {
    return Trapped({common::Source("RestoreIndexTemplate"), 1, false}, [&](long&) {
        const auto target = std::filesystem::path(Helper().GetDataFolder(0)) / kTemplateName;
        if (Serves(target)) {
            return true;
        }
        const auto source =
            (programFolder ? *programFolder : platform::os::ProgramFolder()) / kTemplateName;
        const std::string text = platform::ReadWholeFile(source);
        if (const std::string fault = TemplateFault(text); !fault.empty()) {
            throw std::runtime_error(common::InFile(source.string(), fault));
        }
        // By a rename, so that a builder killed half-way leaves no half a
        // template in its place.
        platform::ReplaceFile(target, text,
                              {.owner = common::kIndexBuilderName, .ordinaryPermissions = true});
        return true;
    });
}

}  // namespace kestrune
