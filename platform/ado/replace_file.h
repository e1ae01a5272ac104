#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

// Replaces the file at path with content by a rename: the content goes to a
// new file beside it, is flushed to disk, and then takes the old file's
// place in one step, so a reader sees the old file or the new one, never a
// part. A failure leaves the old file as it was and raises platform::Error.
// A replaced file keeps its permissions.
void ReplaceFile(const std::filesystem::path& path, std::string_view content);

}  // namespace platform
