#include "platform/foundation/RunLoop.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace platform {
namespace {

// Work that keeps rescheduling itself at zero delay would otherwise never let runUntilIdle return.
constexpr int kMaximumIdleRounds = 1000;

// Main thread only, like the holds themselves.
int g_holds = 0;
// Hand-offs that came up while held, or behind others that did, in the order they were made.
std::deque<std::function<void()>> g_heldHandOffs;

struct Entry {
    enum class Kind { Perform, Timer };

    quint64 id = 0;
    quint64 order = 0; // equal due times run in scheduling order
    qint64 due = 0;
    Kind kind = Kind::Perform;
    int repeatInterval = 0; // > 0 for repeating timers
    QPointer<QObject> target;
    const QObject* targetAddress = nullptr; // indexes performs, even once the target is gone
    bool hasTarget = false;
    QByteArray selector; // what cancelPreviousPerformRequests compares, with the argument
    QVariant argument;
    std::function<void()> work;

    bool targetAlive() const { return !hasTarget || target; }
};

// The next firing of a repeating timer after `due`, skipping those already missed at `now`.
qint64 nextFiring(qint64 due, int interval, qint64 now)
{
    const qint64 next = due + interval;
    return next > now ? next : next + ((now - next) / interval + 1) * interval;
}

// The pending entries of the main thread and the clock they are due by. Entries wait in due
// order; performs are indexed by target as well, because bursts of cancel-then-perform
// requests from thousands of objects must not scan every pending entry.
class Scheduler : public QObject {
public:
    static Scheduler& instance()
    {
        ZQ_ASSERT(RunLoop::isMainThread(), QStringLiteral("run-loop entries belong to the main thread"));
        if (!s_instance)
            s_instance = new Scheduler(QCoreApplication::instance());
        return *s_instance;
    }
    // Null once the application object, and the scheduler with it, is gone.
    static Scheduler* existing() { return s_instance; }

    quint64 add(Entry entry, int delay)
    {
        entry.id = m_nextId++;
        entry.order = m_nextOrder++;
        entry.due = now() + std::max(delay, 0);
        const quint64 id = entry.id;
        insert(std::move(entry));
        rearm();
        return id;
    }

    // Removes the pending performs of `target` that `matches` accepts.
    template <typename Predicate> void cancelPerforms(const QObject* target, Predicate matches)
    {
        const auto performs = m_performsByTarget.find(target);
        if (performs == m_performsByTarget.end())
            return;
        std::vector<quint64> cancelled;
        for (const quint64 id : performs->second) {
            if (matches(m_queue.at(m_keys.at(id))))
                cancelled.push_back(id);
        }
        for (const quint64 id : cancelled)
            remove(id);
        rearm();
    }

    void cancel(quint64 id)
    {
        remove(id);
        rearm();
    }

    const Entry* find(quint64 id) const
    {
        const auto key = m_keys.find(id);
        return key == m_keys.end() ? nullptr : &m_queue.at(key->second);
    }

    std::optional<qint64> nextDue() const
    {
        return m_queue.empty() ? std::nullopt : std::optional(m_queue.begin()->second.due);
    }

    // Runs the entries due now that existed when the pass began; entries they schedule wait
    // for the next pass, so events are delivered in between. Answers whether any ran.
    bool runDue()
    {
        if (g_holds > 0)
            return false;
        const qint64 time = now();
        const quint64 passLimit = m_nextOrder;
        bool ran = false;
        for (;;) {
            // Entries scheduled during the pass are due no earlier than `time` and come after
            // this pass's own entries of the same due time.
            const auto it = m_queue.begin();
            if (it == m_queue.end() || it->second.due > time || it->second.order >= passLimit)
                break;
            Entry entry = take(it);
            if (!entry.targetAlive())
                continue;
            // The work may destroy its own timer, or reschedule and cancel anything: keep a copy.
            const std::function<void()> work = entry.work;
            const char* where = entry.kind == Entry::Kind::Timer ? "timer" : "delayed perform";
            if (entry.repeatInterval > 0) {
                entry.due = nextFiring(entry.due, entry.repeatInterval, time);
                entry.order = m_nextOrder++;
                insert(std::move(entry));
            }
            ran = true;
            runGuarded(where, work);
        }
        rearm();
        return ran;
    }

    qint64 now() const { return m_manual ? m_manualNow : m_elapsed.elapsed() + m_offset; }
    bool manual() const { return m_manual; }

    void setManual(bool manual)
    {
        if (manual == m_manual)
            return;
        if (manual)
            m_manualNow = now();
        else
            m_offset = m_manualNow - m_elapsed.elapsed();
        m_manual = manual;
        rearm();
    }

    void advanceTo(qint64 time)
    {
        Q_ASSERT(m_manual);
        m_manualNow = std::max(m_manualNow, time);
    }

    // In real time one QTimer wakes the scheduler at the next due entry; the manual clock
    // moves only when a test says so. Restarting the timer only when that entry changes keeps
    // bursts of later performs cheap.
    void rearm()
    {
        const std::optional<qint64> next = nextDue();
        if (m_manual || !next || g_holds > 0) {
            m_wake.stop();
            m_armedFor.reset();
            return;
        }
        if (m_armedFor == next && m_wake.isActive())
            return;
        m_armedFor = next;
        m_wake.start(int(std::clamp<qint64>(*next - now(), 0, std::numeric_limits<int>::max())));
    }

private:
    // Equal due times run in scheduling order.
    using Key = std::pair<qint64, quint64>;

    explicit Scheduler(QObject* parent)
        : QObject(parent)
    {
        m_elapsed.start();
        m_wake.setSingleShot(true);
        m_wake.setTimerType(Qt::PreciseTimer);
        connect(&m_wake, &QTimer::timeout, this, [this] {
            m_armedFor.reset();
            runDue();
        });
    }

    void insert(Entry entry)
    {
        const Key key(entry.due, entry.order);
        m_keys.emplace(entry.id, key);
        if (entry.kind == Entry::Kind::Perform && entry.hasTarget)
            m_performsByTarget[entry.targetAddress].insert(entry.id);
        m_queue.emplace(key, std::move(entry));
    }

    Entry take(std::map<Key, Entry>::iterator it)
    {
        Entry entry = std::move(it->second);
        m_queue.erase(it);
        m_keys.erase(entry.id);
        if (const auto performs = m_performsByTarget.find(entry.targetAddress); performs != m_performsByTarget.end()) {
            performs->second.erase(entry.id);
            if (performs->second.empty())
                m_performsByTarget.erase(performs);
        }
        return entry;
    }

    void remove(quint64 id)
    {
        if (const auto key = m_keys.find(id); key != m_keys.end())
            take(m_queue.find(key->second));
    }

    static inline QPointer<Scheduler> s_instance;

    std::map<Key, Entry> m_queue;
    std::unordered_map<quint64, Key> m_keys;
    std::unordered_map<const QObject*, std::unordered_set<quint64>> m_performsByTarget;
    QTimer m_wake;
    std::optional<qint64> m_armedFor;
    QElapsedTimer m_elapsed;
    qint64 m_offset = 0;
    qint64 m_manualNow = 0;
    bool m_manual = false;
    quint64 m_nextId = 1;
    quint64 m_nextOrder = 1;
};

// Counts the events delivered on the main thread, so runUntilIdle knows when they stop.
class EventCounter : public QObject {
public:
    EventCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~EventCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent*) override
    {
        ++count;
        return false;
    }
    int count = 0;
};

Entry performEntry(QObject* target, std::function<void()> work, const QByteArray& selector, const QVariant& argument)
{
    Entry entry;
    entry.target = target;
    entry.targetAddress = target;
    entry.hasTarget = target != nullptr;
    entry.selector = selector;
    entry.argument = argument;
    entry.work = std::move(work);
    return entry;
}

} // namespace

// --- RunLoop -----------------------------------------------------------------------------

void RunLoop::performAfterDelay(QObject* target, const QByteArray& selector, const QVariant& argument, int milliseconds)
{
    ZQ_ASSERT(target && selectorMethod(target, selector, argument.isValid()).isValid(),
              QStringLiteral("%1 does not respond to %2")
                  .arg(target ? QString::fromLatin1(target->metaObject()->className()) : QStringLiteral("nil"),
                       QString::fromLatin1(selector)));
    // The scheduler calls the work only while the target lives.
    auto work = [target, selector, argument] { invokeSelector(target, selector, argument); };
    Scheduler::instance().add(performEntry(target, work, selector, argument), milliseconds);
}

void RunLoop::performAfterDelay(QObject* target, std::function<void()> work, int milliseconds, const QByteArray& key)
{
    Scheduler::instance().add(performEntry(target, std::move(work), key, {}), milliseconds);
}

// Objects the application object deletes as it goes cancel their performs too: without a
// scheduler there is nothing left to cancel.
void RunLoop::cancelPreviousPerformRequests(QObject* target, const QByteArray& selector, const QVariant& argument)
{
    if (Scheduler* scheduler = Scheduler::existing())
        scheduler->cancelPerforms(target, [&](const Entry& e) { return e.selector == selector && e.argument == argument; });
}

void RunLoop::cancelPreviousPerformRequests(QObject* target)
{
    if (Scheduler* scheduler = Scheduler::existing())
        scheduler->cancelPerforms(target, [](const Entry&) { return true; });
}

void RunLoop::runOnMainThread(std::function<void()> work, QObject* receiver)
{
    QCoreApplication* app = QCoreApplication::instance();
    ZQ_ASSERT(app, QStringLiteral("no application object to hand work to"));
    QMetaObject::invokeMethod(
        app,
        [work = std::move(work), receiver = QPointer(receiver), hasReceiver = receiver != nullptr] {
            auto run = [work, receiver, hasReceiver] {
                if (!hasReceiver || receiver)
                    runGuarded("main-thread hand-off", work);
            };
            if (g_holds > 0 || !g_heldHandOffs.empty())
                g_heldHandOffs.push_back(std::move(run));
            else
                run();
        },
        Qt::QueuedConnection);
}

namespace {

void runHeldHandOffs()
{
    while (g_holds == 0 && !g_heldHandOffs.empty()) {
        const std::function<void()> run = std::move(g_heldHandOffs.front());
        g_heldHandOffs.pop_front();
        run();
    }
}

} // namespace

RunLoop::Hold::Hold()
{
    ZQ_ASSERT(isMainThread(), QStringLiteral("the run loop is held on the main thread"));
    if (g_holds++ == 0)
        if (Scheduler* scheduler = Scheduler::existing())
            scheduler->rearm();
}

RunLoop::Hold::~Hold()
{
    if (--g_holds > 0)
        return;
    if (Scheduler* scheduler = Scheduler::existing())
        scheduler->rearm();
    // Hand-offs still queued behind the held ones join them, so all run in their order.
    if (!g_heldHandOffs.empty())
        QMetaObject::invokeMethod(QCoreApplication::instance(), &runHeldHandOffs, Qt::QueuedConnection);
}

bool RunLoop::isMainThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

qint64 RunLoop::now()
{
    return Scheduler::instance().now();
}

void RunLoop::setManualClock(bool manual)
{
    Scheduler::instance().setManual(manual);
}

bool RunLoop::usesManualClock()
{
    return Scheduler::instance().manual();
}

void RunLoop::runUntilIdle()
{
    Scheduler& scheduler = Scheduler::instance();
    EventCounter delivered;
    for (int round = 0; round < kMaximumIdleRounds; ++round) {
        delivered.count = 0;
        QCoreApplication::sendPostedEvents();
        // Deletions posted outside any event loop wait for an explicit request.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        const bool ran = scheduler.runDue();
        if (!ran && delivered.count == 0)
            return;
    }
    ZQLogObjCMethod(QStringLiteral("still busy after %1 rounds; giving up").arg(kMaximumIdleRounds));
}

void RunLoop::runFor(int milliseconds)
{
    Scheduler& scheduler = Scheduler::instance();
    ZQ_ASSERT(scheduler.manual(), QStringLiteral("runFor needs the manual clock (RunLoop::setManualClock(true))"));
    const qint64 end = scheduler.now() + std::max(milliseconds, 0);
    runUntilIdle();
    for (std::optional<qint64> next = scheduler.nextDue(); next && *next <= end; next = scheduler.nextDue()) {
        if (*next <= scheduler.now())
            break; // runUntilIdle gave up on endless work
        scheduler.advanceTo(*next);
        runUntilIdle();
    }
    scheduler.advanceTo(end);
    runUntilIdle();
}

// --- Timer -------------------------------------------------------------------------------

Timer::Timer(int interval, bool repeats, QObject* target, Handler handler, const QVariant& userInfo)
    : m_interval(repeats ? std::max(interval, 1) : std::max(interval, 0))
    , m_repeats(repeats)
    , m_userInfo(userInfo)
{
    Entry entry;
    entry.kind = Entry::Kind::Timer;
    entry.target = target;
    entry.hasTarget = target != nullptr;
    entry.repeatInterval = repeats ? m_interval : 0;
    // The timer removes its entry when it dies, so the entry never outlives `this`.
    entry.work = [this, handler = std::move(handler)] { handler(*this); };
    m_entry = Scheduler::instance().add(std::move(entry), m_interval);
}

Timer::Timer(int interval, bool repeats, QObject* target, const QByteArray& selector, const QVariant& userInfo)
    : Timer(interval, repeats, target,
            [target, selector](Timer& timer) { invokeSelector(target, selector, timer.userInfo()); }, userInfo)
{
    ZQ_ASSERT(target && selectorMethod(target, selector, userInfo.isValid()).isValid(),
              QStringLiteral("timer target does not respond to %1").arg(QString::fromLatin1(selector)));
}

Timer::~Timer()
{
    invalidate();
}

void Timer::invalidate()
{
    if (Scheduler* scheduler = Scheduler::existing(); scheduler && m_entry)
        scheduler->cancel(m_entry);
    m_entry = 0;
}

bool Timer::isValid() const
{
    const Scheduler* scheduler = Scheduler::existing();
    const Entry* entry = scheduler && m_entry ? scheduler->find(m_entry) : nullptr;
    return entry && entry->targetAlive();
}

qint64 Timer::fireDate() const
{
    const Scheduler* scheduler = Scheduler::existing();
    const Entry* entry = scheduler && m_entry ? scheduler->find(m_entry) : nullptr;
    return entry && entry->targetAlive() ? entry->due : -1;
}

} // namespace platform
