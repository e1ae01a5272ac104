#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <vector>

#include "platform/os/timer.h"

namespace {

namespace os = platform::os;

TEST(TimerTest, WithoutEventLoopNoTimerIsMade) {
    EXPECT_EQ(os::SetTimer(10, [] {}), 0u);
}

class TimerLoopTest : public testing::Test {
  protected:
    int argc = 1;
    char name[8] = "timers";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};

    // Runs the event loop for a while.
    void RunFor(int milliseconds) {
        QTimer::singleShot(milliseconds, &app, &QCoreApplication::quit);
        app.exec();
    }
};

TEST_F(TimerLoopTest, FiresOnceOnTheCallingThread) {
    int fired = 0;
    auto thread = QThread::currentThread();
    bool sameThread = false;
    auto id = os::SetTimer(10, [&] {
        ++fired;
        sameThread = QThread::currentThread() == thread;
    });
    EXPECT_NE(id, 0u);
    RunFor(200);
    EXPECT_EQ(fired, 1);
    EXPECT_TRUE(sameThread);
    EXPECT_FALSE(os::KillTimer(id));
}

// The build's timer procedure kills its own timer first thing.
TEST_F(TimerLoopTest, CallbackCanKillItsOwnTimer) {
    os::TimerId id = 0;
    std::vector<bool> killed;
    id = os::SetTimer(10, [&] {
        killed.push_back(os::KillTimer(id));
        killed.push_back(os::KillTimer(id));
    });
    RunFor(200);
    EXPECT_EQ(killed, (std::vector<bool>{true, false}));
    EXPECT_FALSE(os::KillTimer(id));
}

TEST_F(TimerLoopTest, KilledTimerNeverFires) {
    int fired = 0;
    auto first = os::SetTimer(20, [&] { ++fired; });
    auto second = os::SetTimer(20, [&] { fired += 10; });
    EXPECT_NE(first, second);
    EXPECT_TRUE(os::KillTimer(first));
    EXPECT_FALSE(os::KillTimer(first));
    RunFor(200);
    EXPECT_EQ(fired, 10);
}

}  // namespace
