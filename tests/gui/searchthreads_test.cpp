// The threads of a search: the hand-over to the UI thread, the ticker's stop whenever it
// comes, and the wait for both threads that keeps serving the UI thread.
#include "scan/qt/progressticker.h"
#include "scan/qt/runonui.h"
#include "scan/qt/searchthreads.h"

#include <QtWidgets>
#include <QtTest>
#include <atomic>
#include <gtest/gtest.h>

namespace salvyn {
namespace {

bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 60000); }

TEST(RunOnUi, RunsOnTheUiThreadAndReturnsWhenDone)
{
    QObject ui;
    QThread* ranOn = nullptr;
    int seenAfterReturn = 0, value = 0;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        runOnUi(&ui, [&] { ranOn = QThread::currentThread(), value = 42; });
        seenAfterReturn = value;
    }));
    worker->start();
    ASSERT_TRUE(waitFor([&] { return worker->isFinished(); }));
    EXPECT_EQ(ranOn, QThread::currentThread());
    EXPECT_EQ(seenAfterReturn, 42);

    bool direct = false;
    runOnUi(&ui, [&] { direct = true; }); // from the UI thread itself: at once, no deadlock
    EXPECT_TRUE(direct);
}

TEST(ProgressTicker, TicksOnItsOwnThreadUntilStoppedThenOnceMoreOnTheUiThreadAndAStopBeforeTheThreadRunsIsNotLost)
{
    for (const bool stopFirst : {true, false}) {
        SCOPED_TRACE(stopFirst);
        QObject ui;
        std::atomic<int> ticks{0};
        std::atomic<QThread*> tickThread{nullptr};
        int lastTicks = 0;
        QThread* lastTickThread = nullptr;
        ProgressTicker ticker(&ui, [&] { tickThread = QThread::currentThread(), ++ticks; },
                              [&] { lastTickThread = QThread::currentThread(), ++lastTicks; });
        if (stopFirst)
            ticker.stop();
        ticker.start();
        if (!stopFirst) {
            ASSERT_TRUE(waitFor([&] { return ticks >= 2; }));
            ticker.stop(), ticker.stop(); // twice is harmless
        }
        ASSERT_TRUE(waitFor([&] { return ticker.thread()->isFinished(); }));
        EXPECT_EQ(lastTicks, 1);
        EXPECT_EQ(lastTickThread, QThread::currentThread());
        EXPECT_TRUE(stopFirst || tickThread.load() == ticker.thread());
    }
}

TEST(SearchThreads, WaitsForWorkerAndTickerWhileServingTheirCallsRunsOneSearchAtATimeAndALimitedWaitGivesUp)
{
    QObject ui;
    SearchThreads threads(&ui);
    std::atomic<int> searches{0}, running{0}, overlaps{0};
    auto search = [&] {
        overlaps += ++running > 1;
        runOnUi(&ui, [] {}); // served while the UI thread waits below
        QThread::msleep(50), ++searches, --running;
        threads.stopTicker();
    };
    threads.start(search, [] {}, [] {});
    threads.start(search, [] {}, [] {}); // waits for the first search's threads
    EXPECT_TRUE(threads.waitUntilFinished(-1));
    EXPECT_FALSE(threads.isRunning());
    EXPECT_EQ(searches, 2);
    EXPECT_EQ(overlaps, 0);

    // A wait with a limit gives up on a stuck thread.
    std::atomic<bool> release{false};
    threads.start([&] { while (!release) QThread::msleep(5); }, [] {}, [] {});
    threads.stopTicker();
    EXPECT_FALSE(threads.waitUntilFinished(100));
    EXPECT_TRUE(threads.isRunning());
    release = true;
    EXPECT_TRUE(threads.waitUntilFinished(-1));
}

} // namespace
} // namespace salvyn
