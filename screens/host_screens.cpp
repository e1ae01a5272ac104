// The host's windows with the add-in loaded: the explorer on Sent Items and
// a mail window with the add-in's button and its "&Actions" entry; the
// message window with two errors.
#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTreeView>
#include <filesystem>
#include <memory>

#include "host/engine.h"
#include "host/explorer_window.h"
#include "host/inspector_window.h"
#include "host/message_window.h"
#include "platform/error.h"
#include "platform/os/os.h"
#include "screens/screens.h"

namespace {

// The add-in from the program's own folder, started up on the demo profile,
// with no index builder started.
class WithAddIn {
  public:
    WithAddIn()
        : starter_(platform::os::InstallStarter([](const std::filesystem::path&) {})),
          app_(outlook::OpenApplication("Default", "11.0.8217")),
          modules_(app_) {
        const auto library =
            std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) /
            "libPlovanex.so";
        if (host::InstallModule(library).empty()) {
            throw platform::Error("the add-in " + library.string() + " could not be registered");
        }
        modules_.Startup();
    }
    ~WithAddIn() {
        // The add-in opened no window here. Windows of earlier screens wait
        // for their deletion by the program, not by this screen.
        modules_.Shutdown();
        platform::os::InstallStarter(std::move(starter_));
    }
    host::ModuleHost& Modules() { return modules_; }
    const outlook::ApplicationPtr& App() { return app_; }
    outlook::ExplorerPtr Explorer() {
        auto ns = app_->GetNamespace("MAPI");
        return app_->OpenExplorer(ns->GetDefaultFolder(outlook::olFolderInbox));
    }

  private:
    platform::os::Starter starter_;
    outlook::ApplicationPtr app_;
    host::ModuleHost modules_;
};

const screens::Registration explorer("explorer", [](screens::Shot& shot) {
    WithAddIn addIn;
    auto window = std::make_unique<host::ExplorerWindow>(addIn.Modules(), addIn.Explorer());
    const char* const subjects[] = {"Quarterly figures", "Launch plan", "Desk rota for May"};
    for (const char* subject : subjects) {
        auto item = addIn.App()->CreateItem(outlook::olMailItem);
        item->SetTo("lead@example.com; contact@acme.example");
        item->SetSubject(subject);
        item->Send();
    }
    window->ShowFolder("\\\\Personal Folders\\Clients");
    window->ShowFolder("\\\\Personal Folders\\Sent Items");
    window->findChild<QTreeView*>("treeFolders")->expandToDepth(0);
    shot.Take(window.get());
});

const screens::Registration inspector("inspector", [](screens::Shot& shot) {
    WithAddIn addIn;
    addIn.Modules().ExplorerOpen(addIn.Explorer());
    auto window = std::make_unique<host::InspectorWindow>(
        addIn.Modules(), addIn.App()->CreateItem(outlook::olMailItem));
    window->Fill({.to = "Project Lead; contact@acme.example",
                  .cc = "team@example.com",
                  .subject = "Acme price list",
                  .body = "Hello,\n\nthe new price list is attached.\n\nRegards"});
    shot.Take(window.get());
    for (QAction* entry : window->menuBar()->actions()) {
        if (entry->menu() && entry->text() == "&Actions") {
            shot.Take(entry->menu(), "actions");
        }
    }
});

const screens::Registration messages("messages", [](screens::Shot& shot) {
    host::ScopedMessageWindow messages;
    messages.Window().Add({"Error occurred at line 22.  Reason: Type mismatch", 1,
                           "frmChooseOutlookFolders4.ChooseOutlookFolders"});
    messages.Window().Add(
        {"Error occurred at line 6.  Reason: a folder named Inbox is already "
         "in Personal Folders",
         1, "Plovanex.NewFolder"});
    shot.Take(&messages.Window());
});

}  // namespace
