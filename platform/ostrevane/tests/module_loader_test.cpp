#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/error.h"
#include "platform/ostrevane/module_api.h"
#include "platform/ostrevane/module_loader.h"
#include "platform/ostrevane/tests/test_module.h"
#include "platform/settings/settings_store.h"
#include "platform/testkit/testkit.h"

namespace {

std::filesystem::path ModuleFile(const std::string& variant) {
    return std::filesystem::path(TEST_MODULE_DIR) / ("libtest_module_" + variant + ".so");
}

class ModuleLoaderTest : public testkit::HomeTest {
  protected:
    // The one report the loader gave.
    std::string OnlyReport() {
        auto reports = home.Capture().Reports();
        if (reports.size() != 1) {
            ADD_FAILURE() << reports.size() << " reports";
            return "";
        }
        EXPECT_EQ(reports[0].code, 1);
        EXPECT_EQ(reports[0].source, "Ostrevane.ModuleLoader");
        return reports[0].message;
    }
    ostrevane::ModuleLoader loader;
};

TEST_F(ModuleLoaderTest, InstallRegistersEveryClassWithItsLibrary) {
    ASSERT_TRUE(loader.Install(ModuleFile("full")));
    EXPECT_EQ(loader.RegisteredClasses(),
              (std::vector<std::string>{"TestModule.Module", "TestModule.Plain",
                                        "TestModule.Nothing", "TestModule.Throws"}));
    EXPECT_EQ(platform::settings::GetSetting("Ostrevane", "Modules", "TestModule.Module", ""),
              std::filesystem::absolute(ModuleFile("full")).string());
    EXPECT_TRUE(home.Capture().Reports().empty());
}

TEST_F(ModuleLoaderTest, CreatedObjectCastsToEachOfItsInterfaces) {
    ASSERT_TRUE(loader.Install(ModuleFile("full")));
    auto module = loader.Create<ostrevane::IModuleAPI>("TestModule.Module");
    ASSERT_TRUE(module);
    ostrevane::ModuleResult result;
    module->RegistryName(result);
    EXPECT_EQ(result, ostrevane::ModuleResult(std::string("TestModule")));
    auto greeter = loader.Create<ITestGreeter>("TestModule.Module");
    ASSERT_TRUE(greeter);
    EXPECT_EQ(greeter->Greeting(), "hello from the test module");
}

TEST_F(ModuleLoaderTest, ObjectsKeepTheModuleFromUnloading) {
    auto library = ostrevane::ModuleLibrary::Open(ModuleFile("full"));
    auto object = library->Create("TestModule.Module");
    EXPECT_FALSE(library->CanUnloadNow());
    library.reset();
    // The library is still loaded: the object works and is destroyed by its
    // own code.
    auto* greeter = dynamic_cast<ITestGreeter*>(object.get());
    ASSERT_TRUE(greeter);
    EXPECT_EQ(greeter->Greeting(), "hello from the test module");
    object.reset();
}

TEST_F(ModuleLoaderTest, UnregisterRemovesTheClasses) {
    auto library = loader.Install(ModuleFile("full"));
    ASSERT_TRUE(library);
    library->Unregister();
    EXPECT_TRUE(loader.RegisteredClasses().empty());
}

struct BrokenLibraryCase {
    const char* variant;
    const char* messagePart;
};

void PrintTo(const BrokenLibraryCase& c, std::ostream* os) {
    *os << c.variant;
}

class BrokenLibraryTest : public ModuleLoaderTest,
                          public testing::WithParamInterface<BrokenLibraryCase> {};

TEST_P(BrokenLibraryTest, IsReportedAndSkipped) {
    const auto& c = GetParam();
    auto file = ModuleFile(c.variant);
    EXPECT_FALSE(loader.Install(file));
    auto message = OnlyReport();
    EXPECT_NE(message.find(file.string()), std::string::npos) << message;
    EXPECT_NE(message.find(c.messagePart), std::string::npos) << message;
    EXPECT_TRUE(loader.RegisteredClasses().empty());
    // The loader goes on with the next library.
    EXPECT_TRUE(loader.Install(ModuleFile("full")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenLibraryTest,
    testing::Values(BrokenLibraryCase{"missing", "no such library"},
                    BrokenLibraryCase{"NoRegister", "lacks the entry point DllRegisterServer"},
                    BrokenLibraryCase{"NoUnregister", "lacks the entry point DllUnregisterServer"},
                    BrokenLibraryCase{"NoGetClassObject",
                                      "lacks the entry point DllGetClassObject"},
                    BrokenLibraryCase{"NoCanUnloadNow", "lacks the entry point DllCanUnloadNow"}));

TEST_F(ModuleLoaderTest, FileThatIsNoLibraryIsReported) {
    auto file = home.Path() / "libnot_a_module.so";
    std::ofstream(file) << "text, not code";
    EXPECT_FALSE(loader.Install(file));
    EXPECT_NE(OnlyReport().find("cannot be loaded"), std::string::npos);
}

struct CreateCase {
    const char* className;
    const char* messagePart;
};

void PrintTo(const CreateCase& c, std::ostream* os) {
    *os << c.className;
}

class FailedCreateTest : public ModuleLoaderTest, public testing::WithParamInterface<CreateCase> {};

TEST_P(FailedCreateTest, IsReportedAndGivesNothing) {
    ASSERT_TRUE(loader.Install(ModuleFile("full")));
    EXPECT_FALSE(loader.Create<ostrevane::IModuleAPI>(GetParam().className));
    auto message = OnlyReport();
    EXPECT_NE(message.find(GetParam().messagePart), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedCreateTest,
    testing::Values(
        CreateCase{"TestModule.Nothing", "cannot create TestModule.Nothing"},
        CreateCase{"TestModule.Throws", "cannot create TestModule.Throws: out of widgets"},
        CreateCase{"TestModule.Plain", "lacks the interface"},
        CreateCase{"Nobody.Class", "No module is registered for the class Nobody.Class"}));

TEST_F(ModuleLoaderTest, ClassUnknownToItsLibraryIsReported) {
    ASSERT_TRUE(loader.Install(ModuleFile("full")));
    platform::settings::SaveSetting("Ostrevane", "Modules", "TestModule.Gone",
                                    ModuleFile("full").string());
    EXPECT_FALSE(loader.Create("TestModule.Gone"));
    EXPECT_NE(OnlyReport().find("has no class TestModule.Gone"), std::string::npos);
}

TEST_F(ModuleLoaderTest, RegisteredLibraryThatVanishedIsReported) {
    platform::settings::SaveSetting("Ostrevane", "Modules", "Old.Class",
                                    (home.Path() / "libold.so").string());
    EXPECT_FALSE(loader.Create("Old.Class"));
    EXPECT_NE(OnlyReport().find("no such library"), std::string::npos);
}

}  // namespace
