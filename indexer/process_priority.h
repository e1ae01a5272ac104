#pragma once

#include <cstdint>
#include <string>

namespace kestrune {

// The priority class of a ProcessPriority text, compared case-sensitively:
// "Idle", "Low", "Normal", "High" (above normal); anything else below normal.
std::uint32_t PriorityClassOf(const std::string& processPriority);

// Sets the priority class of the process (0: the one that owns the window,
// or with no window this one) and gives the class it then has. Only this
// process can be changed; another is an error. Errors are reported and give
// 0.
std::int32_t ProcessPrioritySet(std::int32_t processId, std::uintptr_t windowHandle,
                                std::uint32_t priorityClass);

}  // namespace kestrune
