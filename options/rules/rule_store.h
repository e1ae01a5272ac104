#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace plovanex {

// The rule key of a value name: the text in front of the first stemWord
// ("Keyword" or "Assoc"), when that text is a whole number in decimal digits.
// Nothing for a name of no rule of that kind; digits that make no 32-bit
// number raise "Overflow", as the language's conversion does.
std::optional<std::int32_t> RuleKeyOf(std::string_view name, std::string_view stemWord);

// The keys that hold a value of a rule of that kind in section "Plovanex";
// digits too many for a key hold none.
std::set<std::int32_t> RuleKeysInUse(std::string_view stemWord);

// Deletes one value of section "Plovanex"; a value that is not there, or a
// store that fails, is no error.
void DeleteSettingQuiet(const std::string& key);

// Deletes the contact names and tags of the rule whose index lies beyond
// count, wherever they stand, so that only the counted contacts remain.
void DeleteContactsBeyond(const std::string& ruleKey, std::int32_t count);

}  // namespace plovanex
