#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ostrevane {

// The help texts the engine keeps for a product, by help number; none for a
// product it does not know.
std::vector<std::pair<int, std::string>> ProductHelpTexts(const std::string& product);

}  // namespace ostrevane
