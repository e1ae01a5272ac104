#include "indexer/process_priority.h"

#include <unistd.h>

#include <exception>

#include "common/error_text.h"
#include "indexer/global.h"
#include "platform/error.h"
#include "platform/os/os.h"

namespace kestrune {

namespace os = platform::os;

std::uint32_t PriorityClassOf(const std::string& processPriority) {
    if (processPriority == "Idle") {
        return os::IDLE_PRIORITY_CLASS;
    }
    if (processPriority == "Low") {
        return os::BELOW_NORMAL_PRIORITY_CLASS;
    }
    if (processPriority == "Normal") {
        return os::NORMAL_PRIORITY_CLASS;
    }
    if (processPriority == "High") {
        return os::ABOVE_NORMAL_PRIORITY_CLASS;
    }
    return os::BELOW_NORMAL_PRIORITY_CLASS;
}

std::int32_t ProcessPrioritySet(std::int32_t processId, std::uintptr_t /*windowHandle*/,
                                std::uint32_t priorityClass) {
    return Trapped({common::Source("ProcessPrioritySet"), 1, false}, [&](long&) {
        // Every window of this program belongs to this process.
        if (processId != 0 && processId != static_cast<std::int32_t>(::getpid())) {
            throw platform::Error("Cannot open the process " + std::to_string(processId));
        }
        // A refused change leaves the priority as it was; the class is then
        // read back either way.
        os::SetPriorityClass(priorityClass);
        return static_cast<std::int32_t>(os::GetPriorityClass());
    });
}

}  // namespace kestrune
