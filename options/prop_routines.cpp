#include "options/prop_routines.h"

#include <exception>

#include "common/error_text.h"
#include "core/globals.h"
#include "options/prop_library.h"

namespace plovanex {

void SetDirty() {
    Trapped({common::Source("SetDirty"), 0, false}, [&](long&) {
        auto& library = Prop();
        if (library.Loading) {
            return;
        }
        library.Dirty = true;
        if (library.host) {
            library.host->OnStatusChange();
        }
    });
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
