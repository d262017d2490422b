#include "platform/foundation/GradualRelease.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <deque>

namespace platform {

namespace {

// A turn's share: short enough that a window kept open stays responsive, long enough that a
// map's objects are gone within a few seconds.
constexpr qint64 kSliceNanoseconds = 8'000'000;
// Reading the clock after every reference would cost more than many of them take to drop.
constexpr int kReferencesBetweenClockReads = 64;

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

    void append(std::vector<std::shared_ptr<const void>> references)
    {
        m_references.insert(m_references.end(), std::make_move_iterator(references.begin()),
                            std::make_move_iterator(references.end()));
        if (!m_references.empty())
            m_turn.start();
    }
    qsizetype count() const { return qsizetype(m_references.size()); }
    void releaseAll()
    {
        m_turn.stop();
        while (!m_references.empty())
            releaseFirst();
    }

private:
    void releaseSlice()
    {
        QElapsedTimer clock;
        clock.start();
        while (!m_references.empty()) {
            for (int i = 0; i < kReferencesBetweenClockReads && !m_references.empty(); ++i)
                releaseFirst();
            if (clock.nsecsElapsed() > kSliceNanoseconds)
                break;
        }
        if (m_references.empty())
            m_turn.stop();
    }

    // Out of the queue before it goes: its destructor may hand over more.
    void releaseFirst()
    {
        const std::shared_ptr<const void> first = std::move(m_references.front());
        m_references.pop_front();
    }

    std::deque<std::shared_ptr<const void>> m_references;
    QTimer m_turn;
};

QPointer<ReleaseQueue> s_queue;

} // namespace

bool GradualRelease::acceptsReferences()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

void GradualRelease::enqueue(std::vector<std::shared_ptr<const void>> references)
{
    if (!s_queue)
        s_queue = new ReleaseQueue(QCoreApplication::instance());
    s_queue->append(std::move(references));
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
