#pragma once

// Work running on other threads, stopped and waited for before the process ends. exit() (which
// Qt calls when the display goes away) destroys static objects while workers still read them:
// the class registry, caches, locks. So a long piece of work holds a ticket saying how to cancel
// it, and the pools that run work are known; stopAll() cancels every ticket held and waits
// until every pool is idle.
//
// stopWhenProcessEnds() makes stopAll() run as the calling thread ends the process, by exit()
// or by returning from main, before any static object is destroyed (a thread's own objects go
// first at exit). The application calls it on the main thread, which is where Qt ends it.

#include <QtGlobal>
#include <functional>
#include <memory>

class QThreadPool;

namespace platform {

class WorkInFlight {
public:
    // Held by the work while it runs; copies share it. The registration ends with the last copy.
    class Ticket {
    public:
        Ticket() = default;

    private:
        friend class WorkInFlight;
        struct Registration;
        std::shared_ptr<Registration> m_registration;
    };

    // `cancel` asks the work to end soon; it may be called on any thread while the ticket is
    // held, and must only raise a flag (it runs under the registry's lock). Once the process
    // is ending it is called at once.
    [[nodiscard]] static Ticket begin(std::function<void()> cancel);

    // A pool of the application's own, waited for at the end while it exists. Qt's global pool
    // is always waited for.
    static void waitForPoolAtEnd(QThreadPool* pool);

    // Cancels all work held and waits until the pools are idle. Only the first call does so;
    // work begun afterwards is cancelled as it begins.
    static void stopAll();
    static void stopWhenProcessEnds();
};

} // namespace platform
