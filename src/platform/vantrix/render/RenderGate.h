#pragma once

// Who may read the drawings: the main thread, which edits them, or the renderers working for
// it in the background. The main thread holds the gate while it runs and lends it only while
// it waits for events, so a rendering never meets an edit half done; a lent gate can also be
// opened explicitly while the main thread waits for renderings (waitLending).
//
// The gate is lent at the event dispatcher's aboutToBlock and taken back at its awake and
// before any event is delivered on the main thread: dispatchers deliver timers, input and
// (some) posted events after their wait without a new awake. The hook before each event is
// installed as the program starts, before any thread does.
//
// A background rendering enters with tryEnter, which fails at once while the main thread
// holds the gate, and polls stopRequested between objects (see RenderSteps): the main thread,
// taking the gate back, asks every rendering inside to stop and waits until they have left.
// Before lending, the main thread fills the caches the renderings would fill
// (DrawingRenderer::prepareToDrawConcurrently).

#include <QObject>
#include <atomic>
#include <functional>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace platform {

class RenderGate {
public:
    // The gate of the main thread's drawings; made (and held) on first use, on the main thread.
    static RenderGate& instance();

    // --- Background renderings -------------------------------------------------------------
    // False while the main thread holds the gate (or is taking it back): come back on the next loan.
    bool tryEnter();
    void leave();
    // Polled between objects by drawing loops; true only on a thread inside the gate while the
    // main thread waits to take it back (other renderings, such as exports, run to the end).
    static bool stopRequested() { return t_inside && isBeingReclaimed(); }
    // Whether the main thread is taking the gate back now; any thread may ask.
    static bool isBeingReclaimed() { return s_stopRequested.load(std::memory_order_relaxed); }

    // --- The main thread ---------------------------------------------------------------------
    // Called each time the gate is lent, after it opened: start the renderings that wait.
    void addLendingHandler(QObject* owner, std::function<void()> handler);
    // Lends the gate while `waiting` runs (it must not touch the drawings).
    void waitLending(const std::function<void()>& waiting);
    // Takes the gate back now when it is lent: no rendering is inside once this returns, and
    // none enters until the main thread waits for events again.
    void takeBack() { reclaim(); }
    // Whether the main thread waits for events now, its drawings lent; any thread may ask.
    bool isLent() const { return m_lent; }

private:
    RenderGate();
    void lend();
    void reclaim();
    // Called by Qt before each event is delivered, on any thread.
    static bool beforeEvent(void** data);

    struct LendingHandler;
    // Standard locks, which ThreadSanitizer follows.
    std::mutex m_mutex;
    std::condition_variable m_left;
    int m_inside = 0; // renderings inside
    std::atomic<bool> m_lent{false};
    std::vector<LendingHandler> m_handlers;
    static std::atomic<bool> s_stopRequested;
    static thread_local bool t_inside;
    static std::atomic<RenderGate*> s_instance; // once made
    static const bool s_hookInstalled;
};

} // namespace platform
