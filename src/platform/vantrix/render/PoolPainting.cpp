#include "platform/vantrix/render/PoolPainting.h"

#include "platform/foundation/ZQLog.h"

#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <latch>

namespace platform {

namespace {

std::atomic<quint64> g_handOver{0};

// A failure is logged, not carried back: painting runs inside paint events and exports,
// where one broken object should leave its part blank rather than end the whole event.
bool paintLogged(const std::function<void(qsizetype)>& paint, qsizetype index)
{
    try {
        paint(index);
        return true;
    } catch (const std::exception& exception) {
        LogEvent(kStateEvent, QStringLiteral("painting failed: %1").arg(QString::fromUtf8(exception.what())));
    } catch (...) {
        LogEvent(kStateEvent, QStringLiteral("painting failed"));
    }
    return false;
}

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

bool paintInParallel(qsizetype count, const std::function<void(qsizetype index)>& paint)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    std::atomic<bool> painted{true};
    // A pool thread waiting for others of its pool could wait for ever.
    if (!pool || pool->contains(QThread::currentThread())) {
        for (qsizetype i = 0; i < count; ++i)
            if (!paintLogged(paint, i))
                painted = false;
        return painted;
    }
    const int threads = std::clamp(QThread::idealThreadCount(), 1, int(std::clamp<qsizetype>(count, 1, 1024)));
    std::atomic<qsizetype> next{0};
    std::latch finished(threads);
    for (int thread = 0; thread < threads; ++thread) {
        // Reserved threads start at once, whatever else the pool is running.
        pool->reserveThread();
        startOnPool(*pool, [&] {
            for (qsizetype index = next++; index < count; index = next++)
                if (!paintLogged(paint, index))
                    painted = false;
            finished.count_down();
        }, true);
    }
    finished.wait();
    return painted;
}

bool paintOnPoolThread(const std::function<void()>& paint)
{
    return paintInParallel(1, [&](qsizetype) { paint(); });
}

} // namespace platform
