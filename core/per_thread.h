#pragma once

#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace plovanex {

// One value of T for each thread that asks, made at its first ask. The table
// belongs to the library: its values end when the library is unloaded, and
// it takes no thread-local storage, which would outlive the unload (a
// library cannot give back the thread-local storage it was given, nor end a
// thread's values before the thread ends). A thread that ends leaves its
// value until the unload.
template <typename T>
class PerThread {
  public:
    T& Get() {
        std::lock_guard lock(mutex_);
        auto& value = values_[std::this_thread::get_id()];
        if (!value) {
            value = std::make_unique<T>();
        }
        return *value;
    }

  private:
    std::mutex mutex_;
    std::unordered_map<std::thread::id, std::unique_ptr<T>> values_;
};

}  // namespace plovanex
