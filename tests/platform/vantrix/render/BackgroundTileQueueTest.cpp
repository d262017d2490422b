// The background tile queue: a tile already being drawn is not drawn a second time at once
// when it is asked for again, while a tile edited since is.

#include "platform/vantrix/render/BackgroundTileQueue.h"
#include "platform/vantrix/render/RenderGate.h"

#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

using platform::BackgroundTileQueue;

TEST(BackgroundTileQueue, ATileBeingDrawnIsNotQueuedAgainUnlessEditedSince)
{
    BackgroundTileQueue queue;
    const QPoint key(3, 4);
    std::atomic<int> startsOfFirst{0};
    std::atomic<bool> release{false};
    const auto render = [&](quint64 version) {
        return [&, version] {
            if (version == 1)
                ++startsOfFirst;
            while (!release)
                QThread::msleep(1);
            return QImage(4, 4, QImage::Format_RGB32);
        };
    };
    QList<quint64> versions;
    const auto take = [&] {
        for (const BackgroundTileQueue::Finished& finished : queue.takeFinished())
            versions.append(finished.version);
    };
    queue.enqueue(key, 1, render(1));
    platform::RenderGate::instance().waitLending([&] {
        while (startsOfFirst == 0)
            QThread::msleep(1);
        // Asked for again as it is drawn, as a repaint does.
        queue.enqueue(key, 1, render(1));
        EXPECT_FALSE(queue.isQueued(key));
        // Edited meanwhile: drawn again once the workers are free.
        queue.enqueue(key, 2, render(2));
        EXPECT_TRUE(queue.isQueued(key));
        release = true;
        while (!versions.contains(1))
            take();
    });
    queue.waitUntilIdle();
    take();
    EXPECT_EQ(startsOfFirst, 1);
    EXPECT_EQ(versions, (QList<quint64>{1, 2}));
    EXPECT_TRUE(queue.isIdle());
}
