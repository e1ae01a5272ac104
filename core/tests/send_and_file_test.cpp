// Send And File: the button, the search chooser's answer, and the two modal
// variants.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/settings_keys.h"
#include "core/tests/addin_fixture.h"
#include "core/tests/scripted_chooser.h"
#include "platform/ostrevane/registry_helper.h"
#include "platform/settings/settings_store.h"

namespace plovanex_test {
namespace {

namespace keys = common::keys;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

class SendAndFileTest : public AddInTest {
  protected:
    void SetUp() override { Start(); }

    // Composes a mail and clicks its Send And File button.
    outlook::ItemPtr Click(const std::string& subject) {
        auto item = Compose(subject);
        EXPECT_TRUE(modules->Engine()->ClickButton(app->ActiveInspector(), "Send And File"));
        return item;
    }
    ostrevane::FolderRecord Record(const std::string& path) {
        auto [entryId, storeId] = Ids(path);
        return {path.substr(path.rfind('\\') + 1), entryId, storeId};
    }
    testkit::ScriptedChooser& Chooser() {
        EXPECT_TRUE(choosers.Last());
        return *choosers.Last();
    }

    testkit::ScriptedChooserFactory choosers;
};

TEST_F(SendAndFileTest, ChosenFolderReceivesTheSentMail) {
    auto item = Click("Plan");
    ASSERT_EQ(Chooser().Questions().size(), 1u);
    EXPECT_EQ(Chooser().Questions()[0].emailSubject, "Plan");
    EXPECT_EQ(Chooser().Questions()[0].emailTo, "Project Lead");
    EXPECT_TRUE(Chooser().Questions()[0].singleFolderOnly);
    EXPECT_THAT(Lines("SendAndFileWithSearch"), ElementsAre("Complete: True"));
    EXPECT_FALSE(item->Sent());

    // Only the first of two chosen folders is used.
    Chooser().Answer({Record(kAcme), Record(kGlobex)});
    EXPECT_TRUE(item->Sent());
    EXPECT_THAT(FoldersOf(item), ElementsAre(kAcme));
    EXPECT_THAT(Lines("FoldersChosen"),
                ElementsAre("IOFoldersCollection.Count: 2; Folder: Acme", "Outlook Folder: Acme",
                            "Sending email...", "Using Word: True"));
    EXPECT_THAT(Reports(), IsEmpty());
}

// An unsent meeting request is asked about and sent as a mail is.
TEST_F(SendAndFileTest, MeetingRequestIsFiledAsAMailIs) {
    auto id = kit.Add("\\\\Personal Folders\\Drafts",
                      {.subject = "Review",
                       .to = "lead@example.com",
                       .itemClass = mailstore::item_class::kMeetingRequest,
                       .sent = false});
    auto item = ItemOf(id);
    modules->InspectorOpen(item->Display());
    ASSERT_TRUE(modules->Engine()->ClickButton(app->ActiveInspector(), "Send And File"));
    ASSERT_EQ(Chooser().Questions().size(), 1u);
    EXPECT_EQ(Chooser().Questions()[0].emailTo, "Project Lead");
    Chooser().Answer({Record(kAcme)});
    EXPECT_TRUE(item->Sent());
    EXPECT_THAT(FoldersOf(item), ElementsAre(kAcme));
    EXPECT_THAT(Reports(), IsEmpty());
}

TEST_F(SendAndFileTest, CancelLeavesTheMailUnsent) {
    auto item = Click("Cancelled");
    Chooser().Cancel();
    EXPECT_FALSE(item->Sent());
    EXPECT_THAT(Lines("FoldersChosen"),
                ElementsAre("IOFoldersCollection.Count: 0 (0 = cancel selected)"));
    // The same chooser asks the next question.
    Click("Next");
    EXPECT_EQ(choosers.Made().size(), 1u);
    EXPECT_EQ(Chooser().Questions().size(), 2u);
}

TEST_F(SendAndFileTest, CopyWantedCarriesTheFolderAcrossTheSend) {
    Set(keys::MoveWanted, "0");
    auto item = Click("Copy");
    Chooser().Answer({Record(kAcme)});
    EXPECT_THAT(FoldersOf(item), ElementsAre(kSentItems, kAcme));
    EXPECT_EQ(item->BillingInformation(), "");
    EXPECT_THAT(Reports(), IsEmpty());
}

// No dialog and no answer to come: nothing stays pending, and a stray answer
// sends nothing.
TEST_F(SendAndFileTest, ShowWithoutDialogLeavesNothingPending) {
    Click("First");
    Chooser().Cancel();
    for (bool fail : {false, true}) {
        SCOPED_TRACE(fail ? "show failed" : "show skipped");
        if (fail) {
            Chooser().FailNextShow();
        } else {
            Chooser().SkipNextShow();
        }
        auto item = Click(fail ? "Failed" : "Skipped");
        EXPECT_FALSE(Chooser().Showing());
        Chooser().Answer({Record(kAcme)});
        EXPECT_FALSE(item->Sent());
    }
    auto next = Click("Asked again");
    EXPECT_TRUE(Chooser().Showing());
    Chooser().Answer({Record(kGlobex)});
    EXPECT_THAT(FoldersOf(next), ElementsAre(kGlobex));
    EXPECT_THAT(Reports(), IsEmpty());
}

TEST_F(SendAndFileTest, WithoutChooserTheCreationErrorIsReported) {
    plovanex::InstallChooserFactory(nullptr);
    auto item = Click("No dialogs");
    EXPECT_FALSE(item->Sent());
    EXPECT_THAT(Reports(), ElementsAre(ostrevane::Report{
                               "Error occurred at line 3.  Reason: ActiveX component can't "
                               "create object",
                               1, "Plovanex.SendAndFileWithSearch"}));
}

TEST_F(SendAndFileTest, UsingWordFollowsTheEditorPreference) {
    struct Case {
        const char* version;
        const char* preference;  // nothing: no value
        const char* logged;
    } cases[] = {
        {"11.0.8217", nullptr, "Using Word: True"},   {"9.0.0.3821", nullptr, "Using Word: False"},
        {"11.0.8217", "131072", "Using Word: False"}, {"11.0.8217", "65537", "Using Word: True"},
        {"9.0.0.3821", "65537", "Using Word: True"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " " + (c.preference ? c.preference : "none"));
        home.Capture().Clear();
        app->SetVersion(c.version);
        std::string key = std::string("Software\\Microsoft\\Office\\") +
                          (c.version[0] == '9' ? "9" : "11") + ".0\\Outlook\\Options\\Mail";
        auto hive = ostrevane::RegistryHelper::HiveName(ostrevane::HKEY_CURRENT_USER);
        if (c.preference) {
            platform::settings::SaveSetting(hive, key, "EditorPreference", c.preference);
        }
        auto item = Click("Word");
        Chooser().Answer({Record(kAcme)});
        EXPECT_THAT(Lines("FoldersChosen"), Contains(c.logged));
        if (c.preference) {
            platform::settings::DeleteSetting(hive, key, "EditorPreference");
        }
    }
}

TEST_F(SendAndFileTest, ModalVariants) {
    struct Case {
        const char* name;
        bool orig;
    } cases[] = {{"SendAndFileOrig", true}, {"SendAndFile", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto item = Compose("Modal");
        auto answer = [&] {
            return c.orig ? addin->SendAndFileOrig(item) : addin->SendAndFile(item);
        };
        // Nothing chosen.
        EXPECT_FALSE(answer());
        EXPECT_FALSE(item->Sent());
        EXPECT_THAT(Lines(c.name), ElementsAre("OverrideSendButton: 1", "Complete: False"));
        Chooser().QueueAnswer({Record(kAcme), Record(kGlobex)});
        EXPECT_FALSE(answer());
        EXPECT_THAT(FoldersOf(item), ElementsAre(kAcme));
        home.Capture().Clear();
    }
    EXPECT_EQ(choosers.Made().size(), 2u);
}

TEST_F(SendAndFileTest, ModalWithoutOverrideRunsProcessSentItemOnTheUnsentMail) {
    Set(keys::OverrideSendButton, "0");
    auto item = Compose("Unsent");
    EXPECT_TRUE(addin->SendAndFileOrig(item));
    EXPECT_FALSE(item->Sent());
    EXPECT_THAT(Lines("SendAndFileOrig"), ElementsAre("OverrideSendButton: 0"));
    EXPECT_THAT(Lines("ProcessSentItem"), Contains("Subject: Unsent"));
    EXPECT_TRUE(choosers.Made().empty());
}

}  // namespace
}  // namespace plovanex_test
