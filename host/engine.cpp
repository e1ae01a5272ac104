#include "host/engine.h"

#include <algorithm>

#include "platform/ostrevane/property_page.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/ostrevane/sink.h"
#include "platform/settings/settings_store.h"

namespace host {

namespace {

std::string TextOf(const ostrevane::ModuleResult& result) {
    if (const auto* text = std::get_if<std::string>(&result)) {
        return *text;
    }
    return std::to_string(std::get<std::int32_t>(result));
}

void Report(const std::string& message) {
    ostrevane::SettingsHelper().ReportError(message, 1, "Ostrevane.ModuleHost");
}

std::string NameOf(ostrevane::IModuleAPI& module) {
    try {
        ostrevane::ModuleResult result;
        module.FriendlyName(result);
        return TextOf(result);
    } catch (const std::exception&) {
        return "a module";
    }
}

// Runs one call of a module; what it lets escape is reported.
template <typename Call>
void Guarded(ostrevane::IModuleAPI& module, const char* operation, Call&& call) {
    try {
        call();
    } catch (const std::exception& e) {
        Report(NameOf(module) + " failed in " + operation + ": " + e.what());
    } catch (...) {
        Report(NameOf(module) + " failed in " + operation);
    }
}

}  // namespace

HostEngine::HostEngine(outlook::ApplicationPtr application)
    : application_(std::move(application)) {}

HostEngine::~HostEngine() = default;

outlook::ApplicationPtr HostEngine::GetOutlookApplication() {
    return application_;
}

void HostEngine::LogMessage(ostrevane::IModuleAPI* module, std::string& procedure,
                            std::string& message) {
    std::string name;
    if (module) {
        ostrevane::ModuleResult result;
        module->FriendlyName(result);
        name = TextOf(result);
    }
    ostrevane::Deliver(ostrevane::LogLine{name, procedure, message});
}

void HostEngine::AddInspectorButton(ostrevane::IModuleAPI* module, std::int32_t buttonId,
                                    std::int32_t style, const std::string& displayName,
                                    std::int32_t /*position*/, outlook::InspectorPtr inspector,
                                    const std::string& registryName, const std::string& caption) {
    std::lock_guard lock(mutex_);
    controls_.push_back(
        {module, false, buttonId, style, displayName, "", "", registryName, caption, inspector});
}

void HostEngine::AddInspectorMenuItem(ostrevane::IModuleAPI* module, std::int32_t menuId,
                                      std::int32_t style, const std::string& displayName,
                                      const std::string& menuName, outlook::InspectorPtr inspector,
                                      const std::string& tag, const std::string& registryName,
                                      const std::string& caption) {
    std::lock_guard lock(mutex_);
    controls_.push_back({module, true, menuId, style, displayName, menuName, tag, registryName,
                         caption, inspector});
}

void HostEngine::RegisterFolder(ostrevane::IModuleAPI* module, std::int32_t /*kind*/,
                                const std::string& entryId, const std::string& storeId) {
    {
        std::lock_guard lock(mutex_);
        for (const auto& r : registrations_) {
            if (r.module == module && r.entryId == entryId && r.storeId == storeId) {
                return;
            }
        }
    }
    auto folder = GetFolderFromIds(entryId, storeId);
    if (!folder || !module) {
        return;
    }
    auto subscription = folder->OnItemAdd([module, entryId, storeId](outlook::ItemPtr item) {
        Guarded(*module, "QvItemEvent", [&] {
            std::int32_t kind = 1;
            bool cancel = false;
            std::string e = entryId;
            std::string s = storeId;
            ostrevane::ModuleResult result;
            module->QvItemEvent(kind, item, cancel, e, s, result);
        });
    });
    std::lock_guard lock(mutex_);
    registrations_.push_back({module, entryId, storeId, std::move(subscription)});
}

outlook::FolderPtr HostEngine::GetFolderFromIds(const std::string& entryId,
                                                const std::string& storeId) {
    try {
        return application_->GetNamespace("MAPI")->GetFolderFromID(entryId, storeId);
    } catch (const std::exception&) {
        return nullptr;
    }
}

std::vector<InspectorControl> HostEngine::Controls(const outlook::InspectorPtr& inspector) const {
    std::lock_guard lock(mutex_);
    std::vector<InspectorControl> out;
    std::copy_if(controls_.begin(), controls_.end(), std::back_inserter(out),
                 [&](const InspectorControl& c) { return c.inspector == inspector; });
    return out;
}

void HostEngine::Click(const InspectorControl& control) {
    if (!control.module) {
        return;
    }
    auto& module = *control.module;
    Guarded(module, control.menuItem ? "QvMenuAction" : "QvButtonAction", [&] {
        ostrevane::ModuleResult result;
        if (control.menuItem) {
            module.QvMenuAction(control.id, control.tag, result);
        } else {
            module.QvButtonAction(control.id, control.tag, result);
        }
    });
}

bool HostEngine::ClickButton(const outlook::InspectorPtr& inspector, const std::string& caption) {
    for (const auto& control : Controls(inspector)) {
        if (!control.menuItem && control.caption == caption && control.module) {
            Click(control);
            return true;
        }
    }
    return false;
}

void HostEngine::Forget(const outlook::InspectorPtr& inspector) {
    std::lock_guard lock(mutex_);
    std::erase_if(controls_, [&](const InspectorControl& c) { return c.inspector == inspector; });
}

void HostEngine::Forget(ostrevane::IModuleAPI* module) {
    std::vector<Registration> dropped;
    {
        std::lock_guard lock(mutex_);
        std::erase_if(controls_, [&](const InspectorControl& c) { return c.module == module; });
        auto keep =
            std::stable_partition(registrations_.begin(), registrations_.end(),
                                  [&](const Registration& r) { return r.module != module; });
        std::move(keep, registrations_.end(), std::back_inserter(dropped));
        registrations_.erase(keep, registrations_.end());
    }
}

std::vector<std::string> InstallModule(const std::filesystem::path& file,
                                       std::vector<std::string>* pages) {
    ostrevane::ModuleLoader loader;
    auto library = loader.Install(file);
    std::vector<std::string> addIns;
    if (!library) {
        return addIns;
    }
    auto app = ostrevane::SettingsHelper().SettingsAppName();
    try {
        for (const auto& name : library->Classes()) {
            auto object = library->Create(name);
            if (std::dynamic_pointer_cast<ostrevane::IModuleAPI>(object)) {
                platform::settings::SaveSetting(app, kAddInsSection, name, "1");
                addIns.push_back(name);
            }
            if (std::dynamic_pointer_cast<ostrevane::IPropertyPage>(object)) {
                platform::settings::SaveSetting(app, kPropertyPagesSection, name, "1");
                if (pages) {
                    pages->push_back(name);
                }
            }
        }
    } catch (const std::exception& e) {
        Report(e.what());
    }
    return addIns;
}

ModuleHost::ModuleHost(outlook::ApplicationPtr application)
    : engine_(std::make_shared<HostEngine>(std::move(application))) {}

ModuleHost::~ModuleHost() {
    Shutdown();
}

void ModuleHost::Startup() {
    auto app = ostrevane::SettingsHelper().SettingsAppName();
    std::optional<std::vector<platform::settings::Setting>> listed;
    try {
        listed = platform::settings::GetAllSettings(app, kAddInsSection);
    } catch (const std::exception& e) {
        Report(e.what());
    }
    if (!listed) {
        return;
    }
    for (const auto& entry : *listed) {
        if (auto module = loader_.Create<ostrevane::IModuleAPI>(entry.key)) {
            Startup(module);
        }
    }
}

void ModuleHost::Startup(ostrevane::ModulePtr module) {
    Guarded(*module, "QvStartup", [&] {
        ostrevane::EnginePtr engine = engine_;
        ostrevane::ModuleResult result;
        module->QvStartup(engine, result);
    });
    modules_.push_back(std::move(module));
}

void ModuleHost::ForEach(
    const char* operation,
    const std::function<void(ostrevane::IModuleAPI&, ostrevane::ModuleResult&)>& call) {
    // A module may open or close windows from inside the call.
    auto modules = modules_;
    for (const auto& module : modules) {
        Guarded(*module, operation, [&] {
            ostrevane::ModuleResult result;
            call(*module, result);
        });
    }
}

void ModuleHost::ExplorerOpen(const outlook::ExplorerPtr& explorer) {
    ForEach("QvExplorerOpen", [&](auto& m, auto& r) { m.QvExplorerOpen(explorer, r); });
}

void ModuleHost::ExplorerClose(const outlook::ExplorerPtr& explorer) {
    ForEach("QvExplorerClose", [&](auto& m, auto& r) { m.QvExplorerClose(explorer, r); });
}

void ModuleHost::InspectorOpen(const outlook::InspectorPtr& inspector) {
    ForEach("QvInspectorOpen", [&](auto& m, auto& r) { m.QvInspectorOpen(inspector, r); });
}

void ModuleHost::InspectorActivate(const outlook::InspectorPtr& inspector) {
    ForEach("QvInspectorActivate", [&](auto& m, auto& r) { m.QvInspectorActivate(inspector, r); });
}

void ModuleHost::InspectorClose(const outlook::InspectorPtr& inspector) {
    ForEach("QvInspectorClose", [&](auto& m, auto& r) { m.QvInspectorClose(inspector, r); });
    engine_->Forget(inspector);
}

void ModuleHost::Shutdown() {
    auto modules = std::move(modules_);
    modules_.clear();
    for (const auto& module : modules) {
        Guarded(*module, "QvShutdown", [&] {
            ostrevane::ModuleResult result;
            module->QvShutdown(result);
        });
        engine_->Forget(module.get());
    }
}

}  // namespace host
