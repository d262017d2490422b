#include "platform/vantrix/render/PoolPainting.h"

#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <exception>
#include <latch>
#include <mutex>

namespace platform {

namespace {

std::atomic<quint64> g_handOver{0};

} // namespace

void startOnPool(QThreadPool& pool, std::function<void()> work, bool reserved)
{
    QRunnable* const runnable = QRunnable::create([work = std::move(work)] {
        g_handOver.load(std::memory_order_acquire);
        work();
    });
    g_handOver.fetch_add(1, std::memory_order_release);
    if (reserved)
        pool.startOnReservedThread(runnable);
    else
        pool.start(runnable);
}

QList<QRect> tilesCovering(QSize pixels, int side)
{
    QList<QRect> tiles;
    if (side <= 0)
        return tiles;
    for (int y = 0; y < pixels.height(); y += side)
        for (int x = 0; x < pixels.width(); x += side)
            tiles.append(QRect(x, y, std::min(side, pixels.width() - x), std::min(side, pixels.height() - y)));
    return tiles;
}

void paintInParallel(qsizetype count, const std::function<void(qsizetype index)>& paint)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    // A pool thread waiting for others of its pool could wait for ever.
    if (!pool || pool->contains(QThread::currentThread())) {
        for (qsizetype i = 0; i < count; ++i)
            paint(i);
        return;
    }
    const int threads = std::clamp(QThread::idealThreadCount(), 1, int(std::clamp<qsizetype>(count, 1, 1024)));
    std::atomic<qsizetype> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr failure;
    std::mutex failureLock;
    std::latch finished(threads);
    for (int thread = 0; thread < threads; ++thread) {
        // Reserved threads start at once, whatever else the pool is running.
        pool->reserveThread();
        startOnPool(*pool, [&] {
            try {
                for (qsizetype index = next++; index < count && !failed; index = next++)
                    paint(index);
            } catch (...) {
                const std::lock_guard lock(failureLock);
                if (!failure)
                    failure = std::current_exception();
                failed = true;
            }
            finished.count_down();
        }, true);
    }
    finished.wait();
    if (failure)
        std::rethrow_exception(failure);
}

void paintOnPoolThread(const std::function<void()>& paint)
{
    paintInParallel(1, [&](qsizetype) { paint(); });
}

} // namespace platform
