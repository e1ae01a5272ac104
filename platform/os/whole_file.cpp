#include "platform/os/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

#include "common/error_text.h"

namespace platform {

namespace {

[[noreturn]] void CannotRead(const std::filesystem::path& path, int error) {
    throw std::runtime_error(
        common::CannotReadFile(path.string(), std::generic_category().message(error)));
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { ::close(fd_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

std::string ReadWholeFile(const std::filesystem::path& path) {
    // Without blocking: a FIFO or a device opens at once, and is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            throw std::runtime_error(common::FileNotFound(path.string()));
        }
        CannotRead(path, errno);
    }
    const Descriptor file(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        CannotRead(path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        CannotRead(path, EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        throw std::runtime_error(common::CannotReadFile(path.string(), common::kNotARegularFile));
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            CannotRead(path, errno);
        }
        if (n == 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace platform
