#include "options/rules/rule_store.h"

#include <charconv>
#include <exception>
#include <system_error>
#include <vector>

#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "platform/settings/settings_store.h"

namespace plovanex {

namespace keys = common::keys;

namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// A whole number in decimal digits that fits 32 bits, or nothing.
std::optional<std::int32_t> WholeNumber(std::string_view text) {
    if (!AllDigits(text)) {
        return std::nullopt;
    }
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

// The rule key of a name, or nothing, without raising.
std::optional<std::int32_t> KeyOf(std::string_view name, std::string_view stemWord) {
    const auto pos = name.find(stemWord);
    return pos == std::string_view::npos ? std::nullopt : WholeNumber(name.substr(0, pos));
}

}  // namespace

std::optional<std::int32_t> RuleKeyOf(std::string_view name, std::string_view stemWord) {
    const auto pos = name.find(stemWord);
    if (pos == std::string_view::npos || !AllDigits(name.substr(0, pos))) {
        return std::nullopt;
    }
    return vb::ToLong(name.substr(0, pos));
}

std::set<std::int32_t> RuleKeysInUse(std::string_view stemWord) {
    std::set<std::int32_t> used;
    auto all =
        platform::settings::GetAllSettings(Helper().SettingsAppName(), keys::SectionPlovanex);
    if (!all) {
        return used;
    }
    for (const auto& setting : *all) {
        if (auto key = KeyOf(setting.key, stemWord)) {
            used.insert(*key);
        }
    }
    return used;
}

void DeleteSettingQuiet(const std::string& key) {
    try {
        platform::settings::DeleteSetting(Helper().SettingsAppName(), keys::SectionPlovanex, key);
    } catch (const std::exception&) {
        // A value that is not there is no error.
    }
}

void DeleteContactsBeyond(const std::string& ruleKey, std::int32_t count) {
    const auto key = WholeNumber(ruleKey);
    if (!key) {
        return;
    }
    auto all =
        platform::settings::GetAllSettings(Helper().SettingsAppName(), keys::SectionPlovanex);
    if (!all) {
        return;
    }
    std::vector<std::string> beyond;
    for (const auto& setting : *all) {
        if (KeyOf(setting.key, keys::AssocStem) != key) {
            continue;
        }
        const std::string_view name = setting.key;
        const std::string_view stem = name.substr(name.find(keys::AssocStem));
        for (std::string_view entry : {keys::AssocContactName, keys::AssocContactTag}) {
            if (!stem.starts_with(entry)) {
                continue;
            }
            const auto index = WholeNumber(stem.substr(entry.size()));
            if (index && *index > count) {
                beyond.push_back(setting.key);
            }
        }
    }
    for (const auto& name : beyond) {
        DeleteSettingQuiet(name);
    }
}

}  // namespace plovanex
