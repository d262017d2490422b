// The render gate: no event reaches the main thread while renderings may read the drawings,
// whatever the event dispatcher delivers after its wait.

#include "platform/vantrix/render/RenderGate.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Counts the events the main thread is handed while the gate is lent.
class LentGateWatch : public QObject {
public:
    int delivered = 0;
    int whileLent = 0;

protected:
    bool eventFilter(QObject*, QEvent*) override
    {
        ++delivered;
        whileLent += platform::RenderGate::instance().isLent() ? 1 : 0;
        return false;
    }
};

} // namespace

TEST(RenderGate, EventsReachTheMainThreadWithTheGateTakenBack)
{
    platform::RenderGate& gate = platform::RenderGate::instance();
    LentGateWatch watch;
    QCoreApplication::instance()->installEventFilter(&watch);
    // Timers, posted calls and a nested loop, as a window's work brings them.
    QEventLoop loop;
    QTimer ticks;
    int ticked = 0;
    ticks.callOnTimeout([&] {
        if (++ticked % 5 == 0)
            QMetaObject::invokeMethod(&loop, [&] { EXPECT_FALSE(gate.isLent()); }, Qt::QueuedConnection);
        if (ticked == 20) {
            QEventLoop nested;
            QTimer::singleShot(10, &nested, &QEventLoop::quit);
            nested.exec();
        }
        if (ticked == 40)
            loop.quit();
    });
    ticks.start(2);
    loop.exec();
    QCoreApplication::instance()->removeEventFilter(&watch);
    EXPECT_GE(watch.delivered, 40);
    EXPECT_EQ(watch.whileLent, 0);
}

TEST(RenderGate, AnEventSentWhileLentTakesTheGateBackBeforeItIsHandled)
{
    // Sent while the main thread lends the gate, with no wait of the dispatcher around it:
    // only the hook before each event can take the gate back.
    platform::RenderGate& gate = platform::RenderGate::instance();
    struct Probe : QObject {
        int handled = 0;
        int handledWhileLent = 0;
        bool event(QEvent* event) override
        {
            if (event->type() != QEvent::User)
                return QObject::event(event);
            ++handled;
            handledWhileLent += platform::RenderGate::instance().isLent() ? 1 : 0;
            return true;
        }
    } probe;
    bool lentBefore = false;
    gate.waitLending([&] {
        lentBefore = gate.isLent();
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&probe, &event);
    });
    EXPECT_TRUE(lentBefore);
    EXPECT_EQ(probe.handled, 1);
    EXPECT_EQ(probe.handledWhileLent, 0) << "the hook before each event no longer fires";
}
