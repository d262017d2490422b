#include "platform/foundation/GradualRelease.h"

#include "platform/foundation/FastBlockLimit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <deque>
#include <numeric>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

namespace {

// A turn's share: short enough that a window kept open stays responsive, long enough that a
// map's objects are gone within a few seconds.
constexpr qint64 kSliceNanoseconds = 8'000'000;
// Reading the clock after every element would cost more than many of them take to go.
constexpr int kElementsBetweenClockReads = 64;

// While a slice lets go of elements, the allocator merges each freed block with its free
// neighbours at once, so the slice's clock sees what its frees cost. Otherwise small blocks wait
// in lists until the next large allocation merges them all: a paint event after a few slices of a
// closed map's objects would pay for hundreds of thousands of them at once.
class FreesMergedAtOnce {
public:
#if defined(__GLIBC__)
    FreesMergedAtOnce() { mallopt(M_MXFAST, 0); }
    ~FreesMergedAtOnce() { mallopt(M_MXFAST, fastblocklimit::atStart()); }
#endif
};

// Owned by the application, so whatever is still waiting goes before it does, never with the
// static objects after it; on a quit, while the application's services are all still there.
class ReleaseQueue : public QObject {
public:
    explicit ReleaseQueue(QCoreApplication* application) : QObject(application)
    {
        m_turn.setInterval(0);
        m_turn.callOnTimeout(this, &ReleaseQueue::releaseSlice);
        connect(application, &QCoreApplication::aboutToQuit, this, &ReleaseQueue::releaseAll);
    }
    ~ReleaseQueue() override { releaseAll(); }

    void append(std::unique_ptr<GradualRelease::Batch> batch)
    {
        m_batches.push_back(std::move(batch));
        m_turn.start();
    }
    qsizetype count() const
    {
        return std::accumulate(m_batches.cbegin(), m_batches.cend(), qsizetype(0),
                               [](qsizetype sum, const auto& batch) { return sum + batch->count(); });
    }
    void releaseAll()
    {
        m_turn.stop();
        while (!m_batches.empty())
            releaseOne();
    }

private:
    void releaseSlice()
    {
        const FreesMergedAtOnce merging;
        QElapsedTimer clock;
        clock.start();
        while (!m_batches.empty()) {
            for (int i = 0; i < kElementsBetweenClockReads && !m_batches.empty(); ++i)
                releaseOne();
            if (clock.nsecsElapsed() > kSliceNanoseconds)
                break;
        }
        if (m_batches.empty())
            m_turn.stop();
    }

    // Batches handed over meanwhile go to the back: the front one stays where it is.
    void releaseOne()
    {
        GradualRelease::Batch& first = *m_batches.front();
        first.releaseOne();
        if (first.count() == 0)
            m_batches.pop_front();
    }

    std::deque<std::unique_ptr<GradualRelease::Batch>> m_batches;
    QTimer m_turn;
};

QPointer<ReleaseQueue> s_queue;

} // namespace

bool GradualRelease::takesElements()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

void GradualRelease::enqueue(std::unique_ptr<Batch> batch)
{
    if (!s_queue)
        s_queue = new ReleaseQueue(QCoreApplication::instance());
    s_queue->append(std::move(batch));
}

qsizetype GradualRelease::pendingCount()
{
    return s_queue ? s_queue->count() : 0;
}

void GradualRelease::releaseAll()
{
    if (s_queue)
        s_queue->releaseAll();
}

} // namespace platform
