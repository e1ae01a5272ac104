#include "host/running_add_ins.h"

#include "host/gui.h"

namespace host {

RunningAddIns::RunningAddIns(outlook::ApplicationPtr application)
    : modules_(application), application_(std::move(application)) {
    modules_.Startup();
}

RunningAddIns::~RunningAddIns() {
    if (!stopped_) {
        ShutdownModules(modules_);
    }
}

outlook::ExplorerPtr OpenInboxExplorer(const outlook::ApplicationPtr& application) {
    return application->OpenExplorer(
        application->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox));
}

void RunningAddIns::OpenExplorer() {
    explorer_ = OpenInboxExplorer(application_);
    modules_.ExplorerOpen(explorer_);
}

void RunningAddIns::Stop(std::chrono::seconds limit) {
    if (stopped_) {
        return;
    }
    stopped_ = true;
    if (auto explorer = std::move(explorer_)) {
        modules_.ExplorerClose(explorer);
        explorer->Close();
    }
    builds_.WaitForThem(limit);
    ShutdownModules(modules_);
}

}  // namespace host
