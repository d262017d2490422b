#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

using platform::RunLoop;
using platform::Timer;

namespace {

class Receiver : public QObject {
    Q_OBJECT

public:
    QStringList calls;

    Q_INVOKABLE void show(int page) { calls << QStringLiteral("show %1").arg(page); }
    Q_INVOKABLE void refresh() { calls << QStringLiteral("refresh"); }
    Q_INVOKABLE void fail() { throw std::runtime_error("refresh failed"); }
};

class RunLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunLoop::setManualClock(true);
        RunLoop::runUntilIdle();
    }
};

} // namespace

TEST_F(RunLoopTest, DelayedPerformsWaitTheirDelayAndRunInDueOrder)
{
    Receiver receiver;
    RunLoop::performAfterDelay(&receiver, "show", 3, 100);
    RunLoop::performAfterDelay(&receiver, "show", QStringLiteral("2"), 50); // converted to int
    RunLoop::performAfterDelay(&receiver, "refresh", {}, 50);
    RunLoop::performAfterDelay(&receiver, [&] { receiver.calls << "closure"; }, 0);
    RunLoop::runUntilIdle();
    EXPECT_EQ(receiver.calls, QStringList{"closure"});
    RunLoop::runFor(99);
    EXPECT_EQ(receiver.calls, (QStringList{"closure", "show 2", "refresh"}));
    RunLoop::runFor(1);
    EXPECT_EQ(receiver.calls.last(), "show 3");

    EXPECT_THROW(RunLoop::performAfterDelay(&receiver, "vanish", {}, 0), platform::AssertionFailure);
}

TEST_F(RunLoopTest, CancelledRequestsCoalesceIntoTheLastOne)
{
    Receiver receiver;
    for (int page = 1; page <= 5; ++page) {
        RunLoop::cancelPreviousPerformRequests(&receiver, "show", page - 1);
        RunLoop::performAfterDelay(&receiver, "show", page, 0);
    }
    // Only an equal argument cancels.
    RunLoop::performAfterDelay(&receiver, "show", 9, 0);
    RunLoop::cancelPreviousPerformRequests(&receiver, "show", 7);
    RunLoop::runUntilIdle();
    EXPECT_EQ(receiver.calls, (QStringList{"show 5", "show 9"}));

    receiver.calls.clear();
    RunLoop::performAfterDelay(&receiver, [&] { receiver.calls << "keyed"; }, 10, "layout");
    RunLoop::performAfterDelay(&receiver, "refresh", {}, 10);
    RunLoop::cancelPreviousPerformRequests(&receiver, "layout");
    RunLoop::runFor(10);
    EXPECT_EQ(receiver.calls, QStringList{"refresh"});

    receiver.calls.clear();
    RunLoop::performAfterDelay(&receiver, "refresh", {}, 10);
    RunLoop::performAfterDelay(&receiver, "show", 1, 10);
    RunLoop::cancelPreviousPerformRequests(&receiver);
    RunLoop::runFor(20);
    EXPECT_TRUE(receiver.calls.isEmpty());
}

TEST_F(RunLoopTest, BurstsFromManyTargetsCoalescePerTargetAndKeepTheirOrder)
{
    // Each object re-requests its own change note twice; only its last request runs, in the
    // order the last requests were made, and other objects' requests are untouched.
    constexpr int kTargets = 20000;
    std::vector<std::unique_ptr<Receiver>> receivers(kTargets);
    for (auto& receiver : receivers)
        receiver = std::make_unique<Receiver>();
    QStringList order;
    for (int round = 0; round < 2; ++round) {
        for (int i = kTargets - 1; i >= 0; --i) {
            Receiver* receiver = receivers[i].get();
            RunLoop::cancelPreviousPerformRequests(receiver, "changed");
            RunLoop::performAfterDelay(receiver, [&order, i, round] { order << QStringLiteral("%1/%2").arg(i).arg(round); },
                                       0, "changed");
        }
    }
    receivers[5].reset(); // a dead target's request is dropped
    RunLoop::runUntilIdle();
    ASSERT_EQ(order.size(), kTargets - 1);
    EXPECT_EQ(order.first(), QStringLiteral("%1/1").arg(kTargets - 1));
    EXPECT_EQ(order.last(), "0/1");
    EXPECT_FALSE(order.contains("5/1"));
    EXPECT_TRUE(std::ranges::all_of(order, [](const QString& entry) { return entry.endsWith("/1"); }));
}

TEST_F(RunLoopTest, DeadTargetsAreNeverCalledAndExceptionsStayInside)
{
    bool called = false;
    auto doomed = std::make_unique<Receiver>();
    RunLoop::performAfterDelay(doomed.get(), "refresh", {}, 5);
    RunLoop::performAfterDelay(doomed.get(), [&] { called = true; }, 5);
    RunLoop::runOnMainThread([&] { called = true; }, doomed.get());
    doomed.reset();
    RunLoop::runFor(10);
    EXPECT_FALSE(called);

    testsupport::LogCapture log;
    Receiver receiver;
    RunLoop::performAfterDelay(&receiver, "fail", {}, 0);
    RunLoop::performAfterDelay(&receiver, "refresh", {}, 0);
    RunLoop::runUntilIdle();
    EXPECT_EQ(receiver.calls, QStringList{"refresh"});
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].contains("refresh failed"));
}

TEST_F(RunLoopTest, TimersKeepTheirRhythmStopThemselvesAndDieWithTheirTarget)
{
    int ticks = 0;
    std::optional<Timer> timer;
    timer.emplace(100, true, nullptr, [&](Timer&) { ++ticks; });
    EXPECT_EQ(timer->fireDate(), RunLoop::now() + 100);
    RunLoop::runFor(1000);
    EXPECT_EQ(ticks, 10);
    RunLoop::runFor(50);
    EXPECT_EQ(ticks, 10);
    RunLoop::runFor(50);
    EXPECT_EQ(ticks, 11);
    timer.reset();
    RunLoop::runFor(500);
    EXPECT_EQ(ticks, 11);

    // A handler may invalidate its own timer; a fade stops itself this way.
    int fades = 0;
    Timer fade(33, true, nullptr, [&](Timer& t) {
        if (++fades == 3)
            t.invalidate();
    });
    RunLoop::runFor(1000);
    EXPECT_EQ(fades, 3);
    EXPECT_FALSE(fade.isValid());
    EXPECT_EQ(fade.fireDate(), -1);

    int once = 0;
    Timer oneShot(20, false, nullptr, [&](Timer&) { ++once; });
    RunLoop::runFor(100);
    EXPECT_EQ(once, 1);
    EXPECT_FALSE(oneShot.isValid());

    // Selector timers pass their user info and die with their target.
    auto receiver = std::make_unique<Receiver>();
    Timer selectorTimer(10, true, receiver.get(), "show", 4);
    Timer plain(10, false, receiver.get(), "refresh");
    RunLoop::runFor(30);
    EXPECT_EQ(receiver->calls, (QStringList{"show 4", "refresh", "show 4", "show 4"}));
    receiver.reset();
    EXPECT_FALSE(selectorTimer.isValid());
    RunLoop::runFor(30); // nothing left to call

    Receiver other;
    EXPECT_THROW(Timer(10, true, &other, "vanish"), platform::AssertionFailure);
}

TEST_F(RunLoopTest, MainThreadHandOffIsQueuedFromAnyThreadAndTheClockStaysContinuous)
{
    QStringList order;
    RunLoop::runOnMainThread([&] { order << "queued"; });
    order << "caller";
    std::thread worker([&] { RunLoop::runOnMainThread([&] { order << (RunLoop::isMainThread() ? "main" : "worker"); }); });
    worker.join();
    EXPECT_EQ(order, QStringList{"caller"});
    RunLoop::runUntilIdle();
    EXPECT_EQ(order, (QStringList{"caller", "queued", "main"}));

    // Chains of zero-delay work and deferred deletions are all done before idle.
    QPointer<QObject> deleted = new QObject;
    deleted->deleteLater();
    int depth = 0;
    std::function<void()> chain = [&] {
        if (++depth < 5)
            RunLoop::performAfterDelay(nullptr, chain, 0);
    };
    RunLoop::runOnMainThread(chain);
    RunLoop::runUntilIdle();
    EXPECT_EQ(depth, 5);
    EXPECT_TRUE(deleted.isNull());

    // The clock stays continuous across the manual and the real mode.
    const qint64 before = RunLoop::now();
    RunLoop::runFor(250);
    EXPECT_EQ(RunLoop::now(), before + 250);
    RunLoop::setManualClock(false);
    EXPECT_GE(RunLoop::now(), before + 250);
    EXPECT_THROW(RunLoop::runFor(10), platform::AssertionFailure);
    RunLoop::setManualClock(true);
}

TEST_F(RunLoopTest, HeldWorkWaitsThroughEventLoopTurnsThenRunsInItsOrder)
{
    Receiver receiver;
    QStringList order;
    RunLoop::runOnMainThread([&] { order << "before"; });
    std::optional<Timer> timer;
    {
        const RunLoop::Hold hold;
        {
            const RunLoop::Hold nested;
        }
        RunLoop::performAfterDelay(&receiver, "refresh", {}, 0);
        timer.emplace(10, false, &receiver, [&](Timer&) { order << "timer"; });
        RunLoop::runOnMainThread([&] { order << "during"; });
        RunLoop::runFor(50);
        EXPECT_TRUE(order.isEmpty());
        EXPECT_TRUE(receiver.calls.isEmpty());
        // Queued ahead of the call that lets the held ones go: it must still wait its turn.
        RunLoop::runOnMainThread([&] { order << "late"; });
    }
    RunLoop::runOnMainThread([&] { order << "after"; });
    RunLoop::runUntilIdle();
    EXPECT_EQ(order, (QStringList{"before", "during", "late", "after", "timer"}));
    EXPECT_EQ(receiver.calls, QStringList{"refresh"});

    // Once the held ones are through, hand-offs run as they come again.
    RunLoop::runOnMainThread([&] { order << "later"; });
    RunLoop::runUntilIdle();
    EXPECT_EQ(order.last(), "later");
}

#include "RunLoopTest.moc"

namespace {

// Like the windows the application object owns: it cancels its performs when it dies.
class CancellingChild : public QObject {
public:
    using QObject::QObject;
    ~CancellingChild() override
    {
        RunLoop::cancelPreviousPerformRequests(this);
        RunLoop::cancelPreviousPerformRequests(this, "refresh");
    }
};

} // namespace

TEST(RunLoopShutdown, ChildrenOfTheApplicationObjectCancelTheirPerformsWhileItIsDestroyed)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            auto* child = new CancellingChild(QCoreApplication::instance());
            RunLoop::performAfterDelay(child, [] {}, 1000);
            // The test's application object lives in main: end it here, as quitting does.
            QCoreApplication::instance()->~QCoreApplication();
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}
