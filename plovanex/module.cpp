// The module entry points of the add-in library and its creatable classes.

#include <atomic>
#include <cstring>

#include "chooser/chooser_factory.h"
#include "core/plovanex.h"
#include "core/process_one_sent_item.h"
#include "platform/ostrevane/module.h"

namespace {

std::atomic<int> liveObjects{0};

// The chooser dialogs of this library answer every chooser its code asks for.
const bool choosersInstalled = [] {
    plovanex::InstallChooserFactory(plovanex::MakeChooserFactory());
    return true;
}();

template <typename Class>
class Factory : public ostrevane::ClassFactory {
  public:
    ostrevane::ModuleObjectPtr CreateInstance() override {
        auto* object = new Class();
        ++liveObjects;
        return ostrevane::ModuleObjectPtr(object, [](ostrevane::ModuleObject* o) {
            delete o;
            --liveObjects;
        });
    }
};

Factory<plovanex::CPlovanex> addInFactory;
Factory<plovanex::CProcessOneSentItem> processorFactory;

struct Class {
    const char* name;
    ostrevane::ClassFactory* factory;
};

const Class kClasses[] = {
    {"CPlovanex", &addInFactory},
    {"CProcessOneSentItem", &processorFactory},
};

int NameClasses(ostrevane::ClassRegistrar* registrar) {
    for (const auto& c : kClasses) {
        registrar->Class(c.name);
    }
    return ostrevane::kModuleOk;
}

}  // namespace

extern "C" {

int DllRegisterServer(ostrevane::ClassRegistrar* registrar) {
    return NameClasses(registrar);
}

int DllUnregisterServer(ostrevane::ClassRegistrar* registrar) {
    return NameClasses(registrar);
}

int DllGetClassObject(const char* className, ostrevane::ClassFactory** factory) {
    for (const auto& c : kClasses) {
        if (className && std::strcmp(c.name, className) == 0) {
            *factory = c.factory;
            return ostrevane::kModuleOk;
        }
    }
    return ostrevane::kClassNotAvailable;
}

int DllCanUnloadNow() {
    // A chooser form may outlive its owner until the event loop deletes it.
    return liveObjects == 0 && !plovanex::ChooserFormsAlive() ? ostrevane::kModuleOk
                                                              : ostrevane::kModuleFalse;
}
}
