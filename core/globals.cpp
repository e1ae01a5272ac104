#include "core/globals.h"

#include "common/settings_keys.h"
#include "core/per_thread.h"
#include "platform/error.h"
#include "platform/ostrevane/log_writer.h"

namespace plovanex {

namespace settings = platform::settings;
using common::keys::SectionPlovanex;

ostrevane::SettingsHelper& Helper() {
    static PerThread<ostrevane::SettingsHelper> helpers;
    return helpers.Get();
}

std::string GetSetting(const std::string& key, const std::string& defaultText) {
    return settings::GetSetting(Helper().SettingsAppName(), SectionPlovanex, key, defaultText);
}

std::string GetSetting(const std::string& key, const char* defaultText) {
    return settings::GetSetting(Helper().SettingsAppName(), SectionPlovanex, key, defaultText);
}

std::string GetSetting(const std::string& key, int defaultNumber) {
    return settings::GetSetting(Helper().SettingsAppName(), SectionPlovanex, key, defaultNumber);
}

std::string GetSetting(const std::string& key, bool defaultFlag) {
    return settings::GetSetting(Helper().SettingsAppName(), SectionPlovanex, key, defaultFlag);
}

void SaveSetting(const std::string& key, const std::string& value) {
    settings::SaveSetting(Helper().SettingsAppName(), SectionPlovanex, key, value);
}

settings::Section GetAllSettings() {
    auto all = settings::GetSection(Helper().SettingsAppName(), SectionPlovanex);
    if (!all) {
        throw platform::Error("Invalid procedure call or argument");
    }
    return all;
}

void ReportError(const std::string& message, int code, const std::string& source) {
    Helper().ReportError(message, code, source);
}

void WriteLogLine(common::LogSource source, const std::string& text) {
    ostrevane::LogWriter writer;
    long result = 0;
    writer.WriteLine("Plovanex", source.Name(), text, result);
}

}  // namespace plovanex

namespace plovanex {

LibraryValues& Library() {
    static PerThread<LibraryValues> values;
    return values.Get();
}

}  // namespace plovanex
