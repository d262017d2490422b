#pragma once

// Main-thread services: delayed performs, timers and hand-offs from worker threads.
//
// Delayed performs and timers are entries of one scheduler that runs on the main thread.
// Its clock is either the real monotonic clock, driving a single QTimer set to the next
// due entry (the application), or a manual clock that only runFor() advances (tests),
// so a 100 ms delay elapses in runFor(100) without waiting.
//
// Every perform, timer firing and hand-off runs guarded: an exception is logged and never
// reaches the event loop. A target that has been destroyed is never called.

#include <QByteArray>
#include <QMetaMethod>
#include <QPointer>
#include <QVariant>
#include <functional>

namespace platform {

class RunLoop {
public:
    // --- Delayed performs (main thread only) -------------------------------------------
    // Invokes target's invokable method or slot `selector` after `milliseconds`. A method
    // taking one parameter receives `argument` converted to its type; without one the
    // argument is not passed. Raises when the target has no such method.
    static void performAfterDelay(QObject* target, const QByteArray& selector, const QVariant& argument,
                                  int milliseconds);
    // Runs `work` after `milliseconds` unless `target` has died by then. `key` plays the part
    // of a selector (with no argument) for cancelPreviousPerformRequests.
    static void performAfterDelay(QObject* target, std::function<void()> work, int milliseconds,
                                  const QByteArray& key = {});

    // Cancels the pending performs of `target` whose selector and argument are equal to these.
    // Cancelling before each perform makes a burst of requests coalesce into the last one.
    static void cancelPreviousPerformRequests(QObject* target, const QByteArray& selector,
                                              const QVariant& argument = {});
    // Cancels every pending perform of `target`. Both may be called while the application object
    // is being destroyed (by the objects it deletes), when nothing is pending any more.
    static void cancelPreviousPerformRequests(QObject* target);

    // --- Hand-off -----------------------------------------------------------------------
    // Queues `work` for the main thread from any thread. It is always queued, even when
    // called on the main thread, so the caller finishes first. A `receiver` (alive at the
    // call) that has died by the time the work comes up cancels it.
    static void runOnMainThread(std::function<void()> work, QObject* receiver = nullptr);
    // False on workers, and before the application object exists.
    static bool isMainThread();

    // --- Holding (main thread) -----------------------------------------------------------
    // While a Hold lives no delayed perform, timer or hand-off runs, even when an event loop
    // turns: a long edit lets its progress window paint part-way, and nothing may see the
    // model half-changed meanwhile. After the last hold ends, what came due runs: performs
    // and timers by due time, hand-offs in the order they were made.
    class Hold {
    public:
        Hold();
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };

    // --- Clock --------------------------------------------------------------------------
    // Milliseconds on the scheduler's clock (main thread); measure animations with it so
    // tests see the same time as the timers.
    static qint64 now();
    // Switches between the manual clock (tests) and the real one; time stays continuous.
    static void setManualClock(bool manual);
    static bool usesManualClock();

    // --- Test helpers -------------------------------------------------------------------
    // Delivers posted events, queued calls, deferred deletions and due entries until
    // nothing is left to do at the current time.
    static void runUntilIdle();
    // Advances the manual clock by `milliseconds`, running every entry at its due time.
    static void runFor(int milliseconds);
};

// A timer on the run loop's scheduler. It starts when made, fires first after `interval`
// milliseconds and stops when invalidated or destroyed (its owner keeps it, usually in a
// std::optional or std::unique_ptr). A repeating timer keeps its rhythm: missed firings
// are skipped, not run in a burst. A timer whose target dies is invalidated.
class Timer {
public:
    using Handler = std::function<void(Timer& timer)>;

    // `target` (may be null) bounds the timer's life.
    Timer(int interval, bool repeats, QObject* target, Handler handler, const QVariant& userInfo = {});
    // Invokes target's `selector`, passing the user info when the method takes one parameter.
    Timer(int interval, bool repeats, QObject* target, const QByteArray& selector, const QVariant& userInfo = {});
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void invalidate();
    bool isValid() const;
    // The run-loop time of the next firing; -1 once invalid.
    qint64 fireDate() const;
    int timeInterval() const { return m_interval; }
    bool repeats() const { return m_repeats; }
    const QVariant& userInfo() const { return m_userInfo; }

private:
    int m_interval;
    bool m_repeats;
    QVariant m_userInfo;
    quint64 m_entry = 0;
};

} // namespace platform
