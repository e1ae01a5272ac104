#include "host/builds_of_this_run.h"

#include <algorithm>
#include <iostream>
#include <mutex>

namespace host {

struct BuildsOfThisRun::Started {
    std::mutex mutex;
    std::vector<std::unique_ptr<platform::os::ChildProgram>> programs;
};

BuildsOfThisRun::BuildsOfThisRun() : started_(std::make_shared<Started>()) {
    previous_ = platform::os::InstallStarter([started = started_](const auto& program) {
        auto child = std::make_unique<platform::os::ChildProgram>(program);
        std::lock_guard lock(started->mutex);
        std::erase_if(started->programs, [](const auto& p) { return p->HasEnded(); });
        started->programs.push_back(std::move(child));
    });
}

BuildsOfThisRun::~BuildsOfThisRun() {
    platform::os::InstallStarter(std::move(previous_));
}

void BuildsOfThisRun::WaitForThem(std::chrono::seconds limit) {
    std::vector<std::unique_ptr<platform::os::ChildProgram>> programs;
    {
        std::lock_guard lock(started_->mutex);
        programs.swap(started_->programs);
    }
    std::erase_if(programs, [](const auto& p) { return p->HasEnded(); });
    if (programs.empty()) {
        return;
    }
    std::cerr << "ostrevane: waiting for the index build to finish (at most " << limit.count()
              << " s)...\n";
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (const auto& program : programs) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (!program->WaitForEnd(std::max(left, std::chrono::milliseconds(0)))) {
            std::cerr << "ostrevane: the index build did not finish within " << limit.count()
                      << " s; going on without it\n";
            return;
        }
    }
}

}  // namespace host
