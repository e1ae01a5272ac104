#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "platform/os/os.h"

namespace host {

// The programs the modules start during one command of the host (the index
// builder, when the index is missing). While the object lives they start as
// children of the host, so that a one-shot command can wait for a build it
// caused before it shuts the modules down: the shut-down stops a build. The
// OS layer reaps each one when it ends; one that has ended is dropped from
// the list at the next start or wait.
class BuildsOfThisRun {
  public:
    BuildsOfThisRun();
    // Puts back the start that was installed before.
    ~BuildsOfThisRun();
    BuildsOfThisRun(const BuildsOfThisRun&) = delete;
    BuildsOfThisRun& operator=(const BuildsOfThisRun&) = delete;

    // Waits for every program started so far that still runs, at most limit
    // in all, saying on stderr that it waits and, when the time is up, that
    // it gave up. Says nothing when none runs.
    void WaitForThem(std::chrono::seconds limit = std::chrono::seconds(120));

  private:
    struct Started;
    std::shared_ptr<Started> started_;
    platform::os::Starter previous_;
};

}  // namespace host
