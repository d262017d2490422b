#include "platform/foundation/ProblemReporter.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <QCoreApplication>
#include <QMutex>
#include <utility>
#include <vector>

namespace platform {

namespace {

struct Problem {
    QString message;
    QString detail;
};

struct Reporting {
    QMutex mutex;
    ProblemReporter::Handler handler;
    ProblemReporter::Handler quittingHandler;
    std::vector<Problem> waiting;
};

Reporting& reporting()
{
    static Reporting state;
    return state;
}

// Runs on the main thread, with no lock held: a handler may read settings or report again.
void deliverWaiting()
{
    Reporting& state = reporting();
    QMutexLocker lock(&state.mutex);
    if (!state.handler)
        return;
    const ProblemReporter::Handler handler = state.handler;
    const std::vector<Problem> problems = std::exchange(state.waiting, {});
    lock.unlock();
    for (const Problem& problem : problems)
        runGuarded("reporting a problem", [&] { handler(problem.message, problem.detail); });
}

} // namespace

void ProblemReporter::report(const QString& message, const QString& detail)
{
    {
        QMutexLocker lock(&reporting().mutex);
        reporting().waiting.push_back({message, detail});
        if (!reporting().handler)
            return;
    }
    // Later, even on the main thread: the reporter may hold locks the handler would take.
    if (QCoreApplication::instance())
        RunLoop::runOnMainThread([] { deliverWaiting(); });
}

void ProblemReporter::reportWhileQuitting(const QString& message, const QString& detail)
{
    Handler handler;
    {
        QMutexLocker lock(&reporting().mutex);
        handler = reporting().quittingHandler ? reporting().quittingHandler : reporting().handler;
    }
    ZQLog(QStringLiteral("%1 %2").arg(message, detail));
    if (handler)
        runGuarded("reporting a problem at quit", [&] { handler(message, detail); });
}

void ProblemReporter::setQuittingHandler(Handler handler)
{
    QMutexLocker lock(&reporting().mutex);
    reporting().quittingHandler = std::move(handler);
}

void ProblemReporter::setHandler(Handler handler)
{
    {
        QMutexLocker lock(&reporting().mutex);
        reporting().handler = std::move(handler);
    }
    deliverWaiting();
}

} // namespace platform
