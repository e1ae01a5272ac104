#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/engine.h"
#include "platform/ostrevane/module_api.h"
#include "platform/outlook/outlook.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/testkit.h"

namespace host_test {

// A module that puts a button and a menu entry on every item window and
// records what the host called.
class RecordingModule : public ostrevane::IModuleAPI {
  public:
    static constexpr const char* kButton = "Press Me";
    static constexpr const char* kMenu = "&Actions";
    static constexpr const char* kEntry = "Menu Entry";

    std::vector<std::string> calls;
    // The subjects of the active inspector's mail at each button click.
    std::vector<std::string> clickedSubjects;
    std::function<void()> onButton;
    // Runs as an item window opens, on its mail.
    std::function<void(outlook::Item&)> onInspectorOpen;

    void RegistryName(ostrevane::ModuleResult& r) override { r = std::string("Recorder"); }
    void FriendlyName(ostrevane::ModuleResult& r) override { r = std::string("Recorder"); }
    void QvStartup(ostrevane::EnginePtr& engine, ostrevane::ModuleResult& r) override {
        engine_ = engine;
        Call("QvStartup", r);
    }
    void QvShutdown(ostrevane::ModuleResult& r) override {
        engine_.reset();
        Call("QvShutdown", r);
    }
    void QvSendMessage(const std::string&, ostrevane::ModuleResult& r) override {
        r = std::string("noerror");
    }
    void QvExplorerOpen(outlook::ExplorerPtr, ostrevane::ModuleResult& r) override {
        Call("QvExplorerOpen", r);
    }
    void QvExplorerClose(outlook::ExplorerPtr, ostrevane::ModuleResult& r) override {
        Call("QvExplorerClose", r);
    }
    void QvExplorerActivate(outlook::ExplorerPtr, ostrevane::ModuleResult& r) override { r = 0; }
    void QvExplorerDeactivate(outlook::ExplorerPtr, ostrevane::ModuleResult& r) override { r = 0; }
    void QvInspectorOpen(outlook::InspectorPtr inspector, ostrevane::ModuleResult& r) override {
        Call("QvInspectorOpen", r);
        if (onInspectorOpen) {
            onInspectorOpen(*inspector->CurrentItem());
        }
        engine_->AddInspectorButton(this, 7, 0, "Recorder", 0, inspector, "Recorder", kButton);
        engine_->AddInspectorMenuItem(this, 8, 0, "Recorder", kMenu, inspector, "tag", "Recorder",
                                      kEntry);
    }
    void QvInspectorClose(outlook::InspectorPtr, ostrevane::ModuleResult& r) override {
        Call("QvInspectorClose", r);
    }
    void QvInspectorActivate(outlook::InspectorPtr, ostrevane::ModuleResult& r) override { r = 0; }
    void QvInspectorDeactivate(outlook::InspectorPtr, ostrevane::ModuleResult& r) override {
        r = 0;
    }
    void QvButtonAction(std::int32_t, const std::string&, ostrevane::ModuleResult& r) override {
        Call("QvButtonAction", r);
        clickedSubjects.push_back(
            engine_->GetOutlookApplication()->ActiveInspector()->CurrentItem()->Subject());
        if (onButton) {
            onButton();
        }
    }
    void QvMenuAction(std::int32_t, const std::string& tag, ostrevane::ModuleResult& r) override {
        Call("QvMenuAction:" + tag, r);
    }
    void QvHotkeyAction(std::int32_t, ostrevane::ModuleResult& r) override { r = 0; }
    void QvItemEvent(std::int32_t&, outlook::ItemPtr&, bool&, std::string&, std::string&,
                     ostrevane::ModuleResult& r) override {
        r = 0;
    }
    void Version(ostrevane::ModuleResult& r) override { r = std::string("1.0.0"); }

    int Count(const std::string& call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

  private:
    void Call(const std::string& name, ostrevane::ModuleResult& r) {
        calls.push_back(name);
        r = 0;
    }
    ostrevane::EnginePtr engine_;
};

// The demo profile, the mail client on it, the host with a recording module,
// and a QApplication on the offscreen platform.
class WindowsTest : public testkit::HomeTest {
  protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Lets queued calls and deferred deletes run.
    static void LetRun();
    // The paths of the folders that hold items with that subject.
    std::vector<std::string> FoldersWith(const std::string& subject);

    testkit::ProfileBuilder kit;
    outlook::ApplicationPtr app;
    std::shared_ptr<RecordingModule> recorder = std::make_shared<RecordingModule>();
    std::unique_ptr<host::ModuleHost> modules;
};

}  // namespace host_test
