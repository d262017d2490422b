#include "platform/foundation/FreedMemory.h"

#include "platform/foundation/WorkInFlight.h"

#include <QCoreApplication>
#include <QThreadPool>
#include <atomic>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

namespace {

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

std::atomic_bool s_waiting{false};

} // namespace

void returnFreedMemoryInBackground()
{
#if defined(__GLIBC__)
    if (s_waiting.exchange(true))
        return;
    returnThread().start([] {
        s_waiting = false;
        malloc_trim(0);
    });
#endif
}

} // namespace platform
