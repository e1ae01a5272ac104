#include "platform/mailstore/profile_impl.h"

namespace mailstore {

ArrivalHub& ArrivalHub::Instance() {
    static ArrivalHub hub;
    return hub;
}

Subscription ArrivalHub::Add(const std::string& file, Id folder, std::function<void(Id)> fn) {
    std::lock_guard lock(mutex_);
    auto key = next_++;
    listeners_[key] = Listener{file, folder, std::move(fn)};
    return Subscription(new std::uint64_t(key), [](void* p) {
        auto* k = static_cast<std::uint64_t*>(p);
        ArrivalHub::Instance().Remove(*k);
        delete k;
    });
}

void ArrivalHub::Fire(const std::string& file, Id folder, Id item) {
    std::vector<std::function<void(Id)>> calls;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [key, l] : listeners_) {
            if (l.folder == folder && l.file == file) {
                calls.push_back(l.fn);
            }
        }
    }
    for (const auto& fn : calls) {
        fn(item);
    }
}

void ArrivalHub::Remove(std::uint64_t key) {
    std::lock_guard lock(mutex_);
    listeners_.erase(key);
}

Subscription Profile::OnItemArrived(Id folder, std::function<void(Id item)> fn) {
    return ArrivalHub::Instance().Add(impl_->hubKey, folder, std::move(fn));
}

}  // namespace mailstore
