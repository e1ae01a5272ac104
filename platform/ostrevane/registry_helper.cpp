#include "platform/ostrevane/registry_helper.h"

#include <charconv>

#include "platform/settings/settings_store.h"

namespace ostrevane {

std::string RegistryHelper::HiveName(std::uint32_t root) {
    return root == HKEY_CURRENT_USER ? "HKEY_CURRENT_USER" : "";
}

std::int32_t RegistryHelper::OpenKey(std::uint32_t root, const std::string& subKey,
                                     std::int32_t /*access*/) {
    CloseKey();
    auto hive = HiveName(root);
    if (hive.empty()) {
        return ERROR_INVALID_HANDLE;
    }
    if (!platform::settings::GetAllSettings(hive, subKey)) {
        return ERROR_FILE_NOT_FOUND;
    }
    hive_ = hive;
    subKey_ = subKey;
    return ERROR_SUCCESS;
}

std::int32_t RegistryHelper::ReadDWORD(const std::string& name, std::int32_t defaultValue) {
    if (!hive_) {
        return defaultValue;
    }
    auto text = platform::settings::Default().Find(*hive_, subKey_, name);
    if (!text || text->empty()) {
        return defaultValue;
    }
    // Decimal text, signed or unsigned; a DWORD above 2^31 reads as the
    // negative 32-bit number with the same bits.
    const char* first = text->data();
    const char* last = first + text->size();
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || value < INT32_MIN || value > UINT32_MAX) {
        return defaultValue;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

void RegistryHelper::CloseKey() {
    hive_.reset();
    subKey_.clear();
}

}  // namespace ostrevane
