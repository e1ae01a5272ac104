// Hot help: the help text of the control under the pointer goes to the host,
// once per change of control.

#include <string>

#include "core/globals.h"
#include "options/form_support.h"
#include "options/prop_library.h"
#include "options/uc1_page.h"

namespace plovanex {

namespace {

struct HotHelpEntry {
    int number;
    const char* key;
};

// The help numbers of the controls, in the order the texts are taken.
constexpr HotHelpEntry kHotHelp[] = {
    {0, "frameSettings"},
    {1, "Label8"},
    {2, "Label9"},
    {3, "Label10"},
    {4, "Label11"},
    {5, "cmdRunNow"},
    {6, "OrganizeProgressBar"},
    {7, "Label2"},
    {9, "optSentFilter"},
    {10, "txtSaveToFolder"},
    {11, "cmdChooseFolder"},
    {13, "grdKeywords"},
    {15, "vsFlexGridAssociate"},
    {25, "optSentFilter-1"},
    {28, "frameFromAccount"},
    {29, "chkIgnoreCC"},
};

}  // namespace

void UC1::Page::BuildHotHelp() {
    helpTexts.Clear();
    const auto& library = Prop();
    for (const auto& entry : kHotHelp) {
        helpTexts.Add(Helper().GetHelpText(library.helpSource, std::to_string(entry.number)),
                      entry.key);
    }
}

void UC1::Page::ShowHotHelp(std::string& name) {
    auto& library = Prop();
    if (!library.host) {
        return;
    }
    if (name.empty()) {
        lastHotHelpName.clear();
        std::string empty;
        library.host->SetHotHelp(hotHelpCaption, empty);
        return;
    }
    if (SameTextIgnoringCase(name, lastHotHelpName)) {
        return;
    }
    lastHotHelpName = name;
    std::string text = Helper().GetHelpText(helpTexts, name);
    library.host->SetHotHelp(hotHelpCaption, text);
}

}  // namespace plovanex
