#include "platform/foundation/FreedMemory.h"

#include "platform/foundation/GradualRelease.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WorkInFlight.h"

#include <QGuiApplication>
#include <QPointer>
#include <QThreadPool>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

namespace {

// How often a waiting return looks whether its moment has come: an idle check costs nothing
// next to the pages it waits to return.
constexpr int kCheckMilliseconds = 250;
// How long no window of the application may have had any input before the user counts as gone.
constexpr qint64 kQuietMilliseconds = 2000;

// The last input to any window of the application, while a return waits: a window the pointer
// moves over (its rulers following) is worked in, whether it has the keys or not.
class InputWatch : public QObject {
public:
    explicit InputWatch(QCoreApplication* application) : QObject(application), m_lastInput(RunLoop::now())
    {
        application->installEventFilter(this);
    }
    qint64 quietMilliseconds() const { return RunLoop::now() - m_lastInput; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::TabletMove:
        case QEvent::TouchUpdate:
            m_lastInput = RunLoop::now();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    qint64 m_lastInput;
};

QPointer<InputWatch> s_inputWatch;

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
    if (!isInUse || !isInUse())
        return true;
    return !QGuiApplication::focusWindow() && s_inputWatch && s_inputWatch->quietMilliseconds() >= kQuietMilliseconds;
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
    delete s_inputWatch;
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
    if (!s_inputWatch)
        s_inputWatch = new InputWatch(QCoreApplication::instance());
    RunLoop::cancelPreviousPerformRequests(application, kCheckKey);
    RunLoop::performAfterDelay(application, startWhenIdle, kCheckMilliseconds, kCheckKey);
}

} // namespace platform
