#pragma once

#include <memory>
#include <string>

#include "platform/ostrevane/module.h"
#include "platform/ostrevane/module_api.h"
#include "platform/outlook/fwd.h"
#include "platform/visibility.h"

namespace plovanex {

// The class's own default interface.
class PLATFORM_API _CPlovanex {
  public:
    virtual ~_CPlovanex() = default;
    // The folder's path text as people see it.
    virtual std::string GetFullOutlookPath(std::string& olAppVersion,
                                           outlook::ObjectPtr& olFolderItem) = 0;
    // Send And File through the whole-tree chooser and the lazy modal
    // chooser: both wait for the user's answer. No entry point calls them.
    virtual bool SendAndFileOrig(outlook::ItemPtr& item) = 0;
    virtual bool SendAndFile(outlook::ItemPtr& item) = 0;
};

// The add-in class that the host engine creates and drives.
class CPlovanex : public ostrevane::ModuleObject, public ostrevane::IModuleAPI, public _CPlovanex {
  public:
    CPlovanex();
    ~CPlovanex() override;

    void RegistryName(ostrevane::ModuleResult& result) override;
    void FriendlyName(ostrevane::ModuleResult& result) override;
    void QvStartup(ostrevane::EnginePtr& engine, ostrevane::ModuleResult& result) override;
    void QvShutdown(ostrevane::ModuleResult& result) override;
    void QvSendMessage(const std::string& message, ostrevane::ModuleResult& result) override;
    void QvExplorerOpen(outlook::ExplorerPtr explorer, ostrevane::ModuleResult& result) override;
    void QvExplorerClose(outlook::ExplorerPtr explorer, ostrevane::ModuleResult& result) override;
    void QvExplorerActivate(outlook::ExplorerPtr explorer,
                            ostrevane::ModuleResult& result) override;
    void QvExplorerDeactivate(outlook::ExplorerPtr explorer,
                              ostrevane::ModuleResult& result) override;
    void QvInspectorOpen(outlook::InspectorPtr inspector, ostrevane::ModuleResult& result) override;
    void QvInspectorClose(outlook::InspectorPtr inspector,
                          ostrevane::ModuleResult& result) override;
    void QvInspectorActivate(outlook::InspectorPtr inspector,
                             ostrevane::ModuleResult& result) override;
    void QvInspectorDeactivate(outlook::InspectorPtr inspector,
                               ostrevane::ModuleResult& result) override;
    void QvButtonAction(std::int32_t buttonId, const std::string& tag,
                        ostrevane::ModuleResult& result) override;
    void QvMenuAction(std::int32_t menuId, const std::string& tag,
                      ostrevane::ModuleResult& result) override;
    void QvHotkeyAction(std::int32_t hotkeyId, ostrevane::ModuleResult& result) override;
    void QvItemEvent(std::int32_t& kind, outlook::ItemPtr& item, bool& cancel,
                     std::string& folderEntryId, std::string& folderStoreId,
                     ostrevane::ModuleResult& result) override;
    void Version(ostrevane::ModuleResult& result) override;

    std::string GetFullOutlookPath(std::string& olAppVersion,
                                   outlook::ObjectPtr& olFolderItem) override;

    // The engine object; nothing before start-up and after shutdown.
    ostrevane::EnginePtr m_engine;
    // Nothing in the system sets it; shutdown releases it.
    outlook::ObjectPtr m_email;

    bool SendAndFileOrig(outlook::ItemPtr& item) override;
    bool SendAndFile(outlook::ItemPtr& item) override;

  private:
    // The tests of the procedures that no entry point reaches.
    friend struct CPlovanexTestAccess;
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace plovanex
