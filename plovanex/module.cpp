// The module entry points of the add-in library and its creatable classes.

#include "chooser/chooser_factory.h"
#include "core/plovanex.h"
#include "core/process_one_sent_item.h"
#include "platform/ostrevane/module_classes.h"

namespace {

using ostrevane::CountingFactory;

std::atomic<int> liveObjects{0};

// The chooser dialogs of this library answer every chooser its code asks for.
const bool choosersInstalled = [] {
    plovanex::InstallChooserFactory(plovanex::MakeChooserFactory());
    return true;
}();

CountingFactory<plovanex::CPlovanex> addInFactory(liveObjects);
CountingFactory<plovanex::CProcessOneSentItem> processorFactory(liveObjects);

const ostrevane::ModuleClass kClasses[] = {
    {"CPlovanex", &addInFactory},
    {"CProcessOneSentItem", &processorFactory},
};

}  // namespace

extern "C" {

int DllRegisterServer(ostrevane::ClassRegistrar* registrar) {
    return ostrevane::NameClasses(kClasses, registrar);
}

int DllUnregisterServer(ostrevane::ClassRegistrar* registrar) {
    return ostrevane::NameClasses(kClasses, registrar);
}

int DllGetClassObject(const char* className, ostrevane::ClassFactory** factory) {
    return ostrevane::GetClassObject(kClasses, className, factory);
}

int DllCanUnloadNow() {
    // A chooser form may outlive its owner until the event loop deletes it.
    return liveObjects == 0 && !plovanex::ChooserFormsAlive() ? ostrevane::kModuleOk
                                                              : ostrevane::kModuleFalse;
}
}
