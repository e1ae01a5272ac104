#pragma once

// A one-shot timer on the calling thread's event loop (the window's thread).
// The header has no Qt types, so code without Qt can ask for one.

#include <cstdint>
#include <functional>

namespace platform::os {

using TimerId = std::uint32_t;

// Calls callback once, after the interval, on the calling thread. Gives the
// timer's id, never 0; gives 0 when no timer can be made (no event loop).
TimerId SetTimer(std::uint32_t milliseconds, std::function<void()> callback);
// Stops a timer whose callback has not run to its end (it may call this
// itself); false when there is none of that id.
bool KillTimer(TimerId id);

}  // namespace platform::os
