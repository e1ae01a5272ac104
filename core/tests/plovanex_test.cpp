// The add-in class as the host drives it: start-up, explorer and inspector
// opens, shut-down, the first run and the folder path text.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "common/settings_keys.h"
#include "core/globals.h"
#include "core/install_folder.h"
#include "core/keyword_match.h"
#include "core/process_one_sent_item.h"
#include "core/tests/addin_fixture.h"
#include "core/tests/scripted_chooser.h"
#include "platform/error.h"
#include "platform/ostrevane/module_loader.h"
#include "platform/settings/settings_store.h"

namespace plovanex_test {
namespace {

namespace keys = common::keys;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::string> KeysWritten() {
    std::vector<std::string> out;
    auto all = platform::settings::GetAllSettings("Ostrevane", keys::SectionPlovanex);
    for (const auto& s : all.value_or(std::vector<platform::settings::Setting>{})) {
        out.push_back(s.key);
    }
    return out;
}

TEST_F(AddInTest, ExplorerOpenBeforeStartupDoesNothing) {
    ostrevane::ModuleResult result;
    addin->QvExplorerOpen(nullptr, result);
    EXPECT_EQ(result, ostrevane::ModuleResult(0));
    EXPECT_THAT(KeysWritten(), IsEmpty());
    EXPECT_EQ(plovanex::Library().sentItemsEntryId, "");
    EXPECT_THAT(home.Started(), IsEmpty());
}

TEST_F(AddInTest, SecondStartupKeepsTheFirstEngine) {
    Start();
    ostrevane::EnginePtr other = std::make_shared<host::HostEngine>(app);
    ostrevane::ModuleResult result;
    addin->QvStartup(other, result);
    EXPECT_EQ(addin->m_engine, modules->Engine());
}

TEST_F(AddInTest, NamesVersionAndSendMessage) {
    ostrevane::ModuleResult result;
    addin->RegistryName(result);
    EXPECT_EQ(result, ostrevane::ModuleResult(std::string("Plovanex")));
    addin->FriendlyName(result);
    EXPECT_EQ(result, ostrevane::ModuleResult(std::string("Plovanex")));
    addin->QvSendMessage("anything", result);
    EXPECT_EQ(result, ostrevane::ModuleResult(std::string("noerror")));
    addin->Version(result);
    EXPECT_EQ(result, ostrevane::ModuleResult(std::string("1.0.0")));
}

TEST_F(AddInTest, ExplorerOpenRemembersAndRegistersSentItems) {
    Start();
    auto [entryId, storeId] = Ids(kSentItems);
    EXPECT_EQ(plovanex::Library().sentItemsEntryId, entryId);
    EXPECT_EQ(plovanex::Library().sentItemsStoreId, storeId);
    EXPECT_EQ(plovanex::Library().sentItemsName, "Sent Items");
    ASSERT_TRUE(plovanex::Library().itemQueue);
    // The engine now reports arrivals in Sent Items: the mail is filed.
    SetDefaultFolder(kArchive);
    EXPECT_THAT(FoldersOf(SendMail("Hello")), ElementsAre(kArchive));
}

// The button goes on unsent mail, report and meeting items only.
TEST_F(AddInTest, ButtonOnlyOnUnsentMailReportAndMeetingItems) {
    Start();
    struct Case {
        const char* name;
        int itemClass;
        bool sent;
        bool button;
    } cases[] = {
        {"unsent mail", mailstore::item_class::kMail, false, true},
        {"sent mail", mailstore::item_class::kMail, true, false},
        {"unsent report", mailstore::item_class::kReport, false, true},
        {"unsent meeting", mailstore::item_class::kMeetingRequest, false, true},
        {"sent meeting", mailstore::item_class::kMeetingRequest, true, false},
        {"contact", mailstore::item_class::kContact, false, false},
        {"appointment", mailstore::item_class::kAppointment, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto id = kit.Add("\\\\Personal Folders\\Drafts",
                          {.subject = c.name, .itemClass = c.itemClass, .sent = c.sent});
        auto inspector = ItemOf(id)->Display();
        modules->InspectorOpen(inspector);
        EXPECT_EQ(modules->Engine()->Controls(inspector).empty(), !c.button);
    }
    EXPECT_THAT(Reports(), IsEmpty());
}

// A handler that fails on nothing reports the failure with its own source and
// code, and gives the host 0.
TEST_F(AddInTest, AFailingHandlerReportsWithItsSourceAndCode) {
    Start();
    constexpr char kNothing[] = "Object variable or With block variable not set";
    struct Case {
        const char* name;
        std::function<void()> call;
        ostrevane::Report expected;
    } cases[] = {
        {"inspector open without an inspector",
         [&] {
             ostrevane::ModuleResult result;
             addin->QvInspectorOpen(nullptr, result);
             EXPECT_EQ(result, ostrevane::ModuleResult(0));
         },
         {std::string("Error occurred.  Reason: ") + kNothing, 0, "Plovanex.QvInspectorOpen"}},
        {"button without an inspector",
         [&] {
             ostrevane::ModuleResult result;
             addin->QvButtonAction(1, "", result);
             EXPECT_EQ(result, ostrevane::ModuleResult(0));
         },
         {std::string("Error occurred.  Reason: ") + kNothing, 1, "Plovanex.QvButtonAction"}},
        {"item event without an item",
         [&] { RaiseItemEvent(nullptr); },
         {std::string("Error occurred.  Reason: ") + kNothing, 0, "Plovanex.QvItemEvent"}},
        {"folder path of nothing",
         [&] {
             std::string version = "11.0.8217";
             outlook::ObjectPtr nothing;
             EXPECT_EQ(addin->GetFullOutlookPath(version, nothing), "");
         },
         {std::string("Error occurred at line 0.  Reason: ") + kNothing, 1,
          "Plovanex.GetFullOutlookPath"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        home.Capture().Clear();
        c.call();
        EXPECT_THAT(Reports(), ElementsAre(c.expected));
    }
}

TEST_F(AddInTest, MenuEntryBelowVersion12) {
    struct Case {
        const char* version;
        std::vector<std::string> controls;
    } cases[] = {
        {"9.0.0.3821", {"button Send And File", "&Actions Send And File"}},
        {"11.0.8217", {"button Send And File", "&Actions Send And File"}},
        {"12.0.4518", {"button Send And File"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        addin = std::make_shared<plovanex::CPlovanex>();
        Start(c.version);
        auto item = app->CreateItem(outlook::olMailItem);
        auto inspector = item->Display();
        modules->InspectorOpen(inspector);
        std::vector<std::string> seen;
        for (const auto& control : modules->Engine()->Controls(inspector)) {
            EXPECT_EQ(control.displayName, "Plovanex");
            EXPECT_EQ(control.registryName, "Plovanex");
            EXPECT_EQ(control.id, 1);
            seen.push_back((control.menuItem ? control.menuName : "button") + " " +
                           control.caption);
        }
        EXPECT_EQ(seen, c.controls);
        modules.reset();
    }
}

TEST_F(AddInTest, ShutdownWithoutStartupWritesOnlyKeepGoingWanted) {
    ostrevane::ModuleResult result;
    addin->QvShutdown(result);
    auto all = platform::settings::GetAllSettings("Ostrevane", keys::SectionPlovanex);
    ASSERT_TRUE(all);
    EXPECT_THAT(*all, ElementsAre(platform::settings::Setting{"KeepGoingWanted", "0"}));
    EXPECT_THAT(home.Capture().Lines(), IsEmpty());
}

TEST_F(AddInTest, ShutdownReleasesTheChooserAndTheEngine) {
    testkit::ScriptedChooserFactory choosers;
    Start();
    auto item = Compose("Draft");
    modules->Engine()->ClickButton(app->ActiveInspector(), "Send And File");
    ASSERT_TRUE(choosers.Last());
    plovanex::RegularExpressionsForm();
    modules->Shutdown();
    EXPECT_FALSE(plovanex::RegularExpressionsFormLoaded());
    EXPECT_TRUE(choosers.Last()->Terminated());
    EXPECT_TRUE(choosers.Last()->Unloaded());
    EXPECT_EQ(addin->m_engine, nullptr);
    EXPECT_EQ(plovanex::Library().itemQueue, nullptr);
    EXPECT_EQ(Get(keys::KeepGoingWanted), "0");
    EXPECT_THAT(Lines("Shutdown"), ElementsAre("Plovanex is stopping"));
    // A later item event finds no engine and no remembered folder use.
    EXPECT_FALSE(item->Sent());
}

TEST_F(AddInTest, FirstRunWritesTheDefaultsInOrder) {
    Start();
    EXPECT_THAT(
        KeysWritten(),
        ElementsAre("RunNow", "KeepGoingWanted", "Order1", "Order2", "Order3", "Order4",
                    "SharedDefaults", "PromptOutlookFolder", "MoveWanted", "OverrideSendButton",
                    "IndexPublicFoldersWanted", "ProcessPriority", "DelayLength",
                    "MoveToFolderName", "MoveToFolderEntryId", "MoveToFolderStoreId"));
    auto [entryId, storeId] = Ids(kSentItems);
    EXPECT_EQ(Get("MoveToFolderName"), "Personal Folders\\Sent Items");
    EXPECT_EQ(Get("MoveToFolderEntryId"), entryId);
    EXPECT_EQ(Get("MoveToFolderStoreId"), storeId);
    EXPECT_EQ(Get("Order1"), "1");
    EXPECT_EQ(Get("PromptOutlookFolder"), "False");
    EXPECT_EQ(Get("ProcessPriority"), "Idle");
    auto data = home.Path() / "data";
    EXPECT_TRUE(std::filesystem::exists(data / "FolderList.xml"));
    EXPECT_THAT(home.Started(), ElementsAre(plovanex::InstallFolder() / "Kestrune"));
    EXPECT_THAT(Reports(), IsEmpty());
}

TEST_F(AddInTest, LaterRunsSkipTheFirstRunAndStartTheBuilderOnlyWithoutIndex) {
    Set("Order1", "0");
    auto data = home.Path() / "data";
    std::filesystem::create_directories(data);
    std::ofstream(data / "MyFolderList.xml") << "index";
    Start();
    EXPECT_THAT(KeysWritten(), ElementsAre("Order1", "RunNow", "KeepGoingWanted"));
    EXPECT_FALSE(std::filesystem::exists(data / "FolderList.xml"));
    EXPECT_THAT(home.Started(), IsEmpty());
    EXPECT_EQ(Get("RunNow"), "Off");
    EXPECT_EQ(Get("KeepGoingWanted"), "1");
}

TEST_F(AddInTest, TenOfTwelveStoresAreWatchedAndTheFirstIsLogged) {
    for (int n = 4; n <= 12; ++n) {
        kit.Store("Extra Store " + std::to_string(n));
    }
    Start();
    EXPECT_THAT(Lines("EnsureSettings"), ElementsAre("Mapping store Personal Folders"));
    EXPECT_THAT(Reports(), IsEmpty());
}

// A folder of the model whose path text is empty.
class PathlessFolder : public outlook::MAPIFolder {
  public:
    int Class() const override { return outlook::olFolder; }
    std::string TypeName() const override { return "MAPIFolder"; }
    std::string Name() override { return ""; }
    std::string EntryID() override { return "00"; }
    std::string StoreID() override { return "00"; }
    std::string FolderPath() override { return ""; }
    outlook::ObjectPtr Parent() override { return nullptr; }
    outlook::FoldersPtr Folders() override { return nullptr; }
    outlook::ItemsPtr Items() override { return nullptr; }
    int DefaultItemType() override { return 0; }
    outlook::Subscription OnItemAdd(std::function<void(outlook::ItemPtr)>) override {
        return nullptr;
    }
};

TEST_F(AddInTest, FullOutlookPath) {
    auto& profile = *kit.Profile();
    // A name with a backslash, as an older profile may hold.
    profile.AddFolder(kit.FolderId("\\\\Personal Folders\\Projects"), "Q1 Q2");
    kit.SetName("\\\\Personal Folders\\Projects\\Q1 Q2", "Q1\\Q2");
    Start();
    auto ns = app->GetNamespace("MAPI");
    auto sub = FolderOf("\\\\Personal Folders\\Projects")->Folders()->Item("Q1\\Q2");
    struct Case {
        const char* name;
        std::string version;
        outlook::ObjectPtr object;
        std::string path;
    } cases[] = {
        {"inbox on 11", "11.0.8217", ns->GetDefaultFolder(outlook::olFolderInbox),
         "Personal Folders\\Inbox"},
        {"inbox on 9", "9.0.0.3821", ns->GetDefaultFolder(outlook::olFolderInbox),
         "Personal Folders\\Inbox"},
        {"backslash in a name on 11", "11.0.8217", sub, "Personal Folders\\Projects\\Q1\\Q2"},
        {"backslash in a name on 9", "9.0.0.3821", sub, "Personal Folders\\Projects\\Q1-Q2"},
        {"store's top folder on 9", "9.0.0.3821", ns->Folders()->Item(1), "Personal Folders"},
        {"a mail item", "11.0.8217", app->CreateItem(outlook::olMailItem), ""},
        {"an empty path", "11.0.8217", std::make_shared<PathlessFolder>(), ""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(addin->GetFullOutlookPath(c.version, c.object), c.path);
    }
    EXPECT_THAT(Reports(), IsEmpty());
}

TEST(AddInLibrary, TheLoaderCreatesBothClassesFromTheLibrary) {
    testkit::TempHome home;
    auto library = ostrevane::ModuleLibrary::Open(plovanex::InstallFolder() / "libPlovanex.so");
    EXPECT_THAT(library->Classes(), ElementsAre("CPlovanex", "CProcessOneSentItem"));
    {
        auto addin = std::dynamic_pointer_cast<ostrevane::IModuleAPI>(library->Create("CPlovanex"));
        ASSERT_TRUE(addin);
        EXPECT_TRUE(std::dynamic_pointer_cast<plovanex::_CPlovanex>(
            std::dynamic_pointer_cast<ostrevane::ModuleObject>(addin)));
        ostrevane::ModuleResult result;
        addin->RegistryName(result);
        EXPECT_EQ(result, ostrevane::ModuleResult(std::string("Plovanex")));
        auto processor = std::dynamic_pointer_cast<plovanex::_CProcessOneSentItem>(
            library->Create("CProcessOneSentItem"));
        EXPECT_TRUE(processor);
        EXPECT_FALSE(library->CanUnloadNow());
    }
    EXPECT_TRUE(library->CanUnloadNow());
    EXPECT_THROW(library->Create("CNothing"), platform::Error);
}

}  // namespace
}  // namespace plovanex_test
