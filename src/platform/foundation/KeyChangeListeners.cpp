#include "platform/foundation/KeyChangeListeners.h"

#include "platform/foundation/ZQAssert.h"

#include <vector>

namespace platform {

namespace {

struct Listeners {
    struct Entry {
        quint64 id;
        KeyChangeListener listener; // empty once removed while telling
    };
    std::vector<Entry> entries;
    int telling = 0;
    quint64 nextId = 1;

    void compact()
    {
        std::erase_if(entries, [](const Entry& entry) { return !entry.listener; });
    }
};

// Per thread: no lock on the path every change of every object takes. Made by the first
// listener and never destroyed, so that a listener ended late in the program's exit (by a
// static object) still finds it; threads without listeners pay for nothing but the check.
thread_local Listeners* threadListeners = nullptr;
thread_local int threadPauses = 0;

} // namespace

quint64 KeyChangeListeners::add(KeyChangeListener listener)
{
    if (!threadListeners)
        threadListeners = new Listeners;
    Listeners& listeners = *threadListeners;
    const quint64 id = listeners.nextId++;
    listeners.entries.push_back({id, std::move(listener)});
    return id;
}

void KeyChangeListeners::remove(quint64 id)
{
    if (!threadListeners)
        return;
    Listeners& listeners = *threadListeners;
    for (Listeners::Entry& entry : listeners.entries) {
        if (entry.id == id)
            entry.listener = nullptr;
    }
    if (listeners.telling == 0)
        listeners.compact();
}

KeyChangeListeners::Pause::Pause() { ++threadPauses; }

KeyChangeListeners::Pause::~Pause() { --threadPauses; }

void KeyChangeListeners::tell(ZQObject& object, const QString& key, bool prior)
{
    if (!threadListeners || threadListeners->entries.empty() || threadPauses > 0)
        return;
    Listeners& listeners = *threadListeners;
    ++listeners.telling;
    // Listeners added meanwhile hear the next change, not this one.
    const std::size_t count = listeners.entries.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (listeners.entries[i].listener) {
            // Copied: the listener may remove itself, which empties the entry.
            const KeyChangeListener listener = listeners.entries[i].listener;
            runGuarded("key change listener", [&] { listener(object, key, prior); });
        }
    }
    if (--listeners.telling == 0)
        listeners.compact();
}

} // namespace platform
