#include "common/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "common/error_text.h"

namespace common {

namespace {

[[noreturn]] void CannotRead(const std::filesystem::path& path, int error) {
    const std::string reason =
        error != 0 ? std::generic_category().message(error) : std::string("read error");
    throw std::runtime_error(CannotReadFile(path.string(), reason));
}

}  // namespace

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::status(path, ec).type() == std::filesystem::file_type::not_found) {
        throw std::runtime_error(FileNotFound(path.string()));
    }
    errno = 0;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (!file) {
        CannotRead(path, errno);
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        errno = 0;
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        text.append(buffer, n);
        if (n < sizeof buffer) {
            if (std::ferror(file.get())) {
                CannotRead(path, errno);
            }
            return text;
        }
    }
}

}  // namespace common
