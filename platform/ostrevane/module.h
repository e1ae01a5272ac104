#pragma once

// What a module library offers the host: its creatable classes and the four
// entry points it exports with C linkage. The host and the modules are built
// by one compiler, so C++ interfaces pass across.

#include <memory>

#include "platform/visibility.h"

namespace ostrevane {

// The base of every class a module creates. The caller casts the object to
// the interface it wants: IModuleAPI, or the class's own interface.
class PLATFORM_API ModuleObject {
  public:
    virtual ~ModuleObject();
};

using ModuleObjectPtr = std::shared_ptr<ModuleObject>;

// Makes objects of one class. Owned by the module; lives as long as the
// module is loaded.
class PLATFORM_API ClassFactory {
  public:
    virtual ~ClassFactory();
    // A new object, or nothing (or an exception) when it cannot be made.
    virtual ModuleObjectPtr CreateInstance() = 0;
};

// Handed to the register and unregister entry points: the module names each
// of its classes once.
class PLATFORM_API ClassRegistrar {
  public:
    virtual ~ClassRegistrar();
    virtual void Class(const char* className) = 0;
};

// Results of the entry points, as the COM ones.
inline constexpr int kModuleOk = 0;
inline constexpr int kModuleFalse = 1;
inline constexpr int kClassNotAvailable = -2147221231;  // 0x80040111

}  // namespace ostrevane

// The four entry points of a module library. A module defines all four.
extern "C" {
// Names every class of the module to the registrar.
PLATFORM_API int DllRegisterServer(ostrevane::ClassRegistrar* registrar);
PLATFORM_API int DllUnregisterServer(ostrevane::ClassRegistrar* registrar);
// Sets *factory to the factory of the class, or gives kClassNotAvailable.
PLATFORM_API int DllGetClassObject(const char* className, ostrevane::ClassFactory** factory);
// kModuleOk when no object of the module is alive, else kModuleFalse.
PLATFORM_API int DllCanUnloadNow();
}
