#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/tests/processor_fixture.h"

namespace processor_test {
namespace {

using Lines = std::vector<std::string>;
using testkit::ScriptedChooser;

class PromptTest : public ProcessorTest {
  protected:
    void SetUp() override {
        ProcessorTest::SetUp();
        Apply({{"Order1", "1"}, {"Order2", "2"}, {"PromptOutlookFolder", "True"}});
    }

    ostrevane::FolderRecord Record(const std::string& path, const std::string& name) {
        auto ids = IdsOf(path);
        return {name, ids.entryId, ids.storeId};
    }

    // The search form: the one whose answer the processor handles.
    std::shared_ptr<ScriptedChooser> Search() {
        for (const auto& form : choosers.Made()) {
            if (form->HasHandler()) {
                return form;
            }
        }
        return nullptr;
    }

    // Asks for a new item and expects the question to be open.
    outlook::ItemPtr Ask(const std::string& subject) {
        auto item = Send(subject);
        EXPECT_TRUE(Process(item));
        EXPECT_TRUE(Search() && Search()->Showing());
        return item;
    }
};

const Lines kUnfiledAfterPrompt = {Step(2, 2), "Entering Keyword Mode", Step(3, -1), Step(4, -1)};

TEST_F(PromptTest, TrueBeforeTheAnswerThenTheAnswerFilesIt) {
    auto item = Send("ask me");
    Clear();
    EXPECT_TRUE(Process(item));
    EXPECT_EQ(Texts(), Lines{Step(1, 1)});
    EXPECT_EQ(item->Parent()->FolderPath(), kSent);
    ASSERT_EQ(choosers.Made().size(), 1u);
    auto form = choosers.Last();
    ASSERT_EQ(form->Questions().size(), 1u);
    EXPECT_EQ(form->Questions()[0].emailTo, "Project Lead");
    EXPECT_EQ(form->Questions()[0].emailSubject, "ask me");
    EXPECT_TRUE(form->Questions()[0].singleFolderOnly);
    EXPECT_EQ(form->Application(), app);

    Clear();
    form->Answer({Record(kAcme, "Acme")});
    EXPECT_EQ(item->Parent()->FolderPath(), kAcme);
    const std::vector<ostrevane::LogLine> lines = {
        {"Plovanex", "SendAndFileWithSearch4", "IOFoldersCollection.Count: 1; Folder: Acme"},
        {"Plovanex", "SendAndFileWithSearch4", "Outlook Folder: Acme"},
        {"Plovanex", "MoveIt", "Moved Item to Acme by User's Folder Choice"}};
    EXPECT_EQ(home.Capture().Lines(), lines);
    EXPECT_TRUE(Reports().empty());

    // The form is kept and the next question is asked on it.
    Ask("next");
    EXPECT_EQ(choosers.Made().size(), 1u);
    EXPECT_EQ(form->Questions().size(), 2u);
}

TEST_F(PromptTest, AQuestionWhileBusyGoesOnToTheNextSlot) {
    auto first = Ask("first");
    auto second = Send("second");
    Clear();
    EXPECT_FALSE(Process(second));
    EXPECT_TRUE(plovanex::Library().askedWhileBusy);
    Lines expected = {Step(1, 1)};
    expected.insert(expected.end(), kUnfiledAfterPrompt.begin(), kUnfiledAfterPrompt.end());
    EXPECT_EQ(Texts(), expected);
    EXPECT_EQ(Search()->Questions().size(), 1u);

    // The open question still belongs to the first item.
    Search()->Answer({Record(kAcme, "Acme")});
    EXPECT_EQ(first->Parent()->FolderPath(), kAcme);
    EXPECT_EQ(second->Parent()->FolderPath(), kSent);

    Ask("third");
    EXPECT_FALSE(plovanex::Library().askedWhileBusy);
}

// Answers that file nothing, or only the first folder; each ends the question.
TEST_F(PromptTest, Answers) {
    struct Case {
        std::string name;
        std::function<void(ScriptedChooser&)> answer;
        Lines lines;
        std::string where;
    };
    const Case cases[] = {
        {"Cancel",
         [](ScriptedChooser& f) { f.Cancel(); },
         {"IOFoldersCollection.Count: 0 (0 = cancel selected)"},
         kSent},
        {"SentItemsItself",
         [&](ScriptedChooser& f) { f.Answer({Record(kSent, "Sent Items")}); },
         {"IOFoldersCollection.Count: 1; Folder: Sent Items", "Outlook Folder: Sent Items"},
         kSent},
        {"SeveralFolders",
         [&](ScriptedChooser& f) {
             f.Answer({Record(kGlobex, "Globex"), Record(kAcme, "Acme")});
         },
         {"IOFoldersCollection.Count: 2; Folder: Globex", "Outlook Folder: Globex",
          "Moved Item to Globex by User's Folder Choice"},
         kGlobex},
        {"FolderOfAnotherStore",
         [&](ScriptedChooser& f) { f.Answer({Record(kTeamInbox, "Inbox")}); },
         {"IOFoldersCollection.Count: 1; Folder: Inbox", "Outlook Folder: Inbox",
          "Moved Item to Inbox by User's Folder Choice"},
         kTeamInbox},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto item = Ask(c.name);
        Clear();
        c.answer(*Search());
        EXPECT_EQ(Texts(), c.lines);
        EXPECT_EQ(item->Parent()->FolderPath(), c.where);
        EXPECT_TRUE(Reports().empty());
    }
}

TEST_F(PromptTest, AnAnsweredFolderThatIsGoneIsReportedAndEndsTheQuestion) {
    auto item = Ask("gone");
    Clear();
    Search()->Answer({{"Gone", "00000000DEAD", IdsOf(kAcme).storeId}});
    EXPECT_EQ(Reports(), std::vector{Report("Error occurred.  Reason: Object variable or With "
                                            "block variable not set",
                                            1, "Plovanex.FoldersChosen")});
    EXPECT_EQ(item->Parent()->FolderPath(), kSent);
    Ask("after");
}

// Shows that leave no question open: the item stays, the loop goes on, and
// the next question is asked.
TEST_F(PromptTest, NoQuestionOpenAfterTheShow) {
    struct Case {
        std::string name;
        std::function<void(ScriptedChooser&)> arrange;
        Lines lines;
    };
    const Case cases[] = {
        {"ShowItTrueWithoutDialog",
         [](ScriptedChooser& f) { f.SkipNextShow(); },
         {Step(1, 1), Step(2, 2), "Entering Keyword Mode", Step(3, -1), Step(4, -1)}},
        {"ShowFailed",
         [](ScriptedChooser& f) { f.FailNextShow(); },
         {Step(1, 1), "IOFoldersCollection.Count: 0 (0 = cancel selected)", Step(2, 2),
          "Entering Keyword Mode", Step(3, -1), Step(4, -1)}},
    };
    Ask("make the form");
    Search()->Cancel();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto form = Search();
        c.arrange(*form);
        auto item = Send(c.name);
        Clear();
        EXPECT_FALSE(Process(item));
        EXPECT_EQ(Texts(), c.lines);
        EXPECT_TRUE(Reports().empty());
        EXPECT_EQ(item->Parent()->FolderPath(), kSent);

        const auto asked = form->Questions().size();
        auto next = Ask("after " + c.name);
        EXPECT_EQ(form->Questions().size(), asked + 1);
        EXPECT_FALSE(plovanex::Library().askedWhileBusy);
        form->Answer({Record(kAcme, "Acme")});
        EXPECT_EQ(next->Parent()->FolderPath(), kAcme);
        EXPECT_EQ(item->Parent()->FolderPath(), kSent);
    }
}

TEST_F(PromptTest, ADialogClosedWithoutAnAnswerDoesNotKeepItBusy) {
    auto first = Ask("closed");
    Search()->HideIt();
    auto second = Ask("asked again");
    Search()->Answer({Record(kAcme, "Acme")});
    EXPECT_EQ(second->Parent()->FolderPath(), kAcme);
    EXPECT_EQ(first->Parent()->FolderPath(), kSent);
}

TEST_F(PromptTest, AChooserThatCannotBeMadeIsReported) {
    plovanex::InstallChooserFactory(nullptr);
    for (int i = 0; i < 2; ++i) {
        auto item = Send("no chooser");
        Clear();
        EXPECT_FALSE(Process(item));
        EXPECT_EQ(Reports(), std::vector{Report("Error occurred at line 4.  Reason: ActiveX "
                                                "component can't create object",
                                                1, "Plovanex.PickOutlookFolders4")});
        EXPECT_FALSE(plovanex::Library().askedWhileBusy);
    }
}

TEST_F(PromptTest, TerminationReleasesBothForms) {
    auto item = Ask("pending");
    auto search = Search();
    auto list = std::make_shared<ostrevane::FolderList>();
    bool multiple = false;
    std::string to, subject;
    // A cancelled modal question makes the modal form.
    search->Cancel();
    EXPECT_FALSE(processor->PickOutlookFolders3(app, multiple, list, to, subject));
    auto modal = choosers.Last();
    ASSERT_NE(modal, search);
    item = Ask("pending again");

    processor.reset();
    for (const auto& form : {search, modal}) {
        EXPECT_TRUE(form->Terminated());
        EXPECT_TRUE(form->Unloaded());
    }
    EXPECT_FALSE(search->HasHandler());
    search->Answer({Record(kAcme, "Acme")});
    EXPECT_EQ(item->Parent()->FolderPath(), kSent);
}

TEST_F(PromptTest, ModalQuestion) {
    bool multiple = true;
    std::string to = "Project Lead", subject = "modal";
    auto list = std::make_shared<ostrevane::FolderList>();
    Clear();
    EXPECT_FALSE(processor->PickOutlookFolders3(app, multiple, list, to, subject));
    auto form = choosers.Last();
    ASSERT_EQ(form->Questions().size(), 1u);
    EXPECT_FALSE(form->Questions()[0].singleFolderOnly);
    EXPECT_FALSE(form->Showing());

    form->QueueAnswer({Record(kAcme, "Acme")});
    list = std::make_shared<ostrevane::FolderList>();
    EXPECT_TRUE(processor->PickOutlookFolders3(app, multiple, list, to, subject));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 1u);
    EXPECT_EQ((*list)[0]->FolderName, "Acme");

    form->FailNextShow();
    EXPECT_FALSE(processor->PickOutlookFolders3(app, multiple, list, to, subject));
    EXPECT_TRUE(plovanex::Library().askedWhileBusy);

    // A search question keeps the modal one from being asked.
    Ask("search first");
    plovanex::Library().askedWhileBusy = false;
    EXPECT_FALSE(processor->PickOutlookFolders3(app, multiple, list, to, subject));
    EXPECT_TRUE(plovanex::Library().askedWhileBusy);
    EXPECT_EQ(form->Questions().size(), 3u);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(PromptTest, QueuedItems) {
    auto first = Send("queued first");
    auto second = Send("queued second");
    plovanex::Library().itemQueue = std::make_shared<std::deque<std::string>>(
        std::deque<std::string>{"00000000BAD0", first->EntryID(), second->EntryID()});
    Clear();
    processor->ProcessQueuedItems();
    EXPECT_EQ(Texts(), (Lines{"Entering with 3 queued items",
                              "Warning: Failed to create item from queue...skipping",
                              "Warning: Failed to queue item a second time...skipping",
                              "Leaving after having moved 0 items"}));
    for (const auto& line : home.Capture().Lines()) {
        EXPECT_EQ(line.source, "ProcessQueuedItems");
    }
    EXPECT_TRUE(plovanex::Library().itemQueue->empty());
    EXPECT_FALSE(plovanex::Library().askedWhileBusy);
    ASSERT_EQ(Search()->Questions().size(), 1u);
    EXPECT_EQ(Search()->Questions()[0].emailSubject, "queued first");

    Search()->Answer({Record(kAcme, "Acme")});
    EXPECT_EQ(first->Parent()->FolderPath(), kAcme);
    EXPECT_EQ(second->Parent()->FolderPath(), kSent);
    EXPECT_TRUE(Reports().empty());
}

}  // namespace
}  // namespace processor_test
