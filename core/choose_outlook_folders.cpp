#include "core/choose_outlook_folders.h"

#include "platform/error.h"

namespace plovanex {

namespace {

ChooserFactory& Factory() {
    static ChooserFactory factory;
    return factory;
}

}  // namespace

void InstallChooserFactory(ChooserFactory factory) {
    Factory() = std::move(factory);
}

std::shared_ptr<IChooseOutlookFolders> CreateChooser(ChooserVariant variant) {
    std::shared_ptr<IChooseOutlookFolders> form;
    if (Factory()) {
        form = Factory()(variant);
    }
    if (!form) {
        throw platform::Error("ActiveX component can't create object");
    }
    return form;
}

std::shared_ptr<IChooseOutlookFoldersWithSearch> CreateSearchChooser() {
    auto form = std::dynamic_pointer_cast<IChooseOutlookFoldersWithSearch>(
        CreateChooser(ChooserVariant::Search));
    if (!form) {
        throw platform::Error("ActiveX component can't create object");
    }
    return form;
}

}  // namespace plovanex
