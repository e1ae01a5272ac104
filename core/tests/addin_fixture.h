#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/plovanex.h"
#include "host/engine.h"
#include "platform/mailstore/profile.h"
#include "platform/outlook/outlook.h"
#include "platform/testkit/profile_kit.h"
#include "platform/testkit/testkit.h"

namespace plovanex_test {

// The demo profile, the mail client on it, and the add-in driven by the
// host: start-up and explorer open done by Start.
class AddInTest : public testkit::HomeTest, protected testkit::DemoPaths {
  protected:
    AddInTest();
    ~AddInTest() override;

    // Opens the mail client at that version, starts the add-in up and opens
    // an explorer.
    void Start(const std::string& version = "11.0.8217");

    // A new unsent mail, shown in an inspector that the add-in has seen.
    outlook::ItemPtr Compose(const std::string& subject, const std::string& from = "",
                             const std::string& billing = "");
    // Composes and sends it: the arrival in Sent Items reaches the add-in.
    outlook::ItemPtr SendMail(const std::string& subject, const std::string& from = "",
                              const std::string& billing = "");
    // An item of the profile as the mail client sees it.
    outlook::ItemPtr ItemOf(mailstore::Id id);
    outlook::FolderPtr FolderOf(const std::string& path);

    // Paths of the folders holding the item or a copy of it, in order of the copies.
    std::vector<std::string> FoldersOf(const outlook::ItemPtr& item);
    // EntryID and StoreID of the folder at a path.
    std::pair<std::string, std::string> Ids(const std::string& path);

    void Set(const std::string& key, const std::string& value);
    std::string Get(const std::string& key);
    // Settings the add-in wrote for the default folder or an override.
    void SetDefaultFolder(const std::string& path);
    void SetOverride(int n, const std::string& account, const std::string& path);

    // Texts of the add-in's log lines of one procedure.
    std::vector<std::string> Lines(const std::string& procedure);
    std::vector<ostrevane::Report> Reports() { return home.Capture().Reports(); }
    // Calls the item event for an item as the engine does for Sent Items.
    void RaiseItemEvent(outlook::ItemPtr item, std::int32_t kind = 1, bool otherFolder = false);

    testkit::ProfileBuilder kit;
    outlook::ApplicationPtr app;
    std::shared_ptr<plovanex::CPlovanex> addin = std::make_shared<plovanex::CPlovanex>();
    std::unique_ptr<host::ModuleHost> modules;
};

}  // namespace plovanex_test
