// The host's message window: errors while a window of the host is shown,
// listed until it is closed, without blocking anybody or taking the input
// of the window in front; notes in the explorer's status bar; the sink that
// brings reports of any thread to a window.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <atomic>
#include <thread>

#include "host/explorer_window.h"
#include "host/message_window.h"
#include "host/tests/windows_fixture.h"
#include "platform/ostrevane/sink.h"

namespace host_test {

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MessageWindowTest : public WindowsTest {
  protected:
    QListView& List() { return *messages.Window().findChild<QListView*>("lstErrors"); }
    std::vector<std::string> Listed() {
        std::vector<std::string> out;
        auto* model = List().model();
        for (int row = 0; row < model->rowCount(); ++row) {
            out.push_back(model->index(row, 0).data().toString().toStdString());
        }
        return out;
    }
    std::vector<std::string> Presented() {
        std::vector<std::string> out;
        for (const auto& report : home.Capture().Reports()) {
            out.push_back(report.message);
        }
        return out;
    }
    static void Report(const std::string& message, int code = 1) {
        ostrevane::Deliver(ostrevane::Report{message, code, "Plovanex.Test"});
    }

    host::ScopedMessageWindow messages;
};

// Without a window on show an error goes only where it went before (stderr
// on the command line). With the explorer shown, errors are listed in the
// message window, notes go to the status bar, and every report still goes
// where it went before. Closing the window empties its list.
TEST_F(MessageWindowTest, ListsTheErrorsWhileAWindowIsShownUntilItIsClosed) {
    QAbstractItemModelTester tester(List().model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    Report("before any window");
    LetRun();
    EXPECT_FALSE(messages.Window().isVisible());
    EXPECT_THAT(Listed(), IsEmpty());

    auto explorer = std::make_unique<host::ExplorerWindow>(
        *modules,
        app->OpenExplorer(app->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox)));
    auto notes = host::NotesInStatusBar(*explorer);
    explorer->show();
    Report("first");
    Report("a note", 0);
    Report("second");
    LetRun();
    EXPECT_TRUE(messages.Window().isVisible());
    EXPECT_THAT(Listed(), ElementsAre("Plovanex.Test: first", "Plovanex.Test: second"));
    EXPECT_EQ(explorer->statusBar()->currentMessage(), "Plovanex.Test: a note");
    EXPECT_THAT(Presented(), ElementsAre("before any window", "first", "a note", "second"));

    messages.Window().findChild<QPushButton*>("cmdClose")->click();
    EXPECT_FALSE(messages.Window().isVisible());
    EXPECT_THAT(Listed(), IsEmpty());
    Report("third");
    LetRun();
    EXPECT_TRUE(messages.Window().isVisible());
    EXPECT_THAT(Listed(), ElementsAre("Plovanex.Test: third"));

    explorer.reset();
}

// An error reported while a modal dialog waits comes back at once. The
// message window then shows above the dialog, and the dialog keeps the
// focus and the keys typed; the window's Close still takes a click.
TEST_F(MessageWindowTest, AnErrorDuringAModalDialogBlocksNeitherTheCallerNorTheDialog) {
    QWidget mailWindow;
    mailWindow.show();
    QDialog dialog(&mailWindow);
    auto* name = new QLineEdit(&dialog);
    (new QVBoxLayout(&dialog))->addWidget(name);
    bool returned = false;
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
        name->setFocus();
        Report("while the dialog waits");
        returned = true;
        LetRun();
        auto& window = messages.Window();
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(window.isModal());
        EXPECT_THAT(Listed(), ElementsAre("Plovanex.Test: while the dialog waits"));
        ASSERT_TRUE(window.windowHandle());
        EXPECT_EQ(window.windowHandle()->transientParent(), dialog.windowHandle());
        EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
        EXPECT_EQ(QApplication::activeWindow(), &dialog);
        EXPECT_EQ(QApplication::focusWidget(), name);
        QTest::keyClicks(QApplication::focusWidget(), "typed");

        auto* close = window.findChild<QPushButton*>("cmdClose");
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                          close->mapTo(&window, close->rect().center()));
        LetRun();
        EXPECT_FALSE(window.isVisible());
        dialog.accept();
    });
    dialog.exec();
    EXPECT_TRUE(returned);
    EXPECT_EQ(name->text(), "typed");
}

class WindowSinkTest : public WindowsTest {
  protected:
    static ostrevane::Report Error(int n) { return {std::to_string(n), 1, "Plovanex.Test"}; }
    static bool IsError(const ostrevane::Report& report) { return report.code != 0; }
    // The installed sink, taken as a reporter takes it.
    static std::shared_ptr<ostrevane::Sink> Installed() {
        return ostrevane::WrapSink([](std::shared_ptr<ostrevane::Sink> sink) { return sink; });
    }
    std::vector<std::string> Presented() {
        std::vector<std::string> out;
        for (const auto& report : home.Capture().Reports()) {
            out.push_back(report.message);
        }
        return out;
    }
};

// Errors from another thread are shown on the window's thread, those still
// on their way when the scope ends too. A reporter that took the sink before
// the end and reports after it, before and after the window goes, reaches
// only the sink installed before.
TEST_F(WindowSinkTest, ShowsTheReportsOfAnotherThreadUntilTheScopeEnds) {
    auto window = std::make_unique<QObject>();
    std::vector<std::string> shown;
    std::shared_ptr<ostrevane::Sink> held;
    {
        host::ScopedWindowSink sink(window.get(), IsError,
                                    [&, gui = QThread::currentThread()](const auto& report) {
                                        EXPECT_EQ(QThread::currentThread(), gui);
                                        shown.push_back(report.message);
                                    });
        held = Installed();
        std::thread([] {
            ostrevane::Deliver(Error(1));
            ostrevane::Deliver(ostrevane::Report{"a note", 0, "Plovanex.Test"});
            ostrevane::Deliver(Error(2));
        }).join();
    }
    EXPECT_THAT(shown, ElementsAre("1", "2"));
    std::thread([&] { held->OnReport(Error(3)); }).join();
    window.reset();
    std::thread([&] { held->OnReport(Error(4)); }).join();
    held.reset();
    LetRun();
    EXPECT_THAT(shown, ElementsAre("1", "2"));
    EXPECT_THAT(Presented(), ElementsAre("1", "a note", "2", "3", "4"));
}

// A thread keeps reporting through the sinks it takes while windows and
// their scopes come and go, ended in either order: no report reaches a
// window that is gone, and every one reaches the sink installed before.
TEST_F(WindowSinkTest, AReporterRacingTheEndOfWindowAndScopeReachesNoWindowThatIsGone) {
    constexpr int kRounds = 300;
    for (const bool windowFirst : {true, false}) {
        SCOPED_TRACE(windowFirst ? "window first" : "scope first");
        home.Capture().Clear();
        std::atomic<bool> stop{false};
        std::atomic<int> reported{0};
        std::thread reporter([&] {
            while (!stop.load()) {
                const auto sink = Installed();
                for (int i = 0; i < 20; ++i) {
                    sink->OnReport(Error(reported.fetch_add(1)));
                }
            }
        });
        for (int round = 0; round < kRounds; ++round) {
            auto window = std::make_unique<QObject>();
            auto sink = std::make_unique<host::ScopedWindowSink>(
                window.get(), IsError,
                [window = window.get()](const auto&) { window->setObjectName("shown"); });
            QCoreApplication::sendPostedEvents();
            if (windowFirst) {
                window.reset();
                QCoreApplication::sendPostedEvents();
                sink.reset();
            } else {
                sink.reset();
                window.reset();
            }
        }
        stop = true;
        reporter.join();
        LetRun();
        EXPECT_EQ(static_cast<int>(home.Capture().Reports().size()), reported.load());
    }
}

}  // namespace

}  // namespace host_test
