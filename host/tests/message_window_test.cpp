// The host's message window: errors while a window of the host is shown,
// listed until it is closed, without blocking anybody or taking the input
// of the window in front; notes in the explorer's status bar; the sink that
// brings reports of any thread to a window.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
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

// A shown window and a dialog of it with a text box, to be run modal.
struct DialogOverWindow {
    DialogOverWindow() {
        mailWindow.show();
        (new QVBoxLayout(&dialog))->addWidget(name);
    }
    QWidget mailWindow;
    QDialog dialog{&mailWindow};
    QLineEdit* name = new QLineEdit(&dialog);
};

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
    DialogOverWindow over;
    auto& dialog = over.dialog;
    auto* name = over.name;
    bool returned = false;
    QTimer::singleShot(0, &dialog, [&] {
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

// A modal dialog opened while the window shows opens above it: the window
// stays one of the window it was shown over. It opens beside the window in
// front, not over its buttons.
TEST_F(MessageWindowTest, AModalDialogOpenedWhileItShowsStaysAboveIt) {
    DialogOverWindow over;
    over.mailWindow.setGeometry(20, 20, 300, 200);
    over.mailWindow.activateWindow();
    LetRun();
    Report("before the dialog");
    LetRun();
    auto& window = messages.Window();
    ASSERT_TRUE(window.isVisible());
    EXPECT_FALSE(window.frameGeometry().intersects(over.mailWindow.frameGeometry()));
    EXPECT_EQ(window.windowHandle()->transientParent(), over.mailWindow.windowHandle());
    QTimer::singleShot(0, &over.dialog, [&] {
        LetRun();
        EXPECT_EQ(QApplication::activeModalWidget(), &over.dialog);
        EXPECT_NE(window.windowHandle()->transientParent(), over.dialog.windowHandle());
        over.dialog.accept();
    });
    over.dialog.exec();
}

// Rows of the list that are in view, at least in part.
std::vector<int> RowsInView(const QListView& list) {
    std::vector<int> rows;
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        if (list.viewport()->rect().intersects(list.visualRect(list.model()->index(row, 0)))) {
            rows.push_back(row);
        }
    }
    return rows;
}

// Ten one-line errors fit the window. Under a modal dialog it shows the
// newest of many errors, and its list takes the scrollbar, the wheel, a
// selection and Ctrl+C, as its Close does; once the dialog is active again,
// the next error leaves it the keys.
TEST_F(MessageWindowTest, UnderAModalDialogTheListShowsTheNewestAndScrollsSelectsAndCopies) {
    DialogOverWindow over;
    auto& dialog = over.dialog;
    auto* name = over.name;
    QTimer::singleShot(0, &dialog, [&] {
        auto& window = messages.Window();
        auto& list = List();
        const auto at = [&](const QWidget* widget, QPoint point) {
            return widget->mapTo(&window, point);
        };
        for (int n = 0; n < 10; ++n) {
            Report("short " + std::to_string(n));
        }
        LetRun();
        EXPECT_EQ(RowsInView(list).size(), 10u);
        EXPECT_TRUE(list.viewport()->rect().contains(list.visualRect(list.model()->index(9, 0))));

        messages.Window().findChild<QPushButton*>("cmdClose")->click();
        for (int n = 1; n <= 12; ++n) {
            Report(
                "Error occurred during match.  The keyword phrase is not a valid pattern, so "
                "simple keyword matching is used: " +
                std::to_string(n));
        }
        LetRun();
        ASSERT_EQ(list.model()->rowCount(), 12);
        EXPECT_TRUE(list.viewport()->rect().contains(list.visualRect(list.model()->index(11, 0))));
        const auto atEnd = RowsInView(list);
        ASSERT_FALSE(atEnd.empty());
        ASSERT_GT(atEnd.front(), 0);

        // A click above the scrollbar's handle pages up; the wheel goes down again.
        auto* bar = list.verticalScrollBar();
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                          at(bar, {bar->width() / 2, bar->height() / 4}));
        LetRun();
        const auto paged = RowsInView(list);
        ASSERT_FALSE(paged.empty());
        EXPECT_LT(paged.front(), atEnd.front());
        const QPoint middle = at(list.viewport(), list.viewport()->rect().center());
        QWheelEvent wheel(middle, window.mapToGlobal(middle), {}, {0, -120}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(window.windowHandle(), &wheel);
        LetRun();
        ASSERT_FALSE(RowsInView(list).empty());
        EXPECT_GT(RowsInView(list).front(), paged.front());

        // Two rows selected with a click and a Shift+click, then Ctrl+C.
        const int first = RowsInView(list).front() + 1;
        const auto centre = [&](int row) {
            return at(list.viewport(), list.visualRect(list.model()->index(row, 0)).center());
        };
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, centre(first));
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::ShiftModifier,
                          centre(first + 1));
        LetRun();
        std::vector<int> selected;
        for (const auto& index : list.selectionModel()->selectedIndexes()) {
            selected.push_back(index.row());
        }
        std::sort(selected.begin(), selected.end());
        EXPECT_THAT(selected, ElementsAre(first, first + 1));
        EXPECT_EQ(QApplication::activeWindow(), &window);
        QApplication::clipboard()->clear();
        QTest::keyClick(QApplication::focusWindow(), Qt::Key_C, Qt::ControlModifier);
        const auto text = [&](int row) { return list.model()->index(row, 0).data().toString(); };
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
                  (text(first) + "\n" + text(first + 1)).toStdString());

        dialog.activateWindow();
        name->setFocus();
        LetRun();
        ASSERT_EQ(QApplication::activeWindow(), &dialog);
        Report("after the copy");
        LetRun();
        EXPECT_EQ(QApplication::activeWindow(), &dialog);
        EXPECT_EQ(QApplication::focusWidget(), name);
        dialog.accept();
    });
    dialog.exec();
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
    constexpr int kAhead = 200;
    for (const bool windowFirst : {true, false}) {
        SCOPED_TRACE(windowFirst ? "window first" : "scope first");
        home.Capture().Clear();
        std::atomic<bool> stop{false};
        std::atomic<int> reported{0};
        // Every report counted before a round ended has been shown or
        // dropped by then. The reporter stays at most kAhead beyond, so a
        // slow window's thread holds it back rather than queueing without end.
        std::atomic<int> settled{0};
        std::thread reporter([&] {
            while (!stop.load()) {
                if (reported.load() - settled.load() > kAhead) {
                    std::this_thread::yield();
                    continue;
                }
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
            settled = reported.load();
        }
        stop = true;
        reporter.join();
        LetRun();
        EXPECT_EQ(static_cast<int>(home.Capture().Reports().size()), reported.load());
    }
}

}  // namespace

}  // namespace host_test
