#pragma once

#include <chrono>

#include "host/builds_of_this_run.h"
#include "host/engine.h"
#include "platform/outlook/outlook.h"

namespace host {

// A new explorer of the mail client on the default store's Inbox.
outlook::ExplorerPtr OpenInboxExplorer(const outlook::ApplicationPtr& application);

// The registered add-ins of one command of the host, started on the mail
// client as the client starts them. The index builds they start while it
// lives are children of the host, so that Stop can wait for them before the
// shut-down would stop them.
class RunningAddIns {
  public:
    // Creates every registered add-in and starts it up.
    explicit RunningAddIns(outlook::ApplicationPtr application);
    // Shuts the add-ins down at once when Stop was not called (an error
    // ends the command): nothing is waited for.
    ~RunningAddIns();
    RunningAddIns(const RunningAddIns&) = delete;
    RunningAddIns& operator=(const RunningAddIns&) = delete;

    ModuleHost& Modules() { return modules_; }

    // Opens an explorer on the Inbox and tells the add-ins, as the client
    // does when its main window opens: the add-in then ensures its settings
    // and starts a build when the index is missing. For commands that show
    // no explorer window; one that does tells them itself.
    void OpenExplorer();

    // Tells the add-ins that the explorer of OpenExplorer closes, waits for
    // the builds they started (at most `limit`, saying so on stderr), then
    // shuts them down. Later calls do nothing.
    void Stop(std::chrono::seconds limit = std::chrono::seconds(120));

  private:
    // Made before the add-ins start and dropped after they are shut down.
    BuildsOfThisRun builds_;
    ModuleHost modules_;
    outlook::ApplicationPtr application_;
    outlook::ExplorerPtr explorer_;
    bool stopped_ = false;
};

}  // namespace host
