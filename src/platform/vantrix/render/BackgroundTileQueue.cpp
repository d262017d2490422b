#include "platform/vantrix/render/BackgroundTileQueue.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/RunLoop.h"
#include "platform/vantrix/render/PoolPainting.h"
#include "platform/vantrix/render/RenderGate.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSet>
#include <QThread>
#include <QThreadPool>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

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
    // A job the workers draw now, and whether the owner still asks for it.
    struct Drawing {
        QPoint key;
        quint64 version = 0;
        bool wanted = true;
    };

    // Standard locks, which ThreadSanitizer follows.
    mutable std::mutex mutex;
    std::condition_variable idle;
    std::deque<Job> waiting;
    // Queuing one of these again would draw it twice at once.
    QList<Drawing> drawing;
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
        platform::RunLoop::runOnMainThread([queue] { Q_EMIT queue->tilesFinished(); }, queue);
    }

    // Under the mutex: the job leaves the workers; answers whether it is still asked for.
    bool endDrawing(const Job& job)
    {
        const auto it = std::find_if(drawing.begin(), drawing.end(), [&](const Drawing& entry) {
            return entry.key == job.key && entry.version == job.version;
        });
        const bool wanted = it->wanted;
        drawing.erase(it);
        return wanted;
    }

    // Under the mutex: an interrupted job waits for the next loan, unless a newer one of its
    // key does.
    void requeue(Job job)
    {
        if (std::none_of(waiting.begin(), waiting.end(), [&](const Job& other) { return other.key == job.key; }))
            waiting.push_front(std::move(job));
    }

    // Draws the job inside the gate; nothing when the main thread holds the gate or takes it
    // back meanwhile.
    std::optional<QImage> render(const Job& job);
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
    // Lent, the gate may have a job inside drawing what goes once this returns.
    RenderGate::instance().takeBack();
    const std::lock_guard lock(m_state->mutex);
    m_state->closed = true;
    m_state->waiting.clear();
    m_state->owner = nullptr;
}

void BackgroundTileQueue::enqueue(QPoint key, quint64 version, Render render)
{
    const std::lock_guard lock(m_state->mutex);
    for (State::Drawing& drawing : m_state->drawing) {
        if (drawing.key == key && drawing.version == version) {
            drawing.wanted = true;
            return;
        }
    }
    for (State::Job& job : m_state->waiting) {
        if (job.key == key) {
            if (job.version != version)
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
    for (State::Drawing& drawing : m_state->drawing)
        drawing.wanted = false;
}

void BackgroundTileQueue::remove(const QRect& keys)
{
    removeIf([&](QPoint key) { return keys.contains(key); });
}

void BackgroundTileQueue::keepOnly(const QList<QPoint>& keys)
{
    const QSet<QPoint> kept(keys.begin(), keys.end());
    removeIf([&](QPoint key) { return !kept.contains(key); });
}

void BackgroundTileQueue::removeIf(const std::function<bool(QPoint key)>& gone)
{
    const std::lock_guard lock(m_state->mutex);
    std::erase_if(m_state->waiting, [&](const State::Job& job) { return gone(job.key); });
    for (State::Drawing& drawing : m_state->drawing)
        if (gone(drawing.key))
            drawing.wanted = false;
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

std::optional<QImage> BackgroundTileQueue::State::render(const Job& job)
{
    RenderGate& gate = RenderGate::instance();
    if (RenderGate::isBeingReclaimed() || !gate.tryEnter())
        return std::nullopt;
    // The owner may have gone while this job waited; it closed the queue holding the gate.
    bool closedMeanwhile = false;
    {
        const std::lock_guard lock(mutex);
        closedMeanwhile = closed;
    }
    QImage image;
    if (!closedMeanwhile)
        runGuarded("BackgroundTileQueue", [&] { image = job.render(); });
    // Still asked once the rendering is over, as the main thread waits for it to leave.
    const bool interrupted = RenderGate::stopRequested();
    gate.leave();
    return interrupted ? std::nullopt : std::optional(std::move(image));
}

void BackgroundTileQueue::work(const std::shared_ptr<State>& state)
{
    std::unique_lock lock(state->mutex);
    while (!state->closed && !state->waiting.empty()) {
        State::Job job = std::move(state->waiting.front());
        state->waiting.pop_front();
        state->drawing.append({job.key, job.version});
        lock.unlock();
        std::optional<QImage> image = state->render(job);
        lock.lock();
        const bool wanted = state->endDrawing(job);
        if (image) {
            state->finished.append({job.key, job.version, std::move(*image)});
            if (state->sincePosted.elapsed() >= kProgressIntervalMs)
                state->postFinished();
            continue;
        }
        if (wanted)
            state->requeue(std::move(job));
        // Decided under the mutex: a loan that began meanwhile counted this worker as running
        // and may have started none.
        if (!RenderGate::instance().isLent() || RenderGate::isBeingReclaimed())
            break;
    }
    --state->running;
    // What was finished before an interruption is shown now, not at the next loan's end.
    if (state->running == 0) {
        state->postFinished();
        state->idle.notify_all();
    }
}

} // namespace platform
