#include "platform/vantrix/render/BackgroundTileQueue.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/render/PoolPainting.h"
#include "platform/vantrix/render/RenderGate.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QThreadPool>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace platform {

namespace {

// How often a long rendering shows what it has; each showing interrupts the tiles under way.
constexpr qint64 kProgressIntervalMs = 150;

} // namespace

struct BackgroundTileQueue::State {
    struct Job {
        QPoint key;
        quint64 version = 0;
        Render render;
    };

    // Standard locks, which ThreadSanitizer follows.
    mutable std::mutex mutex;
    std::condition_variable idle;
    std::deque<Job> waiting;
    // What the workers draw now: queuing one of them again would draw it twice at once.
    QList<std::pair<QPoint, quint64>> rendering;
    QList<Finished> finished;
    int running = 0;
    bool closed = false;
    bool posted = false;
    QElapsedTimer sincePosted;
    QPointer<BackgroundTileQueue> owner; // read and cleared under the mutex

    // Under the mutex, from a worker.
    void postFinished()
    {
        if (posted || finished.isEmpty() || !owner)
            return;
        posted = true;
        sincePosted.restart();
        BackgroundTileQueue* queue = owner.data();
        QMetaObject::invokeMethod(queue, [queue] { Q_EMIT queue->tilesFinished(); }, Qt::QueuedConnection);
    }
};

BackgroundTileQueue::BackgroundTileQueue(QObject* parent)
    : QObject(parent)
    , m_state(std::make_shared<State>())
{
    m_state->owner = this;
    m_state->sincePosted.start();
    RenderGate::instance().addLendingHandler(this, [this] { startWorkers(); });
}

BackgroundTileQueue::~BackgroundTileQueue()
{
    const std::lock_guard lock(m_state->mutex);
    m_state->closed = true;
    m_state->waiting.clear();
    m_state->owner = nullptr;
}

void BackgroundTileQueue::enqueue(QPoint key, quint64 version, Render render)
{
    const std::lock_guard lock(m_state->mutex);
    if (m_state->rendering.contains(std::pair{key, version}))
        return;
    for (State::Job& job : m_state->waiting) {
        if (job.key == key) {
            job = {key, version, std::move(render)};
            return;
        }
    }
    m_state->waiting.push_back({key, version, std::move(render)});
}

void BackgroundTileQueue::clear()
{
    const std::lock_guard lock(m_state->mutex);
    m_state->waiting.clear();
    m_state->finished.clear();
}

bool BackgroundTileQueue::isQueued(QPoint key) const
{
    const std::lock_guard lock(m_state->mutex);
    return std::any_of(m_state->waiting.begin(), m_state->waiting.end(),
                       [key](const State::Job& job) { return job.key == key; });
}

bool BackgroundTileQueue::isIdle() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->waiting.empty() && m_state->running == 0 && m_state->finished.isEmpty();
}

QList<BackgroundTileQueue::Finished> BackgroundTileQueue::takeFinished()
{
    const std::lock_guard lock(m_state->mutex);
    m_state->posted = false;
    return std::exchange(m_state->finished, {});
}

void BackgroundTileQueue::startWorkers()
{
    QThreadPool* pool = QThreadPool::globalInstance();
    if (!pool)
        return;
    int starting = 0;
    {
        const std::lock_guard lock(m_state->mutex);
        const int room = std::max(1, QThread::idealThreadCount()) - m_state->running;
        starting = std::clamp(int(m_state->waiting.size()), 0, std::max(0, room));
        m_state->running += starting;
    }
    for (int i = 0; i < starting; ++i)
        startOnPool(*pool, [state = m_state] { work(state); });
}

void BackgroundTileQueue::waitUntilIdle()
{
    RenderGate::instance().waitLending([this] {
        startWorkers(); // in case lending started none (no dispatcher, or lent already)
        std::unique_lock lock(m_state->mutex);
        while (!m_state->waiting.empty() || m_state->running > 0) {
            if (m_state->running == 0) { // the workers left before this loan
                lock.unlock();
                startWorkers();
                lock.lock();
                continue;
            }
            m_state->idle.wait(lock);
        }
    });
}

void BackgroundTileQueue::work(const std::shared_ptr<State>& state)
{
    RenderGate& gate = RenderGate::instance();
    std::unique_lock lock(state->mutex);
    while (!state->closed && !state->waiting.empty()) {
        State::Job job = std::move(state->waiting.front());
        state->waiting.pop_front();
        const std::pair drawing{job.key, job.version};
        state->rendering.append(drawing);
        lock.unlock();
        const bool entered = !RenderGate::isBeingReclaimed() && gate.tryEnter();
        QImage image;
        bool interrupted = !entered;
        if (entered) {
            // The owner may have gone while this job waited; it closed the queue holding the gate.
            lock.lock();
            const bool closed = state->closed;
            lock.unlock();
            if (!closed)
                runGuarded("BackgroundTileQueue", [&] { image = job.render(); });
            // Still asked once the rendering is over, as the main thread waits for it to leave.
            interrupted = RenderGate::stopRequested();
            gate.leave();
        }
        lock.lock();
        state->rendering.removeOne(drawing);
        if (!interrupted) {
            state->finished.append({job.key, job.version, std::move(image)});
            if (state->sincePosted.elapsed() >= kProgressIntervalMs)
                state->postFinished();
            continue;
        }
        state->waiting.push_front(std::move(job));
        // A loan that began meanwhile counted this worker as running and may have started none.
        --state->running;
        if (!gate.isLent() || RenderGate::isBeingReclaimed()) {
            if (state->running == 0)
                state->idle.notify_all();
            return;
        }
        ++state->running;
    }
    --state->running;
    if (state->running == 0) {
        state->postFinished();
        state->idle.notify_all();
    }
}

} // namespace platform
