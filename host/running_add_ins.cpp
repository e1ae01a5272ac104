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

outlook::ExplorerPtr RunningAddIns::OpenExplorer() {
    auto ns = application_->GetNamespace("MAPI");
    explorer_ = application_->OpenExplorer(ns->GetDefaultFolder(outlook::olFolderInbox));
    modules_.ExplorerOpen(explorer_);
    return explorer_;
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
