#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ostrevane/host_engine.h"
#include "platform/ostrevane/module_api.h"
#include "platform/ostrevane/module_loader.h"
#include "platform/outlook/outlook.h"

namespace host {

// A button or menu entry that a module put on an item window.
struct InspectorControl {
    ostrevane::IModuleAPI* module = nullptr;
    bool menuItem = false;
    std::int32_t id = 0;
    std::int32_t style = 0;
    std::string displayName;
    std::string menuName;  // menu entries only
    std::string tag;
    std::string registryName;
    std::string caption;
    outlook::InspectorPtr inspector;
};

// The engine object the host hands to each module at start-up.
class HostEngine : public ostrevane::IHostEngine {
  public:
    explicit HostEngine(outlook::ApplicationPtr application);
    ~HostEngine() override;

    outlook::ApplicationPtr GetOutlookApplication() override;
    // One log line: the module's FriendlyName, the procedure, the message.
    void LogMessage(ostrevane::IModuleAPI* module, std::string& procedure,
                    std::string& message) override;
    void AddInspectorButton(ostrevane::IModuleAPI* module, std::int32_t buttonId,
                            std::int32_t style, const std::string& displayName,
                            std::int32_t position, outlook::InspectorPtr inspector,
                            const std::string& registryName, const std::string& caption) override;
    void AddInspectorMenuItem(ostrevane::IModuleAPI* module, std::int32_t menuId,
                              std::int32_t style, const std::string& displayName,
                              const std::string& menuName, outlook::InspectorPtr inspector,
                              const std::string& tag, const std::string& registryName,
                              const std::string& caption) override;
    // Subscribes to the folder's item arrivals; each raises the module's
    // QvItemEvent (kind 1) with the folder's ids. A folder the module has
    // registered already is not subscribed twice.
    void RegisterFolder(ostrevane::IModuleAPI* module, std::int32_t kind,
                        const std::string& entryId, const std::string& storeId) override;
    outlook::FolderPtr GetFolderFromIds(const std::string& entryId,
                                        const std::string& storeId) override;

    // The buttons and menu entries of an item window, in the order added.
    std::vector<InspectorControl> Controls(const outlook::InspectorPtr& inspector) const;
    // A click on a button runs the module's QvButtonAction, one on a menu
    // entry its QvMenuAction. An error the module lets escape is reported.
    void Click(const InspectorControl& control);
    // Clicks the button of that caption. False when the window has no such
    // button.
    bool ClickButton(const outlook::InspectorPtr& inspector, const std::string& caption);
    // Drops the module's controls and folder subscriptions.
    void Forget(ostrevane::IModuleAPI* module);
    // Drops the controls of a closed item window.
    void Forget(const outlook::InspectorPtr& inspector);

  private:
    struct Registration {
        ostrevane::IModuleAPI* module;
        std::string entryId;
        std::string storeId;
        outlook::Subscription subscription;
    };
    outlook::ApplicationPtr application_;
    mutable std::mutex mutex_;
    std::vector<InspectorControl> controls_;
    std::vector<Registration> registrations_;
};

// The settings section that lists the add-ins the host drives, by class name.
inline constexpr char kAddInsSection[] = "AddIns";

// The settings section that lists the property pages the options dialog
// shows, by class name.
inline constexpr char kPropertyPagesSection[] = "PropertyPages";

// Registers a module library's classes and lists each class that is an
// add-in (offers IModuleAPI) for the host to drive, and each that is a
// property page (offers IPropertyPage) for the options dialog. Gives the
// add-ins' class names, and the pages' in `pages` when it is given; failures
// are reported and give none.
std::vector<std::string> InstallModule(const std::filesystem::path& file,
                                       std::vector<std::string>* pages = nullptr);

// Loads the listed add-ins and drives them through IModuleAPI: start-up,
// explorer and inspector opens, shut-down. Item events reach them through
// the folders they register with the engine.
class ModuleHost {
  public:
    explicit ModuleHost(outlook::ApplicationPtr application);
    ~ModuleHost();
    ModuleHost(const ModuleHost&) = delete;
    ModuleHost& operator=(const ModuleHost&) = delete;

    // Creates every listed add-in and starts it up.
    void Startup();
    // Starts up a module made elsewhere (tests).
    void Startup(ostrevane::ModulePtr module);
    void ExplorerOpen(const outlook::ExplorerPtr& explorer);
    void ExplorerClose(const outlook::ExplorerPtr& explorer);
    void InspectorOpen(const outlook::InspectorPtr& inspector);
    void InspectorActivate(const outlook::InspectorPtr& inspector);
    // Tells the modules, then drops the window's buttons and menu entries.
    void InspectorClose(const outlook::InspectorPtr& inspector);
    // Shuts every module down and drops it; later calls do nothing.
    void Shutdown();

    const std::shared_ptr<HostEngine>& Engine() const { return engine_; }
    const std::vector<ostrevane::ModulePtr>& Modules() const { return modules_; }

  private:
    // Runs `call` on every module; an error one lets escape is reported and
    // the others still run.
    void ForEach(const char* operation,
                 const std::function<void(ostrevane::IModuleAPI&, ostrevane::ModuleResult&)>& call);

    std::shared_ptr<HostEngine> engine_;
    ostrevane::ModuleLoader loader_;
    std::vector<ostrevane::ModulePtr> modules_;
};

}  // namespace host
