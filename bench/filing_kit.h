#pragma once

// What the filing benchmarks share: the clock and the resident memory.
#include <unistd.h>

#include <chrono>
#include <fstream>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double ResidentMB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

inline double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

}  // namespace bench
