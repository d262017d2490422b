#include "platform/foundation/WorkInFlight.h"

#include <QPointer>
#include <QThreadPool>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace platform {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<quint64, std::function<void()>> cancels;
    quint64 nextId = 1;
    std::vector<QPointer<QThreadPool>> pools; // some go with the application object
    bool stopped = false;
};

// Never destroyed: a worker lets its ticket go whenever it ends.
Registry& registry()
{
    static Registry* const made = new Registry;
    return *made;
}

// A thread's own objects are destroyed as it calls exit() (or returns from main) and before
// any static object.
struct ProcessEnd {
    ~ProcessEnd() { WorkInFlight::stopAll(); }
};

// Waits until no pool runs anything, as work on one pool may start work on another.
void waitUntilIdle(const std::vector<QPointer<QThreadPool>>& pools)
{
    for (bool waited = true; waited;) {
        waited = false;
        for (QThreadPool* pool : pools)
            if (pool && !pool->waitForDone(0)) {
                pool->waitForDone();
                waited = true;
            }
    }
}

} // namespace

struct WorkInFlight::Ticket::Registration {
    explicit Registration(quint64 id) : id(id) {}
    ~Registration()
    {
        Registry& r = registry();
        const std::lock_guard lock(r.mutex);
        r.cancels.erase(id);
    }
    const quint64 id;
};

WorkInFlight::Ticket WorkInFlight::begin(std::function<void()> cancel)
{
    Registry& r = registry();
    std::unique_lock lock(r.mutex);
    if (r.stopped) {
        lock.unlock();
        if (cancel)
            cancel();
        return {};
    }
    Ticket ticket;
    ticket.m_registration = std::make_shared<Ticket::Registration>(r.nextId);
    r.cancels.emplace(r.nextId++, std::move(cancel));
    return ticket;
}

void WorkInFlight::waitForPoolAtEnd(QThreadPool* pool)
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    r.pools.push_back(pool);
}

void WorkInFlight::stopAll()
{
    Registry& r = registry();
    std::vector<QPointer<QThreadPool>> pools;
    {
        // Under the lock, so that no ticket goes (and no work ends) while it is cancelled.
        const std::lock_guard lock(r.mutex);
        if (std::exchange(r.stopped, true))
            return;
        for (const auto& [id, cancel] : r.cancels)
            if (cancel)
                cancel();
        pools = r.pools;
    }
    if (QThreadPool* global = QThreadPool::globalInstance())
        pools.insert(pools.begin(), global);
    waitUntilIdle(pools);
}

void WorkInFlight::stopWhenProcessEnds()
{
    thread_local const ProcessEnd end;
}

} // namespace platform
