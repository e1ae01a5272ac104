#include "options/prop_routines.h"

#include <exception>

#include "common/error_text.h"
#include "core/globals.h"
#include "options/prop_library.h"

namespace plovanex {

void SetDirty() {
    try {
        auto& library = Prop();
        if (library.Loading) {
            return;
        }
        library.Dirty = true;
        if (library.host) {
            library.host->OnStatusChange();
        }
    } catch (const std::exception& e) {
        ReportError(common::ErrorOccurred(e.what()), 0, common::Source("SetDirty"));
    }
}

std::vector<std::string> SplitTokens(const std::string& text, const std::string& separators) {
    std::vector<std::string> tokens(1);
    std::string token;
    for (char c : text) {
        if (separators.find(c) == std::string::npos) {
            token += c;
        } else if (!token.empty()) {
            tokens.push_back(std::move(token));
            token.clear();
        }
    }
    if (!token.empty()) {
        tokens.push_back(std::move(token));
    }
    return tokens;
}

void DoNothing(const std::string&) {}

}  // namespace plovanex
