// A module for the loader's tests. Built once complete and once without
// each entry point (OMIT_<entry point>).

#include <atomic>
#include <cstring>
#include <stdexcept>

#include "platform/ostrevane/module.h"
#include "platform/ostrevane/module_api.h"
#include "platform/ostrevane/tests/test_module.h"

namespace {

std::atomic<int> liveObjects{0};

class Module : public ostrevane::ModuleObject, public ostrevane::IModuleAPI, public ITestGreeter {
  public:
    Module() { ++liveObjects; }
    ~Module() override { --liveObjects; }

    std::string Greeting() override { return "hello from the test module"; }

    void RegistryName(ostrevane::ModuleResult& r) override { r = std::string("TestModule"); }
    void FriendlyName(ostrevane::ModuleResult& r) override { r = std::string("Test Module"); }
    void QvStartup(ostrevane::EnginePtr&, ostrevane::ModuleResult& r) override { r = 0; }
    void QvShutdown(ostrevane::ModuleResult& r) override { r = 0; }
    void QvSendMessage(const std::string&, ostrevane::ModuleResult& r) override {
        r = std::string("noerror");
    }
    void QvExplorerOpen(outlook::ExplorerPtr, ostrevane::ModuleResult& r) override { r = 0; }
    void QvExplorerClose(outlook::ExplorerPtr, ostrevane::ModuleResult& r) override { r = 0; }
    void QvExplorerActivate(outlook::ExplorerPtr, ostrevane::ModuleResult& r) override { r = 0; }
    void QvExplorerDeactivate(outlook::ExplorerPtr, ostrevane::ModuleResult& r) override { r = 0; }
    void QvInspectorOpen(outlook::InspectorPtr, ostrevane::ModuleResult& r) override { r = 0; }
    void QvInspectorClose(outlook::InspectorPtr, ostrevane::ModuleResult& r) override { r = 0; }
    void QvInspectorActivate(outlook::InspectorPtr, ostrevane::ModuleResult& r) override { r = 0; }
    void QvInspectorDeactivate(outlook::InspectorPtr, ostrevane::ModuleResult& r) override {
        r = 0;
    }
    void QvButtonAction(std::int32_t, const std::string&, ostrevane::ModuleResult& r) override {
        r = 0;
    }
    void QvMenuAction(std::int32_t, const std::string&, ostrevane::ModuleResult& r) override {
        r = 0;
    }
    void QvHotkeyAction(std::int32_t, ostrevane::ModuleResult& r) override { r = 0; }
    void QvItemEvent(std::int32_t&, outlook::ItemPtr&, bool&, std::string&, std::string&,
                     ostrevane::ModuleResult& r) override {
        r = 0;
    }
    void Version(ostrevane::ModuleResult& r) override { r = std::string("1.0.0"); }
};

// A plain class with only the common base.
class Plain : public ostrevane::ModuleObject {};

class Factory : public ostrevane::ClassFactory {
  public:
    enum Kind { kModule, kPlain, kNothing, kThrows };
    explicit Factory(Kind kind) : kind_(kind) {}
    ostrevane::ModuleObjectPtr CreateInstance() override {
        switch (kind_) {
            case kModule:
                return std::make_shared<Module>();
            case kPlain:
                return std::make_shared<Plain>();
            case kNothing:
                return nullptr;
            case kThrows:
                break;
        }
        throw std::runtime_error("out of widgets");
    }

  private:
    Kind kind_;
};

struct Class {
    const char* name;
    Factory factory;
};

Class classes[] = {
    {"TestModule.Module", Factory(Factory::kModule)},
    {"TestModule.Plain", Factory(Factory::kPlain)},
    {"TestModule.Nothing", Factory(Factory::kNothing)},
    {"TestModule.Throws", Factory(Factory::kThrows)},
};

int NameClasses(ostrevane::ClassRegistrar* registrar) {
    for (auto& c : classes) {
        registrar->Class(c.name);
    }
    return ostrevane::kModuleOk;
}

}  // namespace

extern "C" {

#ifndef OMIT_NoRegister
int DllRegisterServer(ostrevane::ClassRegistrar* registrar) {
    return NameClasses(registrar);
}
#endif

#ifndef OMIT_NoUnregister
int DllUnregisterServer(ostrevane::ClassRegistrar* registrar) {
    return NameClasses(registrar);
}
#endif

#ifndef OMIT_NoGetClassObject
int DllGetClassObject(const char* className, ostrevane::ClassFactory** factory) {
    for (auto& c : classes) {
        if (std::strcmp(c.name, className) == 0) {
            *factory = &c.factory;
            return ostrevane::kModuleOk;
        }
    }
    return ostrevane::kClassNotAvailable;
}
#endif

#ifndef OMIT_NoCanUnloadNow
int DllCanUnloadNow() {
    return liveObjects == 0 ? ostrevane::kModuleOk : ostrevane::kModuleFalse;
}
#endif
}
