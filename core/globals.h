#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/log_source.h"
#include "common/trap.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/settings/settings_store.h"

namespace plovanex {

// The library's one SettingsHelper, made at its first use.
ostrevane::SettingsHelper& Helper();

// Settings of section "Plovanex" under the helper's application name, asked
// afresh at every access. A typed default is turned into text.
std::string GetSetting(const std::string& key, const std::string& defaultText);
std::string GetSetting(const std::string& key, const char* defaultText);
std::string GetSetting(const std::string& key, int defaultNumber);
std::string GetSetting(const std::string& key, bool defaultFlag);
void SaveSetting(const std::string& key, const std::string& value);
// Several values at once, all or none.
void SaveSettings(const std::vector<platform::settings::Setting>& values);
// Every pair of section "Plovanex", never nothing; raises platform::Error
// when the section is absent, as the language's read-all does.
platform::settings::Section GetAllSettings();

// Reports through the library's helper.
void ReportError(const std::string& message, int code, const std::string& source);

// The library's procedures trap their errors, and its forms guard their
// handlers, with reports through ReportError.
inline constexpr common::Trapper<&ReportError> Trapped{};
inline constexpr common::Guard<&ReportError> Guarded{};

// One trace line through a new LogWriter, as the application "Plovanex".
void WriteLogLine(common::LogSource source, const std::string& text);

}  // namespace plovanex

namespace plovanex {

// Library-wide values, one set per thread that uses the library. The add-in
// class sets the Sent Items values at every explorer open; in a library where
// nothing sets them they stay empty.
struct LibraryValues {
    std::string sentItemsEntryId;
    std::string sentItemsStoreId;
    std::string sentItemsName;
    // The processor's item queue: item EntryIDs, first in, first out.
    std::shared_ptr<std::deque<std::string>> itemQueue;
    // A chooser question found the processor busy.
    bool askedWhileBusy = false;
    // Moves and copies of the library's own that are under way. The item
    // one of them brings into Sent Items is not a new sent item.
    int ownFilings = 0;
};
LibraryValues& Library();

// Marks one move or copy of the library's own for its life.
class OwnFiling {
  public:
    OwnFiling() { ++Library().ownFilings; }
    ~OwnFiling() { --Library().ownFilings; }
    OwnFiling(const OwnFiling&) = delete;
    OwnFiling& operator=(const OwnFiling&) = delete;
};

}  // namespace plovanex
