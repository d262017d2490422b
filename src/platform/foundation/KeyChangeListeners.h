#pragma once

// Listeners told of every key change that any object announces on their thread, whoever
// observes the object. One listener follows a selection of a million objects for the cost of
// one: observing each object at each key path would cost memory and time per object.
//
// A listener belongs to the thread that added it and hears only the changes announced there;
// objects built on other threads (an import's) are not told to it. It may remove itself or
// others while it is told.

#include "platform/foundation/KeyValueObserving.h"

#include <QString>
#include <functional>

namespace platform {

// `prior` is true for the announcement before the change, false for the one after.
using KeyChangeListener = std::function<void(ZQObject& object, const QString& key, bool prior)>;

class KeyChangeListeners {
public:
    // Answers an id for remove().
    static quint64 add(KeyChangeListener listener);
    static void remove(quint64 id);
    // Tells this thread's listeners, in the order they were added, unless a Pause lives.
    static void tell(ZQObject& object, const QString& key, bool prior);

    // While it lives, this thread's listeners are told nothing. Only for changes no listener
    // can follow: those of objects just made and in no document yet (a million pasted ones,
    // stepped clear of their originals, would each be told to every listener).
    class Pause {
    public:
        Pause();
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;
    };
};

} // namespace platform
