#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

#include "platform/outlook/fwd.h"
#include "platform/visibility.h"

namespace ostrevane {

class IHostEngine;
using EnginePtr = std::shared_ptr<IHostEngine>;

// The value an operation hands back through its result argument: a number
// (0 unless the operation says otherwise) or a text.
using ModuleResult = std::variant<std::int32_t, std::string>;

// The engine's interface that a module implements. Every operation hands
// its result back through `result`; none lets an error escape.
class PLATFORM_API IModuleAPI {
  public:
    virtual ~IModuleAPI() = default;

    virtual void RegistryName(ModuleResult& result) = 0;
    virtual void FriendlyName(ModuleResult& result) = 0;
    virtual void QvStartup(EnginePtr& engine, ModuleResult& result) = 0;
    virtual void QvShutdown(ModuleResult& result) = 0;
    virtual void QvSendMessage(const std::string& message, ModuleResult& result) = 0;
    virtual void QvExplorerOpen(outlook::ExplorerPtr explorer, ModuleResult& result) = 0;
    virtual void QvExplorerClose(outlook::ExplorerPtr explorer, ModuleResult& result) = 0;
    virtual void QvExplorerActivate(outlook::ExplorerPtr explorer, ModuleResult& result) = 0;
    virtual void QvExplorerDeactivate(outlook::ExplorerPtr explorer, ModuleResult& result) = 0;
    virtual void QvInspectorOpen(outlook::InspectorPtr inspector, ModuleResult& result) = 0;
    virtual void QvInspectorClose(outlook::InspectorPtr inspector, ModuleResult& result) = 0;
    virtual void QvInspectorActivate(outlook::InspectorPtr inspector, ModuleResult& result) = 0;
    virtual void QvInspectorDeactivate(outlook::InspectorPtr inspector, ModuleResult& result) = 0;
    virtual void QvButtonAction(std::int32_t buttonId, const std::string& tag,
                                ModuleResult& result) = 0;
    virtual void QvMenuAction(std::int32_t menuId, const std::string& tag,
                              ModuleResult& result) = 0;
    virtual void QvHotkeyAction(std::int32_t hotkeyId, ModuleResult& result) = 0;
    // kind 1: an item arrived in a registered folder, named by its ids.
    virtual void QvItemEvent(std::int32_t& kind, outlook::ItemPtr& item, bool& cancel,
                             std::string& folderEntryId, std::string& folderStoreId,
                             ModuleResult& result) = 0;
    virtual void Version(ModuleResult& result) = 0;
};

using ModulePtr = std::shared_ptr<IModuleAPI>;

}  // namespace ostrevane
