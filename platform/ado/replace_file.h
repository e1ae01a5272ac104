#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace platform {

// Replaces the file at path with content by a rename: the content goes to a
// new file beside it, is flushed to disk, and then takes the old file's
// place in one step, so a reader sees the old file or the new one, never a
// part. A failure leaves the old file as it was and raises platform::Error.
// A replaced file keeps its permissions. A writer that names itself as
// owner gets new files of its own name, which RemoveLeftoverFiles finds.
void ReplaceFile(const std::filesystem::path& path, std::string_view content,
                 std::string_view owner = {});

// How ReplaceFile makes the new file, beyond its owner.
struct Replacement {
    std::string_view owner = {};
    // 0644 less the umask, not the old file's permissions.
    bool ordinaryPermissions = false;
    // Looks at the new file, written whole, before it takes the old one's
    // place; what it raises leaves the old file as it was.
    std::function<void(const std::filesystem::path&)> check = {};
};
void ReplaceFile(const std::filesystem::path& path, std::string_view content,
                 const Replacement& how);

// Removes the new files that ReplaceFile of that owner left beside path when
// its process was killed before the rename. Only for an owner that knows no
// other copy of itself is writing. Gives how many were removed; a file that
// cannot be removed is left.
int RemoveLeftoverFiles(const std::filesystem::path& path, std::string_view owner);

}  // namespace platform
