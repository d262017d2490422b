#include "platform/foundation/FreedMemory.h"

#include "platform/foundation/GradualRelease.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WorkInFlight.h"

#include <QGuiApplication>
#include <QThreadPool>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

namespace {

// How often a waiting return looks whether its moment has come: an idle check costs nothing
// next to the pages it waits to return.
constexpr int kCheckMilliseconds = 250;

// One thread, so returns never run side by side; owned by the application and known to the
// process's end, which both wait for a return under way rather than tear down what it runs on.
QThreadPool& returnThread()
{
    static QThreadPool* const pool = [] {
        auto* thread = new QThreadPool(QCoreApplication::instance());
        thread->setObjectName(QStringLiteral("FreedMemory"));
        thread->setMaxThreadCount(1);
        WorkInFlight::waitForPoolAtEnd(thread);
        return thread;
    }();
    return *pool;
}

const QByteArray kCheckKey = QByteArrayLiteral("returnFreedMemoryWhenIdle");

std::function<bool()>& isInUseOfWaitingReturn()
{
    static std::function<bool()> isInUse;
    return isInUse;
}

bool isIdle()
{
    if (GradualRelease::pendingCount() > 0)
        return false;
    const std::function<bool()>& isInUse = isInUseOfWaitingReturn();
    return !QGuiApplication::focusWindow() || !isInUse || !isInUse();
}

// Looks again and again, on the main thread, until the moment has come.
void startWhenIdle()
{
    QObject* application = QCoreApplication::instance();
    if (!isIdle()) {
        RunLoop::performAfterDelay(application, startWhenIdle, kCheckMilliseconds, kCheckKey);
        return;
    }
    isInUseOfWaitingReturn() = nullptr;
#if defined(__GLIBC__)
    returnThread().start([] { malloc_trim(0); });
#endif
}

} // namespace

void returnFreedMemoryWhenIdle(std::function<bool()> isInUse)
{
    QObject* application = QCoreApplication::instance();
    if (!application)
        return;
    isInUseOfWaitingReturn() = std::move(isInUse);
    RunLoop::cancelPreviousPerformRequests(application, kCheckKey);
    RunLoop::performAfterDelay(application, startWhenIdle, kCheckMilliseconds, kCheckKey);
}

} // namespace platform
