#include "widgets/tracking/EventTracking.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <algorithm>

namespace {

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
        return true;
    default:
        return false;
    }
}

bool isInputEvent(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return true;
    default:
        return false;
    }
}

// One tracked gesture. It is no child of the view, so a block that deletes the view cannot
// delete the tracker under its own feet; it ends itself when the gesture ends.
class EventTracker : public QObject {
public:
    EventTracker(QWidget* view, TrackedEventMask mask, bool dequeue, TrackingBlock block)
        : QObject(QCoreApplication::instance()), m_view(view), m_mask(mask), m_dequeue(dequeue),
          m_block(std::move(block)), m_viewHadMouseTracking(view->hasMouseTracking())
    {
        view->installEventFilter(this);
        // Buttonless moves reach a view's filters only while it tracks the mouse.
        view->setMouseTracking(true);
        view->grabMouse();
        view->grabKeyboard();
        connect(view, &QObject::destroyed, this, [this, view] { viewGoes(view); });
    }

    void expireAt(qint64 untilDate)
    {
        if (untilDate == kDistantFuture)
            return;
        const qint64 delay = std::max<qint64>(0, untilDate - platform::RunLoop::now());
        if (delay == 0) {
            deliver(nullptr);
            return;
        }
        platform::RunLoop::performAfterDelay(this, [this] { deliver(nullptr); },
                                             int(std::min<qint64>(delay, std::numeric_limits<int>::max())));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_view || m_ended || !isInputEvent(*event))
            return false;
        const auto type = trackedEventType(*event);
        if (!type || !(m_mask & eventMaskFromType(*type)))
            return true;
        deliver(static_cast<const QInputEvent*>(event));
        return m_dequeue;
    }

private:
    void deliver(const QInputEvent* event)
    {
        if (m_ended)
            return;
        bool stop = event == nullptr;
        // A block that throws ends the gesture, so the grabs do not outlive it.
        if (!platform::runGuarded("event tracking", [&] { m_block(event, &stop); }))
            stop = true;
        if (stop || !m_view)
            end();
    }

    void end()
    {
        if (m_ended)
            return;
        m_ended = true;
        if (QWidget* view = m_view) {
            view->removeEventFilter(this);
            view->setMouseTracking(m_viewHadMouseTracking);
            if (QWidget::mouseGrabber() == view)
                view->releaseMouse();
            if (QWidget::keyboardGrabber() == view)
                view->releaseKeyboard();
        }
        deleteLater();
    }

    // The view is being destroyed: only the application-wide grabs must not point at it.
    void viewGoes(QWidget* view)
    {
        if (QWidget::mouseGrabber() == view)
            view->releaseMouse();
        if (QWidget::keyboardGrabber() == view)
            view->releaseKeyboard();
        m_view = nullptr;
        m_ended = true;
        deleteLater();
    }

    QPointer<QWidget> m_view;
    TrackedEventMask m_mask;
    bool m_dequeue;
    TrackingBlock m_block;
    bool m_viewHadMouseTracking;
    bool m_ended = false;
};

} // namespace

std::optional<TrackedEventType> trackedEventType(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<const QMouseEvent&>(event).button() == Qt::LeftButton)
            return kLeftMouseDownEvent;
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<const QMouseEvent&>(event).button() == Qt::LeftButton)
            return kLeftMouseUpEvent;
        break;
    case QEvent::MouseMove: {
        const Qt::MouseButtons buttons = static_cast<const QMouseEvent&>(event).buttons();
        if (buttons == Qt::NoButton)
            return kMouseMovedEvent;
        if (buttons & Qt::LeftButton)
            return kLeftMouseDraggedEvent;
        break;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (isModifierKey(static_cast<const QKeyEvent&>(event).key()))
            return kFlagsChangedEvent;
        break;
    default:
        break;
    }
    return std::nullopt;
}

void trackMouseEventUsingBlock(QWidget* view, const QMouseEvent& event, TrackingBlock block)
{
    if (!ZQ_EXPECT(view && block, QStringLiteral("tracking needs a view and a block")))
        return;
    bool stop = false;
    const QPointer<QWidget> guard(view);
    block(&event, &stop);
    if (!stop && guard)
        trackEventsUsingBlock(view, kMouseGestureEventMask, std::move(block));
}

void trackEventsUsingBlock(QWidget* view, TrackedEventMask mask, TrackingBlock block)
{
    trackEventsUntilDateDequeueUsingBlock(view, mask, kDistantFuture, true, std::move(block));
}

void trackEventsUntilDateDequeueUsingBlock(QWidget* view, TrackedEventMask mask, qint64 untilDate, bool dequeue,
                                           TrackingBlock block)
{
    if (!ZQ_EXPECT(view && block, QStringLiteral("tracking needs a view and a block")))
        return;
    auto* tracker = new EventTracker(view, mask, dequeue, std::move(block));
    tracker->expireAt(untilDate);
}
