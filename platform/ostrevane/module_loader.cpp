#include "platform/ostrevane/module_loader.h"

#include <dlfcn.h>

#include "platform/error.h"
#include "platform/ostrevane/settings_helper.h"
#include "platform/settings/settings_store.h"

namespace ostrevane {

ModuleObject::~ModuleObject() = default;
ClassFactory::~ClassFactory() = default;
ClassRegistrar::~ClassRegistrar() = default;

namespace {

using RegisterFn = int (*)(ClassRegistrar*);
using GetClassObjectFn = int (*)(const char*, ClassFactory**);
using CanUnloadNowFn = int (*)();

constexpr char kReportSource[] = "Ostrevane.ModuleLoader";

class ListRegistrar : public ClassRegistrar {
  public:
    void Class(const char* className) override {
        if (className && *className) {
            names.emplace_back(className);
        }
    }
    std::vector<std::string> names;
};

std::string AppName() {
    return SettingsHelper().SettingsAppName();
}

void Report(const std::string& message) {
    SettingsHelper().ReportError(message, 1, kReportSource);
}

}  // namespace

struct ModuleLibrary::Impl {
    std::filesystem::path file;
    void* handle = nullptr;
    RegisterFn registerServer = nullptr;
    RegisterFn unregisterServer = nullptr;
    GetClassObjectFn getClassObject = nullptr;
    CanUnloadNowFn canUnloadNow = nullptr;

    ~Impl() {
        if (handle && canUnloadNow && canUnloadNow() == kModuleOk) {
            dlclose(handle);
        }
    }

    [[noreturn]] void Fail(const std::string& what) const {
        throw platform::Error("Module " + file.string() + ": " + what);
    }

    template <typename Fn>
    Fn Export(const char* name) {
        dlerror();
        void* symbol = dlsym(handle, name);
        if (!symbol) {
            Fail(std::string("lacks the entry point ") + name);
        }
        return reinterpret_cast<Fn>(symbol);
    }

    std::vector<std::string> Names(RegisterFn fn, const char* entry) {
        ListRegistrar registrar;
        int result = fn(&registrar);
        if (result != kModuleOk) {
            Fail(std::string(entry) + " failed with " + std::to_string(result));
        }
        return registrar.names;
    }
};

ModuleLibrary::ModuleLibrary(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

ModuleLibrary::~ModuleLibrary() = default;

std::shared_ptr<ModuleLibrary> ModuleLibrary::Open(const std::filesystem::path& file) {
    auto impl = std::make_unique<Impl>();
    impl->file = file;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        impl->Fail("no such library");
    }
    // RTLD_LOCAL keeps each module's own symbols apart; the interfaces they
    // share come from the platform libraries, loaded once.
    impl->handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!impl->handle) {
        const char* why = dlerror();
        impl->Fail(std::string("cannot be loaded: ") + (why ? why : "unknown reason"));
    }
    try {
        impl->registerServer = impl->Export<RegisterFn>("DllRegisterServer");
        impl->unregisterServer = impl->Export<RegisterFn>("DllUnregisterServer");
        impl->getClassObject = impl->Export<GetClassObjectFn>("DllGetClassObject");
        impl->canUnloadNow = impl->Export<CanUnloadNowFn>("DllCanUnloadNow");
    } catch (...) {
        dlclose(impl->handle);
        impl->handle = nullptr;
        throw;
    }
    std::shared_ptr<ModuleLibrary> library(new ModuleLibrary(std::move(impl)));
    library->self_ = library;
    return library;
}

const std::filesystem::path& ModuleLibrary::File() const {
    return impl_->file;
}

std::vector<std::string> ModuleLibrary::Classes() {
    return impl_->Names(impl_->registerServer, "DllRegisterServer");
}

void ModuleLibrary::Register() {
    auto app = AppName();
    auto path = std::filesystem::absolute(impl_->file).string();
    for (const auto& name : Classes()) {
        platform::settings::SaveSetting(app, kModulesSection, name, path);
    }
}

void ModuleLibrary::Unregister() {
    auto app = AppName();
    for (const auto& name : impl_->Names(impl_->unregisterServer, "DllUnregisterServer")) {
        if (platform::settings::Default().Find(app, kModulesSection, name)) {
            platform::settings::DeleteSetting(app, kModulesSection, name);
        }
    }
}

ModuleObjectPtr ModuleLibrary::Create(const std::string& className) {
    ClassFactory* factory = nullptr;
    int result = impl_->getClassObject(className.c_str(), &factory);
    if (result != kModuleOk || !factory) {
        impl_->Fail("has no class " + className);
    }
    ModuleObjectPtr object;
    try {
        object = factory->CreateInstance();
    } catch (const std::exception& e) {
        impl_->Fail("cannot create " + className + ": " + e.what());
    } catch (...) {
        impl_->Fail("cannot create " + className);
    }
    if (!object) {
        impl_->Fail("cannot create " + className);
    }
    // The object keeps the library loaded; it is released first.
    auto library = self_.lock();
    ModuleObject* raw = object.get();
    return ModuleObjectPtr(raw, [object, library](ModuleObject*) mutable {
        object.reset();
        library.reset();
    });
}

bool ModuleLibrary::CanUnloadNow() {
    return impl_->canUnloadNow() == kModuleOk;
}

std::shared_ptr<ModuleLibrary> ModuleLoader::Load(const std::filesystem::path& file) {
    auto key = std::filesystem::absolute(file).lexically_normal().string();
    if (auto it = libraries_.find(key); it != libraries_.end()) {
        return it->second;
    }
    try {
        auto library = ModuleLibrary::Open(file);
        libraries_[key] = library;
        return library;
    } catch (const std::exception& e) {
        Report(e.what());
        return nullptr;
    }
}

std::shared_ptr<ModuleLibrary> ModuleLoader::Install(const std::filesystem::path& file) {
    auto library = Load(file);
    if (!library) {
        return nullptr;
    }
    try {
        library->Register();
        return library;
    } catch (const std::exception& e) {
        Report(e.what());
        return nullptr;
    }
}

ModuleObjectPtr ModuleLoader::Create(const std::string& className) {
    try {
        auto file = platform::settings::Default().Find(AppName(), kModulesSection, className);
        if (!file) {
            Report("No module is registered for the class " + className);
            return nullptr;
        }
        auto library = Load(*file);
        if (!library) {
            return nullptr;
        }
        return library->Create(className);
    } catch (const std::exception& e) {
        Report(e.what());
        return nullptr;
    }
}

void ModuleLoader::ReportWrongInterface(const std::string& className) {
    Report("The class " + className + " lacks the interface its caller asks for");
}

std::vector<std::string> ModuleLoader::RegisteredClasses() const {
    std::vector<std::string> names;
    auto all = platform::settings::GetAllSettings(AppName(), kModulesSection);
    for (const auto& s : all.value_or(std::vector<platform::settings::Setting>{})) {
        names.push_back(s.key);
    }
    return names;
}

}  // namespace ostrevane
