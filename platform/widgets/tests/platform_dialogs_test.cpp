#include "platform/widgets/platform_dialogs.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTimer>

#include "platform/testkit/profile_kit.h"
#include "platform/testkit/testkit.h"

namespace {

class DialogsTest : public testkit::HomeTest {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "widgets_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) {
            new QApplication(argc, argv);
        }
    }

    void SetUp() override {
        kit.Demo();
        app = outlook::CreateApplication(kit.Profile(), "11.0.8217");
        ns = app->GetNamespace("MAPI");
        platform::widgets::InstallQtDialogs();
    }
    void TearDown() override {
        outlook::InstallPickFolderHook(nullptr);
        mirelink::InstallAddressBookHook(nullptr);
    }

    // Runs `answer` on the modal dialog as soon as it shows.
    template <typename Dialog, typename Fn>
    void Answer(Fn answer) {
        QTimer::singleShot(0, [answer] {
            auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            answer(*dialog);
        });
    }

    testkit::ProfileBuilder kit;
    outlook::ApplicationPtr app;
    outlook::NameSpacePtr ns;
};

TEST_F(DialogsTest, PickFolderShowsTheTreeAndGivesTheChoice) {
    Answer<platform::widgets::PickFolderDialog>([](platform::widgets::PickFolderDialog& d) {
        EXPECT_FALSE(d.SelectPath("\\\\Personal Folders\\Nowhere"));
        EXPECT_TRUE(d.SelectPath("\\\\Personal Folders\\Projects\\Zephyr"));
        d.accept();
    });
    auto folder = ns->PickFolder();
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->FolderPath(), "\\\\Personal Folders\\Projects\\Zephyr");

    Answer<platform::widgets::PickFolderDialog>(
        [](platform::widgets::PickFolderDialog& d) { d.reject(); });
    EXPECT_EQ(ns->PickFolder(), nullptr);
}

TEST_F(DialogsTest, AddressBookGivesThePickedEntries) {
    auto utils = mirelink::CreateMAPIUtils();
    utils->SetMAPIOBJECT(ns->MAPIOBJECT());
    mirelink::AddressBookRequest request{.title = "Select addresses to associate",
                                         .toLabel = "Add"};
    Answer<platform::widgets::AddressBookDialog>([](platform::widgets::AddressBookDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Select addresses to associate");
        d.SelectEntries({"team@example.com", "contact@acme.example"});
        d.AddSelected(1);
        d.accept();
    });
    auto picked = utils->AddressBook(request);
    ASSERT_TRUE(picked);
    ASSERT_EQ(picked->Count(), 2);
    EXPECT_EQ(picked->Item(1)->Name(), "Team Desk");
    EXPECT_EQ(picked->Item(2)->Name(), "Acme Contact");

    Answer<platform::widgets::AddressBookDialog>(
        [](platform::widgets::AddressBookDialog& d) { d.reject(); });
    EXPECT_EQ(utils->AddressBook(request), nullptr);
}

}  // namespace
