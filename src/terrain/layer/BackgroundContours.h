#pragma once

// Computes a terrain layer's contours on Qt's thread pool, one computation at a time, so that
// drawing never waits for them. Each computation asks `make` (on the main thread, as it
// starts) for its request and the generation of the heights it describes; `done` receives
// the result with that generation on the main thread. A request while one runs is left to
// `done`, which knows whether the heights moved on meanwhile. Destroying it cancels the
// running computation, which then ends at its next grid row.

#include "terrain/layer/ContourComputation.h"

#include <QFutureWatcher>
#include <QObject>
#include <functional>

class BackgroundContours : public QObject {
    Q_OBJECT

public:
    using Make = std::function<std::pair<quint64, ContourRequest>()>;
    using Done = std::function<void(quint64 generation, const ContourResult& result)>;

    BackgroundContours(Make make, Done done);
    ~BackgroundContours() override;

    void request();
    bool isRunning() const { return m_watcher != nullptr; }
    // Waits for the running computation (and any `done` starts after it) and delivers it now.
    void finish();

private:
    void deliver();

    Make m_make;
    Done m_done;
    quint64 m_generation = 0;
    std::unique_ptr<QFutureWatcher<ContourResult>> m_watcher;
    std::shared_ptr<std::atomic<bool>> m_cancel;
};
