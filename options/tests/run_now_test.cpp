// Run Now over a folder of sent items that the rules file, with Cancel in
// the middle.

#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QMetaObject>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>

#include "common/settings_keys.h"
#include "core/tests/scripted_chooser.h"
#include "options/tests/page_fixture.h"
#include "platform/error.h"
#include "platform/testkit/forwarding_folder.h"
#include "platform/widgets/owner_window.h"

namespace options_test {
namespace {

namespace keys = common::keys;
using ostrevane::Report;

const std::string kOld = "\\\\Personal Folders\\Old";

// The screen's mouse pointer.
std::string Pointer() {
    const QCursor* cursor = QApplication::overrideCursor();
    if (!cursor) {
        return "default";
    }
    return cursor->shape() == Qt::BusyCursor ? "arrow and hourglass" : "another";
}

// An item whose subject cannot be read.
class DamagedItem : public outlook::Item {
  public:
    int Class() const override { return 43; }
    std::string TypeName() const override { return "MailItem"; }
    outlook::ApplicationPtr Application() override { Fail(); }
    std::string EntryID() override { return "DAMAGED"; }
    outlook::FolderPtr Parent() override { Fail(); }
    std::string Subject() override { Fail(); }
    void SetSubject(const std::string&) override { Fail(); }
    std::string Body() override { Fail(); }
    void SetBody(const std::string&) override { Fail(); }
    std::string MessageClass() override { return "IPM.Note"; }
    std::string BillingInformation() override { Fail(); }
    void SetBillingInformation(const std::string&) override { Fail(); }
    std::string To() override { Fail(); }
    void SetTo(const std::string&) override { Fail(); }
    std::string CC() override { Fail(); }
    void SetCC(const std::string&) override { Fail(); }
    std::string BCC() override { Fail(); }
    void SetBCC(const std::string&) override { Fail(); }
    bool Sent() override { return true; }
    std::string SentOn() override { return "3/15/2026 2:05:07 PM"; }
    std::string SenderName() override { Fail(); }
    std::string SenderEmailAddress() override { Fail(); }
    std::string SendUsingAccount() override { Fail(); }
    void SetSendUsingAccount(const std::string&) override { Fail(); }
    outlook::FolderPtr SaveSentMessageFolder() override { Fail(); }
    void SetSaveSentMessageFolder(outlook::FolderPtr) override { Fail(); }
    std::string SaveSentMessageFolderText() override { Fail(); }
    void Send() override { Fail(); }
    outlook::RecipientsPtr Recipients() override { Fail(); }
    outlook::ItemPropertiesPtr ItemProperties() override { Fail(); }
    outlook::InspectorPtr Display() override { Fail(); }

  private:
    [[noreturn]] static void Fail() { throw platform::Error("The item is damaged"); }
};

// A folder's items with a damaged one standing at position `at`.
class ItemsWithDamage : public outlook::Items {
  public:
    ItemsWithDamage(outlook::ItemsPtr items, int at) : items_(std::move(items)), at_(at) {}
    int Class() const override { return outlook::olItems; }
    std::string TypeName() const override { return "Items"; }
    int Count() override { return items_->Count() + 1; }
    outlook::ItemPtr Item(int index) override {
        if (index == at_) {
            return std::make_shared<DamagedItem>();
        }
        return items_->Item(index < at_ ? index : index - 1);
    }
    outlook::FolderPtr Parent() override { return items_->Parent(); }

  private:
    outlook::ItemsPtr items_;
    int at_;
};

class FolderWithDamage : public testkit::ForwardingFolder {
  public:
    FolderWithDamage(outlook::FolderPtr folder, int at)
        : ForwardingFolder(std::move(folder)), at_(at) {}
    outlook::ItemsPtr Items() override {
        return std::make_shared<ItemsWithDamage>(Inner().Items(), at_);
    }

  private:
    int at_;
};

// Calls `onPaint` for every paint event that reaches the widget.
class PaintWatch : public QObject {
  public:
    PaintWatch(QWidget* widget, std::function<void()> onPaint)
        : widget_(widget), onPaint_(std::move(onPaint)) {
        widget_->installEventFilter(this);
    }
    ~PaintWatch() override { widget_->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            onPaint_();
        }
        return false;
    }

  private:
    QWidget* widget_;
    std::function<void()> onPaint_;
};

class RunNowTest : public PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        kit.Folder(kOld);
        StoreKeywordRule(101, "Acme", kAcme);
        Store({{"Order1", "2"}});
    }

    // Items sent earlier into the folder Old, first to last.
    void AddOld(const std::vector<std::string>& subjects) {
        for (const auto& subject : subjects) {
            kit.Add(kOld, {.subject = subject, .to = "lead@example.com"});
        }
    }

    // Runs Now over the folder the picker gives; the positions the progress
    // bar took are kept.
    void RunNow(outlook::PickFolderHook picker) {
        auto* bar = Find<QProgressBar>("OrganizeProgressBar");
        QObject::connect(bar, &QProgressBar::valueChanged,
                         [this](int value) { positions.push_back(value); });
        ScopedPickFolder guard(std::move(picker));
        Click("cmdRunNow");
    }
    void RunNow(const std::string& path) { RunNow(outlook::PickFolderAt(path)); }

    // Clicks Run Now (then captioned Cancel) once the log reaches `line`,
    // as the user does while the run lets events through.
    std::unique_ptr<ScopedLogWatch> ClickWhenLogged(const std::string& line,
                                                    std::function<void()> before = {}) {
        return std::make_unique<ScopedLogWatch>([this, line, before](const ostrevane::LogLine& l) {
            if (l.text == line) {
                auto* button = Find<QPushButton>("cmdRunNow");
                QMetaObject::invokeMethod(
                    button,
                    [button, before] {
                        if (before) {
                            before();
                        }
                        button->click();
                    },
                    Qt::QueuedConnection);
            }
        });
    }

    std::vector<std::string> SubjectsLogged() {
        std::vector<std::string> subjects;
        for (const auto& text : LogTexts()) {
            if (text.starts_with("*** Subject: ")) {
                subjects.push_back(text.substr(13));
            }
        }
        return subjects;
    }

    std::string Label() { return Find<QLabel>("lblSubject")->text().toStdString(); }
    std::string Caption() { return Find<QPushButton>("cmdRunNow")->text().toStdString(); }
    int ItemsIn(const std::string& path) { return kit.Profile()->ItemCount(kit.FolderId(path)); }

    std::vector<int> positions;
};

TEST_F(RunNowTest, UnappliedChangesAskForApplyFirst) {
    Show();
    Check("chkIgnoreCC", true);
    Boxes boxes;
    ScopedPickFolder picker(kOld);
    Click("cmdRunNow");
    EXPECT_EQ(boxes.Shown(),
              (std::vector<Box>{{"You must click Apply in order to continue, then you can click on "
                                 "Run Now.",
                                 "Plovanex"}}));
    EXPECT_EQ(picker.Asked(), 0);
    EXPECT_EQ(Caption(), "Run Now");
    EXPECT_EQ(Label(), "Email Subject");
    EXPECT_EQ(Stored(keys::RunNow), "<absent>");
}

// A cancelled picker and an empty folder end the same way, with nothing
// filed and RunNow untouched.
TEST_F(RunNowTest, NothingToFileEndsAtOnce) {
    for (const std::string& path : {std::string(), kOld}) {
        SCOPED_TRACE(path.empty() ? "picker cancelled" : "empty folder");
        Show();
        RunNow(path);
        EXPECT_EQ(Label(), "Done.  Moved 0 items.");
        EXPECT_EQ(Caption(), "Run Now");
        EXPECT_TRUE(Find<QPushButton>("cmdRunNow")->isEnabled());
        EXPECT_EQ(Pointer(), "default");
        EXPECT_EQ(Stored(keys::RunNow), "<absent>");
        EXPECT_TRUE(positions.empty());
        Hide();
    }
    const auto texts = LogTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(),
                        "User cancelled during Choose Sent Items Folders operation"),
              texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Sent Items count: 0"), texts.end());
}

TEST_F(RunNowTest, FilesEveryItemLastFirst) {
    AddOld({"Acme one", "Acme two", "Acme three"});
    Show();
    std::vector<std::string> duringRun;
    ScopedLogWatch watch([&](const ostrevane::LogLine& line) {
        if (line.text.starts_with("*** Email")) {
            duringRun.push_back(Stored(keys::RunNow) + " " + Caption() + " " + Pointer());
        }
    });
    RunNow(kOld);
    EXPECT_EQ(SubjectsLogged(), (std::vector<std::string>{"Acme three", "Acme two", "Acme one"}));
    EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 1}));
    EXPECT_EQ(duringRun, std::vector<std::string>(3, "On Cancel arrow and hourglass"));
    EXPECT_EQ(Label(), "Done.  Moved 3 items.");
    EXPECT_EQ(Caption(), "Run Now");
    EXPECT_EQ(Stored(keys::RunNow), "Off");
    EXPECT_EQ(Pointer(), "default");
    EXPECT_EQ(ItemsIn(kOld), 0);
    EXPECT_EQ(ItemsIn(kAcme), 3);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(RunNowTest, CancelStopsAfterTheCurrentItem) {
    AddOld({"Acme 1", "Acme 2", "Acme 3", "Acme 4", "Acme 5"});
    Show();
    auto click = ClickWhenLogged("*** Email 4 of 5");
    RunNow(kOld);
    EXPECT_EQ(SubjectsLogged(), (std::vector<std::string>{"Acme 5", "Acme 4"}));
    EXPECT_EQ(Label(), "Cancelled.  Moved 2 items.");
    EXPECT_EQ(Caption(), "Run Now");
    EXPECT_EQ(Stored(keys::RunNow), "Off");
    EXPECT_EQ(ItemsIn(kOld), 3);
    const auto texts = LogTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Button clicked: Cancel"), texts.end());
}

// The Cancel click paints "Cancelling..." at once, though the run holds
// its frame's painting back between items.
TEST_F(RunNowTest, CancellingIsPaintedAtOnce) {
    AddOld({"Acme 1", "Acme 2", "Acme 3"});
    Show();
    auto* label = Find<QLabel>("lblSubject");
    std::vector<std::string> painted;
    PaintWatch watch(label, [&] { painted.push_back(label->text().toStdString()); });
    auto click = ClickWhenLogged("*** Email 2 of 3");
    RunNow(kOld);
    EXPECT_EQ(Label(), "Cancelled.  Moved 2 items.");
    EXPECT_NE(std::find(painted.begin(), painted.end(), "Cancelling..."), painted.end());
}

// A change during the run makes the page dirty: the Cancel click asks for
// Apply and the run goes on.
TEST_F(RunNowTest, ChangeDuringTheRunKeepsItGoing) {
    AddOld({"Acme 1", "Acme 2", "Acme 3", "Acme 4", "Acme 5"});
    Show();
    Boxes boxes;
    auto click = ClickWhenLogged("*** Email 4 of 5", [this] { Check("chkIgnoreCC", true); });
    RunNow(kOld);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].title, "Plovanex");
    EXPECT_EQ(Label(), "Done.  Moved 5 items.");
    EXPECT_EQ(ItemsIn(kAcme), 5);
}

// While the last run's question still waits for its answer, Run Now is
// refused with a message and nothing else changes; the answer still files
// the item, and Run Now runs again after it.
TEST_F(RunNowTest, RunNowWaitsForTheLastRunsQuestion) {
    testkit::ScriptedChooserFactory choosers;
    Store({{"Order1", "1"}, {keys::PromptOutlookFolder, "True"}});
    AddOld({"Earlier mail"});
    Show();
    RunNow(kOld);
    EXPECT_EQ(Label(), "Done.  Moved 1 items.");
    auto chooser = choosers.Last();
    ASSERT_TRUE(chooser && chooser->Open());

    Boxes boxes;
    {
        ScopedPickFolder picker(kOld);
        Click("cmdRunNow");
        EXPECT_EQ(picker.Asked(), 0);
    }
    EXPECT_EQ(
        boxes.Shown(),
        (std::vector<Box>{{"The folder question of the last Run Now is still open.  Answer it "
                           "in the folder chooser, then click Run Now again.",
                           "Plovanex"}}));
    EXPECT_EQ(Caption(), "Run Now");
    EXPECT_EQ(Label(), "Done.  Moved 1 items.");
    EXPECT_EQ(chooser->Questions().size(), 1u);

    const auto acme = IdsOf(kAcme);
    chooser->Answer({{"Acme", acme.entryId, acme.storeId}});
    EXPECT_EQ(ItemsIn(kAcme), 1);
    EXPECT_EQ(ItemsIn(kOld), 0);
    ScopedPickFolder picker(kOld);
    Click("cmdRunNow");
    EXPECT_EQ(picker.Asked(), 1);
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(RunNowTest, UnreadableSubjectSkipsOnlyThatItem) {
    AddOld({"Acme 1", "Acme 2"});
    Show();
    RunNow([this](outlook::NameSpacePtr ns) -> outlook::FolderPtr {
        const auto ids = IdsOf(kOld);
        return std::make_shared<FolderWithDamage>(ns->GetFolderFromID(ids.entryId, ids.storeId), 2);
    });
    EXPECT_EQ(Reports(), (std::vector<Report>{{"Error occurred trying to read Subject: The item "
                                               "is damaged",
                                               1, "Plovanex.RunNow"}}));
    EXPECT_EQ(SubjectsLogged(), (std::vector<std::string>{"Acme 2", "Acme 1"}));
    EXPECT_EQ(positions, (std::vector<int>{1, 3, 1}));
    EXPECT_EQ(Label(), "Done.  Moved 2 items.");
    EXPECT_EQ(ItemsIn(kAcme), 2);
}

// A subject is shown as it was typed, even one that looks like markup.
TEST_F(RunNowTest, SubjectIsShownAsTyped) {
    const std::string markup = "Acme <b>bold</b> &amp; <i>plans</i>";
    AddOld({"Acme 1", markup});
    Show();
    bool seen = false;
    ScopedLogWatch watch([&](const ostrevane::LogLine& line) {
        if (line.text == "*** Email 1 of 2") {
            auto* label = Find<QLabel>("lblSubject");
            EXPECT_EQ(label->text().toStdString(), markup);
            const bool asMarkup =
                label->textFormat() == Qt::RichText ||
                (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
            EXPECT_FALSE(asMarkup);
            seen = true;
        }
    });
    RunNow(kOld);
    EXPECT_TRUE(seen);
}

// An item the processor does not file counts as not moved; a failure of the
// run itself ends it once, with RunNow back to "Off".
TEST_F(RunNowTest, UnfiledItemsAndFailures) {
    AddOld({"Acme 1", "Nothing to file"});
    Show();
    RunNow(kOld);
    EXPECT_EQ(Label(), "Done.  Moved 1 items.");
    EXPECT_EQ(ItemsIn(kOld), 1);

    // A contact item has no SentOn: the run stops there.
    kit.Add(kOld, {.subject = "A contact", .itemClass = mailstore::item_class::kContact});
    home.Capture().Clear();
    RunNow(kOld);
    const auto reports = Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].message.starts_with("Error occurred at line 14.  Reason: "))
        << reports[0].message;
    EXPECT_EQ(reports[0].source, "Plovanex.RunNow");
    EXPECT_EQ(Label(), "Done.  Moved 0 items.");
    EXPECT_EQ(Caption(), "Run Now");
    EXPECT_EQ(Stored(keys::RunNow), "Off");
    EXPECT_EQ(Pointer(), "default");
}

// A page that goes out of sight stops its run after the current item.
TEST_F(RunNowTest, HidingThePageStopsTheRun) {
    AddOld({"Acme 1", "Acme 2", "Acme 3"});
    Show();
    ScopedLogWatch watch([this](const ostrevane::LogLine& line) {
        if (line.text == "*** Email 3 of 3") {
            QMetaObject::invokeMethod(
                page->Control(), [this] { page->Control()->hide(); }, Qt::QueuedConnection);
        }
    });
    RunNow(kOld);
    EXPECT_EQ(Label(), "Cancelled.  Moved 1 items.");
    EXPECT_EQ(Stored(keys::RunNow), "Off");
}

// The run's folder question opens over the page, also while another window
// is in front; after the run, the window in front is the owner again.
TEST_F(RunNowTest, QuestionOpensOverThePage) {
    testkit::ScriptedChooserFactory choosers;
    Store({{"Order1", "1"}, {keys::PromptOutlookFolder, "True"}});
    AddOld({"Earlier mail"});
    Show();
    QWidget front;
    front.setObjectName("Front");
    front.show();
    front.activateWindow();
    QApplication::processEvents();
    QPointer<QWidget> owner;
    choosers.DuringFirstShow([&owner] { owner = platform::widgets::OwnerWindow(); });
    RunNow(kOld);
    ASSERT_EQ(choosers.Made().size(), 1u);
    EXPECT_EQ(owner, page->Control()->window());
    EXPECT_EQ(platform::widgets::OwnerWindow(), &front);
}

}  // namespace
}  // namespace options_test
