#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ostrevane/module.h"

namespace ostrevane {

// One module library opened with its four entry points. Objects it creates
// keep it loaded.
class ModuleLibrary {
  public:
    // Raises platform::Error naming the file when it cannot be opened or
    // lacks an entry point.
    static std::shared_ptr<ModuleLibrary> Open(const std::filesystem::path& file);
    ~ModuleLibrary();
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    // The classes the module names.
    std::vector<std::string> Classes();
    // Records each class of the module, with this library's file, in the
    // settings store; Unregister removes them.
    void Register();
    void Unregister();
    // A new object of the class; raises platform::Error when the module
    // does not know the class or cannot make the object.
    ModuleObjectPtr Create(const std::string& className);
    bool CanUnloadNow();
    const std::filesystem::path& File() const;

  private:
    struct Impl;
    explicit ModuleLibrary(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
    std::weak_ptr<ModuleLibrary> self_;
};

// The section, under SettingsHelper::SettingsAppName, that maps each
// registered class name to its library file.
inline constexpr char kModulesSection[] = "Modules";

// The host's loader: every failure is reported (code 1, source
// "Ostrevane.ModuleLoader") and gives nothing, so the host goes on without
// that module.
class ModuleLoader {
  public:
    // Opens the library and registers its classes.
    std::shared_ptr<ModuleLibrary> Install(const std::filesystem::path& file);
    // Opens the library once; later calls give the same one.
    std::shared_ptr<ModuleLibrary> Load(const std::filesystem::path& file);
    // Creates a registered class from the library the settings store names.
    ModuleObjectPtr Create(const std::string& className);
    template <typename Interface>
    std::shared_ptr<Interface> Create(const std::string& className) {
        auto object = Create(className);
        auto typed = std::dynamic_pointer_cast<Interface>(object);
        if (object && !typed) {
            ReportWrongInterface(className);
        }
        return typed;
    }
    // Registered class names, in the order they were registered.
    std::vector<std::string> RegisteredClasses() const;

  private:
    void ReportWrongInterface(const std::string& className);
    std::map<std::string, std::shared_ptr<ModuleLibrary>> libraries_;
};

}  // namespace ostrevane
