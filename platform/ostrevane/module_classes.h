#pragma once

// What each module library's entry points share: a factory that counts the
// objects it made, and the look-up of a class by name in the module's list.

#include <atomic>
#include <cstring>
#include <span>

#include "platform/ostrevane/module.h"

namespace ostrevane {

// One creatable class of a module.
struct ModuleClass {
    const char* name;
    ClassFactory* factory;
};

// Makes objects of Class and counts them in `live` while they exist.
template <typename Class>
class CountingFactory : public ClassFactory {
  public:
    explicit CountingFactory(std::atomic<int>& live) : live_(live) {}
    ModuleObjectPtr CreateInstance() override {
        auto* object = new Class();
        ++live_;
        return ModuleObjectPtr(object, [&live = live_](ModuleObject* o) {
            delete o;
            --live;
        });
    }

  private:
    std::atomic<int>& live_;
};

// A class that is not an object of the host's by itself, made creatable.
template <typename Class>
struct Creatable : ModuleObject, Class {};

// DllRegisterServer and DllUnregisterServer: names every class.
inline int NameClasses(std::span<const ModuleClass> classes, ClassRegistrar* registrar) {
    for (const auto& c : classes) {
        registrar->Class(c.name);
    }
    return kModuleOk;
}

// DllGetClassObject: the factory of the class of that name.
inline int GetClassObject(std::span<const ModuleClass> classes, const char* className,
                          ClassFactory** factory) {
    for (const auto& c : classes) {
        if (className && std::strcmp(c.name, className) == 0) {
            *factory = c.factory;
            return kModuleOk;
        }
    }
    return kClassNotAvailable;
}

}  // namespace ostrevane
