#include "platform/vantrix/render/RenderGate.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>
#include <QThread>

namespace platform {

// Qt asks its callbacks before each event on every thread, reading their table unguarded.
static_assert(QT_VERSION_MAJOR == 6, "the render gate's event hook is Qt 6's event notify callback");

std::atomic<bool> RenderGate::s_stopRequested{false};
thread_local bool RenderGate::t_inside = false;
std::atomic<RenderGate*> RenderGate::s_instance{nullptr};

// Installed while the program starts, before main and so before any thread that could
// deliver an event: the table is written once, while nothing reads it.
const bool RenderGate::s_hookInstalled =
    QInternal::registerCallback(QInternal::EventNotifyCallback, &RenderGate::beforeEvent);

struct RenderGate::LendingHandler {
    QPointer<QObject> owner;
    std::function<void()> run;
};

RenderGate& RenderGate::instance()
{
    // Never destroyed: pool threads may still ask it while the process winds down.
    static RenderGate* const gate = [] {
        auto* made = new RenderGate;
        s_instance = made;
        return made;
    }();
    return *gate;
}

RenderGate::RenderGate()
{
    QCoreApplication* application = QCoreApplication::instance();
    ZQ_ASSERT(application && QThread::currentThread() == application->thread(),
              QStringLiteral("the render gate belongs to the main thread"));
    ZQ_ASSERT(s_hookInstalled, QStringLiteral("the render gate's event hook is installed"));
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(application->thread());
    if (!dispatcher)
        return; // lent only through waitLending
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher, [this] { lend(); },
                     Qt::DirectConnection);
    QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, dispatcher, [this] { reclaim(); },
                     Qt::DirectConnection);
}

bool RenderGate::beforeEvent(void**)
{
    // A handler may edit the drawings; only the main thread reads the gate's own state. Events
    // before the gate was made (the application being made among them) find nothing lent.
    RenderGate* gate = s_instance.load(std::memory_order_acquire);
    const QCoreApplication* application = QCoreApplication::instance();
    if (gate && application && QThread::currentThread() == application->thread())
        gate->reclaim();
    return false; // delivered as usual
}

bool RenderGate::tryEnter()
{
    const std::lock_guard lock(m_mutex);
    t_inside = m_lent && !s_stopRequested;
    m_inside += t_inside ? 1 : 0;
    return t_inside;
}

void RenderGate::leave()
{
    t_inside = false;
    const std::lock_guard lock(m_mutex);
    if (--m_inside == 0)
        m_left.notify_all();
}

void RenderGate::addLendingHandler(QObject* owner, std::function<void()> handler)
{
    m_handlers.push_back({owner, std::move(handler)});
}

void RenderGate::lend()
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_lent)
            return;
        m_lent = true;
    }
    std::erase_if(m_handlers, [](const LendingHandler& handler) { return !handler.owner; });
    const std::vector<LendingHandler> handlers = m_handlers; // a handler may add others
    for (const LendingHandler& handler : handlers)
        if (handler.owner)
            runGuarded("RenderGate lending", handler.run);
}

void RenderGate::reclaim()
{
    if (!m_lent)
        return;
    std::unique_lock lock(m_mutex);
    s_stopRequested = true;
    m_left.wait(lock, [this] { return m_inside == 0; });
    s_stopRequested = false;
    m_lent = false;
}

void RenderGate::waitLending(const std::function<void()>& waiting)
{
    const bool wasLent = m_lent.load();
    lend();
    runGuarded("RenderGate waiting", waiting);
    if (!wasLent)
        reclaim();
}

} // namespace platform
