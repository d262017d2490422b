#include "terrain/layer/BackgroundContours.h"

#include "platform/foundation/WorkInFlight.h"
#include "platform/foundation/ZQLog.h"

#include <QtConcurrent/QtConcurrentRun>

BackgroundContours::BackgroundContours(Make make, Done done) : m_make(std::move(make)), m_done(std::move(done)) {}

BackgroundContours::~BackgroundContours()
{
    if (m_cancel)
        m_cancel->store(true);
}

void BackgroundContours::request()
{
    if (isRunning())
        return;
    auto [generation, work] = m_make();
    m_generation = generation;
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_watcher = std::make_unique<QFutureWatcher<ContourResult>>();
    connect(m_watcher.get(), &QFutureWatcherBase::finished, this, &BackgroundContours::deliver);
    // Failures stay on the worker: a result that says nothing was drawn crosses instead.
    platform::WorkInFlight::Ticket ticket = platform::WorkInFlight::begin([cancel = m_cancel] { cancel->store(true); });
    m_watcher->setFuture(QtConcurrent::run(&ContourComputation::threadPool(), [work = std::move(work), cancel = m_cancel,
                                                                              ticket = std::move(ticket)] {
        try {
            return ContourComputation::compute(work, cancel.get());
        } catch (const std::exception& failure) {
            ZQLog(QStringLiteral("contours not computed: %1").arg(QString::fromLocal8Bit(failure.what())));
            ContourResult nothing;
            nothing.exhausted = true;
            return nothing;
        }
    }));
}

void BackgroundContours::finish()
{
    while (m_watcher) {
        m_watcher->disconnect(this);
        m_watcher->waitForFinished();
        deliver();
    }
}

void BackgroundContours::deliver()
{
    if (!m_watcher)
        return;
    // Released later: this may run inside the watcher's own signal.
    QFutureWatcher<ContourResult>* watcher = m_watcher.release();
    watcher->deleteLater();
    const ContourResult result = watcher->result();
    m_cancel.reset();
    m_done(m_generation, result);
}
