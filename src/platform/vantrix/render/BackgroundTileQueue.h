#pragma once

// Tiles rendered on threads of Qt's global pool while the main thread lends them its drawings
// (see RenderGate), handed back on the main thread. A job is a key, a version and a function
// that draws the tile; the owner compares versions, so a tile edited while it rendered is drawn
// again rather than shown stale. Jobs that the main thread interrupts, waking, wait for the
// next loan unless the owner no longer asks for them, and are then called again (a job may
// keep what it drew meanwhile, see RenderSteps); no worker ever blocks on the gate.
//
// tilesFinished is posted when the workers run out of jobs, and every so often during a long
// rendering, so the owner shows the new tiles without being woken for each.

#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <functional>
#include <memory>

namespace platform {

class BackgroundTileQueue : public QObject {
    Q_OBJECT

public:
    using Render = std::function<QImage()>;
    struct Finished {
        QPoint key;
        quint64 version = 0;
        QImage image;
    };

    explicit BackgroundTileQueue(QObject* parent = nullptr);
    // Takes the gate back, so no job is drawing once it returns, and drops the jobs waiting:
    // whatever they read may go with the owner.
    ~BackgroundTileQueue() override;

    // Main thread only. Replaces a waiting job of the same key and another version (one of the
    // same version stays, with what it drew); a job drawing this key and version now is asked
    // for again instead of being queued twice.
    void enqueue(QPoint key, quint64 version, Render render);
    // Drops every waiting job; a job drawing now is not queued again when interrupted, unless
    // asked for again. Finished tiles stay to be taken: the owner's versions judge them.
    void clear();
    // The same for the jobs of the keys in a range (columns x rows) only, or of all keys but these.
    void remove(const QRect& keys);
    void keepOnly(const QList<QPoint>& keys);
    bool isQueued(QPoint key) const;
    // Nothing waiting, nothing rendering, nothing finished that was not taken.
    bool isIdle() const;
    QList<Finished> takeFinished();
    // Lends the gate until every job is done (for tests, benchmarks and synchronous callers).
    void waitUntilIdle();

Q_SIGNALS:
    void tilesFinished();

private:
    struct State;
    static void work(const std::shared_ptr<State>& state);
    void removeIf(const std::function<bool(QPoint key)>& gone);
    void startWorkers();

    std::shared_ptr<State> m_state;
};

} // namespace platform
