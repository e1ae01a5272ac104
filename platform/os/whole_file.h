#pragma once

#include <filesystem>
#include <string>

namespace platform {

// The whole file, byte for byte. Raises std::runtime_error with the real
// cause: "File not found: <path>" when there is no file, else
// "Cannot read <path>: <reason>" (a folder, no permission, a read error).
// Only a regular file is read: a FIFO, a device or a link to one is refused
// without blocking, with the reason "Not a regular file".
std::string ReadWholeFile(const std::filesystem::path& path);

}  // namespace platform
