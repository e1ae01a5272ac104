#include "platform/ado/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/error.h"

namespace platform {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path, int error) {
    throw Error(what + " \"" + path.string() + "\": " + std::strerror(error));
}

// The start of the name of every new file beside target: a dot, the
// target's name, a dot, and the owner with a dot when there is one.
std::string TempPrefix(const std::filesystem::path& target, std::string_view owner) {
    std::string prefix = "." + target.filename().string() + ".";
    if (!owner.empty()) {
        prefix.append(owner);
        prefix += '.';
    }
    return prefix;
}

// Closes the descriptor and removes the new file unless it was renamed.
class TempFile {
  public:
    TempFile(const std::filesystem::path& target, std::string_view owner) {
        std::string pattern =
            (target.parent_path() / (TempPrefix(target, owner) + "XXXXXX")).string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        fd_ = ::mkstemp(name.data());
        if (fd_ < 0) {
            Fail("Cannot create a file beside", target, errno);
        }
        path_ = name.data();
    }
    ~TempFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!renamed_) {
            ::unlink(path_.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int Fd() const { return fd_; }
    const std::string& Path() const { return path_; }
    void Closed() { fd_ = -1; }
    void Renamed() { renamed_ = true; }

  private:
    int fd_ = -1;
    std::string path_;
    bool renamed_ = false;
};

}  // namespace

void ReplaceFile(const std::filesystem::path& path, std::string_view content,
                 std::string_view owner) {
    ReplaceFile(path, content, Replacement{.owner = owner});
}

void ReplaceFile(const std::filesystem::path& path, std::string_view content,
                 const Replacement& how) {
    TempFile temp(path, how.owner);
    struct stat old {};
    mode_t mode = 0;
    if (!how.ordinaryPermissions && ::stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = (how.ordinaryPermissions ? 0644 : 0666) & ~mask;
    }
    if (::fchmod(temp.Fd(), mode) != 0) {
        Fail("Cannot set the permissions of", temp.Path(), errno);
    }
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(temp.Fd(), data, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("Cannot write to", path, errno);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(temp.Fd()) != 0) {
        Fail("Cannot flush", path, errno);
    }
    const int fd = temp.Fd();
    temp.Closed();
    if (::close(fd) != 0) {
        Fail("Cannot write to", path, errno);
    }
    if (how.check) {
        how.check(temp.Path());
    }
    if (::rename(temp.Path().c_str(), path.c_str()) != 0) {
        Fail("Cannot replace", path, errno);
    }
    temp.Renamed();
    // The rename itself reaches the disk with the folder.
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

int RemoveLeftoverFiles(const std::filesystem::path& path, std::string_view owner) {
    // mkstemp puts six characters after the prefix.
    constexpr std::size_t kUnique = 6;
    const std::string prefix = TempPrefix(path, owner);
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    int removed = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + kUnique && name.starts_with(prefix) &&
            std::filesystem::remove(entry.path(), ec)) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace platform
