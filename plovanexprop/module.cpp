// The module entry points of the options-page library and its creatable
// classes.

#include "chooser/chooser_factory.h"
#include "core/process_one_sent_item.h"
#include "options/rules/rule_tables.h"
#include "options/uc1.h"
#include "platform/ostrevane/module_classes.h"

namespace {

using ostrevane::CountingFactory;
using ostrevane::Creatable;

std::atomic<int> liveObjects{0};

// The library's own chooser dialogs answer the questions of its processor:
// a Run Now in confirmation mode asks through the same search chooser as
// the add-in.
const bool choosersInstalled = [] {
    plovanex::InstallChooserFactory(plovanex::MakeChooserFactory());
    return true;
}();

CountingFactory<plovanex::UC1> pageFactory(liveObjects);
CountingFactory<Creatable<plovanex::CAssociateRow>> associateRowFactory(liveObjects);
CountingFactory<Creatable<plovanex::CAssocRowCollection>> associateTableFactory(liveObjects);
CountingFactory<Creatable<plovanex::CKeywordRow>> keywordRowFactory(liveObjects);
CountingFactory<Creatable<plovanex::CKeywordRowCollection>> keywordTableFactory(liveObjects);
CountingFactory<plovanex::CProcessOneSentItem> processorFactory(liveObjects);

const ostrevane::ModuleClass kClasses[] = {
    {"UC1", &pageFactory},
    {"CAssociateRow", &associateRowFactory},
    {"CAssocRowCollection", &associateTableFactory},
    {"CKeywordRow", &keywordRowFactory},
    {"CKeywordRowCollection", &keywordTableFactory},
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
    return liveObjects == 0 && !plovanex::ChooserFormsAlive() ? ostrevane::kModuleOk
                                                              : ostrevane::kModuleFalse;
}
}
