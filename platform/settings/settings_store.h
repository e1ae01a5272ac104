#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::settings {

struct Setting {
    std::string key;
    std::string value;
    bool operator==(const Setting&) const = default;
};

// One section's pairs as read at one time; nothing when it is absent. Shared
// and never changed, so that a reader pays no copy.
using Section = std::shared_ptr<const std::vector<Setting>>;

// The per-user store of named string values, addressed by application,
// section and key. Names compare without regard to case and keep the case
// they were first written with. One SQLite file, shared by every process.
// Every failure raises platform::Error naming the file.
class Store {
  public:
    explicit Store(std::filesystem::path file);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // The stored value, or defaultText when the key is absent.
    std::string Read(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& defaultText);
    // The stored value, or nothing when the key is absent.
    std::optional<std::string> Find(const std::string& app, const std::string& section,
                                    const std::string& key);
    // Creates the value or replaces it; a replaced key keeps its place.
    void Write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value);
    // Every pair of one section in the order its keys were first created;
    // nothing when the section is absent.
    std::optional<std::vector<Setting>> ReadAll(const std::string& app, const std::string& section);
    // The same, without a copy.
    Section ReadSection(const std::string& app, const std::string& section);
    // Removes one key; raises when it is absent.
    void Delete(const std::string& app, const std::string& section, const std::string& key);

    const std::filesystem::path& File() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The store under platform::Home() ("settings.db"), opened at first use and
// opened afresh when the home folder changes.
Store& Default();

// The file Default() opens.
std::filesystem::path DefaultFile();

// The language runtime's GetSetting with a typed default: the default turned
// into text, as the runtime does it (-1 gives "-1", False gives "False").
std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& defaultText);
std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                       const char* defaultText);
std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                       int defaultNumber);
std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                       bool defaultFlag);
void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                 const std::string& value);
std::optional<std::vector<Setting>> GetAllSettings(const std::string& app,
                                                   const std::string& section);
Section GetSection(const std::string& app, const std::string& section);
void DeleteSetting(const std::string& app, const std::string& section, const std::string& key);

}  // namespace platform::settings
