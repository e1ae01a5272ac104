#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ostrevane {

// The registry root the system opens its keys under.
inline constexpr std::uint32_t HKEY_CURRENT_USER = 0x80000001u;

// Status codes of OpenKey, as the registry gives them.
inline constexpr std::int32_t ERROR_SUCCESS = 0;
inline constexpr std::int32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::int32_t ERROR_INVALID_HANDLE = 6;

// A registry hive kept in the settings store: the root's name
// ("HKEY_CURRENT_USER") is the application, the sub-key path the section and
// the value name the key. A 32-bit value is stored as its decimal text. A
// key exists while it holds a value.
class RegistryHelper {
  public:
    // The application name under which a root's keys lie.
    static std::string HiveName(std::uint32_t root);

    // ERROR_SUCCESS when the key exists; ERROR_FILE_NOT_FOUND when it does
    // not; ERROR_INVALID_HANDLE for a root other than HKEY_CURRENT_USER. The
    // access mask is accepted as given.
    std::int32_t OpenKey(std::uint32_t root, const std::string& subKey, std::int32_t access);
    // The value, or defaultValue when no key is open, the value is absent or
    // it is not a 32-bit number.
    std::int32_t ReadDWORD(const std::string& name, std::int32_t defaultValue = -2);
    void CloseKey();

  private:
    std::optional<std::string> hive_;
    std::string subKey_;
};

}  // namespace ostrevane
