#include "platform/foundation/RunLoop.h"
#include "widgets/tracking/EventTracking.h"
#include "widgets/tracking/RectTracking.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using platform::RunLoop;

namespace {

class RecordingView : public QWidget, public RectTrackingConvenience {
public:
    void mouseDidEnterRect(const QRectF&) override { hooks += 'E'; }
    void mouseDidExitRect(const QRectF&) override { hooks += 'X'; }

    QString hooks;
    int ownPresses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++ownPresses; }
};

QMouseEvent mouse(QEvent::Type type, QPointF at, Qt::MouseButtons buttons = Qt::LeftButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    return QMouseEvent(type, at, at, button, buttons, Qt::NoModifier);
}

void send(QWidget* view, QEvent::Type type, QPointF at, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent event = mouse(type, at, buttons);
    QApplication::sendEvent(view, &event);
}

struct ManualClock {
    ManualClock() { RunLoop::setManualClock(true); }
    ~ManualClock() { RunLoop::setManualClock(false); }
};

} // namespace

TEST(EventTracking, GestureEndsWhenTheBlockSaysAndReleasesTheView)
{
    RecordingView view;
    view.resize(100, 100);
    QList<int> seen;
    const QMouseEvent press = mouse(QEvent::MouseButtonPress, {10, 10});

    // Stopping at the press reads nothing further.
    trackMouseEventUsingBlock(&view, press, [&](const QInputEvent* e, bool* stop) {
        seen << int(*trackedEventType(*e));
        *stop = true;
    });
    send(&view, QEvent::MouseMove, {20, 20});
    EXPECT_EQ(seen, QList<int>({kLeftMouseDownEvent}));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    // Moves, drags, modifier changes, then the release that ends it; other input is swallowed.
    seen.clear();
    trackMouseEventUsingBlock(&view, press, [&](const QInputEvent* e, bool* stop) {
        const auto type = trackedEventType(*e);
        seen << int(*type);
        *stop = type == kLeftMouseUpEvent;
    });
    EXPECT_EQ(QWidget::mouseGrabber(), &view);
    send(&view, QEvent::MouseMove, {20, 20}, Qt::NoButton);
    send(&view, QEvent::MouseMove, {30, 30});
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    QApplication::sendEvent(&view, &shift);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(&view, &letter);
    send(&view, QEvent::MouseButtonRelease, {30, 30}, Qt::NoButton);
    send(&view, QEvent::MouseButtonPress, {30, 30});
    EXPECT_EQ(seen, QList<int>({kLeftMouseDownEvent, kMouseMovedEvent, kLeftMouseDraggedEvent, kFlagsChangedEvent,
                                kLeftMouseUpEvent}));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(view.ownPresses, 1) << "after the gesture the view has its events back";
    EXPECT_FALSE(view.hasMouseTracking());
}

TEST(EventTracking, DeadlinesAndDequeuing)
{
    ManualClock clock;
    RecordingView view;
    QList<bool> calls; // whether each call had an event

    // A date already past: one call, no event, stopped.
    trackEventsUntilDateDequeueUsingBlock(&view, kMouseGestureEventMask, RunLoop::now() - 1, true,
                                          [&](const QInputEvent* e, bool* stop) {
                                              calls << (e != nullptr);
                                              EXPECT_TRUE(*stop);
                                          });
    EXPECT_EQ(calls, QList<bool>({false}));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    // Events until the date, then the date ends it; undequeued events also reach the view.
    calls.clear();
    trackEventsUntilDateDequeueUsingBlock(&view, eventMaskFromType(kLeftMouseDownEvent), RunLoop::now() + 50, false,
                                          [&](const QInputEvent* e, bool*) { calls << (e != nullptr); });
    send(&view, QEvent::MouseButtonPress, {5, 5});
    RunLoop::runFor(49);
    EXPECT_EQ(calls, QList<bool>({true}));
    EXPECT_EQ(view.ownPresses, 1);
    RunLoop::runFor(1);
    EXPECT_EQ(calls, QList<bool>({true, false}));
    send(&view, QEvent::MouseButtonPress, {5, 5});
    EXPECT_EQ(calls.size(), 2);

    // Dequeued events are the gesture's alone.
    trackEventsUsingBlock(&view, eventMaskFromType(kLeftMouseDownEvent), [&](const QInputEvent*, bool* stop) {
        *stop = true;
    });
    send(&view, QEvent::MouseButtonPress, {5, 5});
    EXPECT_EQ(view.ownPresses, 2);
}

TEST(EventTracking, ViewDeletedDuringTrackingIsNotTouchedAgain)
{
    ManualClock clock;
    auto view = std::make_unique<RecordingView>();
    int calls = 0;
    trackEventsUntilDateDequeueUsingBlock(view.get(), kMouseGestureEventMask, RunLoop::now() + 10, true,
                                          [&](const QInputEvent*, bool*) { ++calls; });
    view.reset();
    RunLoop::runFor(20);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    // A rectangle gesture whose view goes before the release: no hooks, no answer.
    auto* doomed = new RecordingView;
    bool completed = false;
    trackMouseEventForRect(doomed, mouse(QEvent::MouseButtonPress, {5, 5}), QRectF(0, 0, 10, 10),
                           [&](bool) { completed = true; });
    send(doomed, QEvent::MouseMove, {50, 50});
    EXPECT_EQ(doomed->hooks, QStringLiteral("EX"));
    doomed->deleteLater();
    RunLoop::runUntilIdle();
    EXPECT_FALSE(completed);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST(RectTracking, AnswersWhereTheMouseWasReleasedWithBalancedHooks)
{
    RecordingView view;
    view.resize(100, 100);
    const QRectF rect(10, 10, 20, 20);
    std::optional<bool> answer;
    auto record = [&](bool inside) { answer = inside; };

    // A press outside the rectangle answers NO at once.
    EXPECT_FALSE(trackMouseEventForRect(&view, mouse(QEvent::MouseButtonPress, {50, 50}), rect, record));
    EXPECT_EQ(answer, false);
    EXPECT_TRUE(view.hooks.isEmpty());

    // Out, in, out again, released outside.
    answer.reset();
    EXPECT_TRUE(trackMouseEventForRect(&view, mouse(QEvent::MouseButtonPress, {15, 15}), rect, record));
    send(&view, QEvent::MouseMove, {16, 16});
    send(&view, QEvent::MouseMove, {50, 50});
    send(&view, QEvent::MouseMove, {20, 20});
    send(&view, QEvent::MouseMove, {60, 20});
    EXPECT_FALSE(answer.has_value());
    send(&view, QEvent::MouseButtonRelease, {60, 20}, Qt::NoButton);
    EXPECT_EQ(answer, false);
    EXPECT_EQ(view.hooks, QStringLiteral("EXEX"));

    // Released inside.
    view.hooks.clear();
    trackMouseEventForRect(&view, mouse(QEvent::MouseButtonPress, {15, 15}), rect, record);
    send(&view, QEvent::MouseMove, {50, 50});
    send(&view, QEvent::MouseMove, {25, 25});
    send(&view, QEvent::MouseButtonRelease, {25, 25}, Qt::NoButton);
    EXPECT_EQ(answer, true);
    EXPECT_EQ(view.hooks, QStringLiteral("EXEX"));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}
