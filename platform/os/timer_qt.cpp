#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>

#include "platform/os/timer.h"

namespace platform::os {

namespace {

struct Timers {
    std::mutex mutex;
    TimerId next = 0;
    std::map<TimerId, QTimer*> live;
};

Timers& AllTimers() {
    static Timers timers;
    return timers;
}

}  // namespace

TimerId SetTimer(std::uint32_t milliseconds, std::function<void()> callback) {
    if (!QCoreApplication::instance()) {
        return 0;
    }
    auto& timers = AllTimers();
    auto* timer = new QTimer;
    timer->setSingleShot(true);
    TimerId id;
    {
        std::lock_guard lock(timers.mutex);
        do {
            id = ++timers.next;
        } while (id == 0 || timers.live.count(id));
        timers.live[id] = timer;
    }
    // As a Windows timer, it stands until it is killed or its callback has
    // run: a KillTimer inside the callback finds it.
    QObject::connect(timer, &QTimer::timeout, timer, [id, timer, callback = std::move(callback)] {
        if (callback) {
            callback();
        }
        {
            std::lock_guard lock(AllTimers().mutex);
            AllTimers().live.erase(id);
        }
        timer->deleteLater();
    });
    timer->start(static_cast<int>(std::min<std::uint32_t>(milliseconds, INT32_MAX)));
    return id;
}

bool KillTimer(TimerId id) {
    QTimer* timer = nullptr;
    {
        auto& timers = AllTimers();
        std::lock_guard lock(timers.mutex);
        auto it = timers.live.find(id);
        if (it == timers.live.end()) {
            return false;
        }
        timer = it->second;
        timers.live.erase(it);
    }
    timer->stop();
    timer->deleteLater();
    return true;
}

}  // namespace platform::os
