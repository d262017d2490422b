#include "platform/foundation/WorkInFlight.h"

#include <QThread>
#include <QThreadPool>
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>

using platform::WorkInFlight;

// Each case runs in a process of its own (the end comes once per process).

namespace {

std::atomic<bool> g_working{false};

// Read by a worker, as the class registry is by an import: going while it is read is the fault.
struct SharedTable {
    ~SharedTable()
    {
        if (g_working.load())
            std::_Exit(3);
    }
    std::atomic<int> reads{0};
};

SharedTable& sharedTable()
{
    static SharedTable table;
    return table;
}

// Work on `pool` that reads the table until it is cancelled, and takes a while to end.
void startReading(QThreadPool& pool, const std::shared_ptr<std::atomic<int>>& ended)
{
    auto stop = std::make_shared<std::atomic<bool>>(false);
    pool.start([stop, ended, ticket = WorkInFlight::begin([stop] { stop->store(true); })] {
        while (!stop->load()) {
            ++sharedTable().reads;
            QThread::msleep(1);
        }
        QThread::msleep(50);
        ++*ended;
    });
}

} // namespace

TEST(WorkInFlight, ExitCancelsTheWorkAndWaitsForItBeforeAnyStaticObjectGoes)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            WorkInFlight::stopWhenProcessEnds();
            QThreadPool::globalInstance(); // made before the table, so it would go after it
            sharedTable();
            g_working = true;
            auto ended = std::make_shared<std::atomic<int>>(0);
            startReading(*QThreadPool::globalInstance(), ended);
            while (sharedTable().reads.load() == 0)
                QThread::msleep(1);
            // A worker of its own pool that is known is waited for too.
            auto* own = new QThreadPool;
            WorkInFlight::waitForPoolAtEnd(own);
            startReading(*own, ended);
            // Not the table's destructor: the worker says it is done only once it ended.
            own->start([ended] {
                while (ended->load() < 2)
                    QThread::msleep(1);
                g_working = false;
            });
            std::exit(1);
        },
        testing::ExitedWithCode(1), "");
}

TEST(WorkInFlight, OnlyWorkStillHeldIsCancelledAndWorkBegunAfterTheEndIsCancelledAtOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            bool endedWorkCancelled = false;
            { const WorkInFlight::Ticket ended = WorkInFlight::begin([&] { endedWorkCancelled = true; }); }
            auto* pool = new QThreadPool;
            pool->setMaxThreadCount(3);
            WorkInFlight::waitForPoolAtEnd(pool);
            auto ended = std::make_shared<std::atomic<int>>(0);
            for (int i = 0; i < 3; ++i)
                startReading(*pool, ended);
            WorkInFlight::stopAll();
            if (ended->load() != 3 || endedWorkCancelled)
                std::_Exit(2);
            bool lateCancelled = false;
            const WorkInFlight::Ticket late = WorkInFlight::begin([&] { lateCancelled = true; });
            std::_Exit(lateCancelled ? 0 : 4);
        },
        testing::ExitedWithCode(0), "");
}
