#pragma once

#include <cstdint>
#include <string>

#include "platform/ostrevane/module_api.h"
#include "platform/outlook/fwd.h"
#include "platform/visibility.h"

namespace ostrevane {

// The engine object that the host hands to a module at start-up.
class PLATFORM_API IHostEngine {
  public:
    virtual ~IHostEngine() = default;

    virtual outlook::ApplicationPtr GetOutlookApplication() = 0;
    virtual void LogMessage(IModuleAPI* module, std::string& procedure, std::string& message) = 0;
    // The button's click reaches the module's QvButtonAction.
    virtual void AddInspectorButton(IModuleAPI* module, std::int32_t buttonId, std::int32_t style,
                                    const std::string& displayName, std::int32_t position,
                                    outlook::InspectorPtr inspector,
                                    const std::string& registryName,
                                    const std::string& caption) = 0;
    virtual void AddInspectorMenuItem(IModuleAPI* module, std::int32_t menuId, std::int32_t style,
                                      const std::string& displayName, const std::string& menuName,
                                      outlook::InspectorPtr inspector, const std::string& tag,
                                      const std::string& registryName,
                                      const std::string& caption) = 0;
    // From then on each item that arrives in the folder reaches the module's
    // QvItemEvent with the folder's ids.
    virtual void RegisterFolder(IModuleAPI* module, std::int32_t kind, const std::string& entryId,
                                const std::string& storeId) = 0;
    // The folder, or nothing.
    virtual outlook::FolderPtr GetFolderFromIds(const std::string& entryId,
                                                const std::string& storeId) = 0;
};

}  // namespace ostrevane
