#include "platform/mailstore/profile_impl.h"

#include <chrono>
#include <ctime>

#include "platform/home.h"

namespace mailstore {

std::string Hex(std::uint64_t value, int digits) {
    static const char* const kDigits = "0123456789ABCDEF";
    std::string out(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        out[static_cast<size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return out;
}

std::string NowText() {
    auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
    return buf;
}

Profile::Profile(std::string name, std::filesystem::path file, bool create)
    : impl_(std::make_unique<Impl>()) {
    impl_->name = std::move(name);
    impl_->file = std::move(file);
    impl_->Open(create);
    std::error_code ec;
    auto canonical = std::filesystem::weakly_canonical(impl_->file, ec);
    impl_->hubKey = ec ? impl_->file.string() : canonical.string();
}

Profile::~Profile() = default;

std::filesystem::path Profile::FileFor(const std::string& name) {
    if (name.empty() || name.find_first_of("/\\") != std::string::npos || name == "." ||
        name == "..") {
        throw platform::Error("Mail profile name '" + name + "' is not valid");
    }
    return platform::Home() / "profiles" / (name + ".db");
}

bool Profile::Exists(const std::string& name) {
    return std::filesystem::exists(FileFor(name));
}

std::shared_ptr<Profile> Profile::Create(const std::string& name) {
    auto file = FileFor(name);
    if (std::filesystem::exists(file)) {
        throw platform::Error("Mail profile " + file.string() + ": the profile '" + name +
                              "' already exists");
    }
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
        throw platform::Error("Mail profile " + file.string() + ": " + ec.message());
    }
    return std::shared_ptr<Profile>(new Profile(name, file, true));
}

std::shared_ptr<Profile> Profile::Open(const std::string& name) {
    auto file = FileFor(name);
    if (!std::filesystem::exists(file)) {
        throw platform::Error("Mail profile " + file.string() + ": there is no profile '" + name +
                              "'");
    }
    return std::shared_ptr<Profile>(new Profile(name, file, false));
}

const std::string& Profile::Name() const {
    return impl_->name;
}
const std::filesystem::path& Profile::File() const {
    return impl_->file;
}

std::uint64_t Profile::Generation() {
    return impl_->Run([&] {
        impl_->Cached();
        return impl_->generation;
    });
}

std::string Profile::NewEntryId(Id store) {
    return impl_->Run([&] { return impl_->NewEntryId(store); });
}

}  // namespace mailstore
