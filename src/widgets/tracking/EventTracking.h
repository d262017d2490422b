#pragma once

// Following a mouse gesture in one function instead of spreading it over a view's mouse
// handlers. While a gesture is tracked the view grabs the mouse (and the keyboard, for
// modifier changes); each event of the mask goes to the block, which sets *stop to end the
// gesture. Other input aimed at the view is swallowed meanwhile. Dequeued events are
// consumed; the others also reach the view's own handlers. Tracking returns at once: the
// gesture runs on as events arrive.
//
// A view deleted during tracking ends the gesture silently: neither the view nor the block
// is touched again.

#include <QtGlobal>
#include <functional>
#include <limits>
#include <optional>

class QEvent;
class QInputEvent;
class QMouseEvent;
class QWidget;

// Event kinds a gesture can follow, numbered as the masks below count them.
enum TrackedEventType {
    kLeftMouseDownEvent = 1,
    kLeftMouseUpEvent = 2,
    kMouseMovedEvent = 5,
    kLeftMouseDraggedEvent = 6,
    kFlagsChangedEvent = 12,
};

using TrackedEventMask = quint32;

constexpr TrackedEventMask eventMaskFromType(TrackedEventType type) { return TrackedEventMask(1) << type; }

// Left down and up, moved, left dragged and modifier changes (4198).
constexpr TrackedEventMask kMouseGestureEventMask =
    eventMaskFromType(kLeftMouseDownEvent) | eventMaskFromType(kLeftMouseUpEvent) |
    eventMaskFromType(kMouseMovedEvent) | eventMaskFromType(kLeftMouseDraggedEvent) |
    eventMaskFromType(kFlagsChangedEvent);

// No deadline.
constexpr qint64 kDistantFuture = std::numeric_limits<qint64>::max();

// The kind of a Qt event, or none for events no mask can select.
std::optional<TrackedEventType> trackedEventType(const QEvent& event);

// The event is null when the deadline passed; *stop is then already set.
using TrackingBlock = std::function<void(const QInputEvent* event, bool* stop)>;

// Calls the block with the press at once and, unless it stopped, follows the gesture with
// kMouseGestureEventMask.
void trackMouseEventUsingBlock(QWidget* view, const QMouseEvent& event, TrackingBlock block);

// Follows events of `mask` with no deadline, consuming them.
void trackEventsUsingBlock(QWidget* view, TrackedEventMask mask, TrackingBlock block);

// Follows events of `mask` until `untilDate` on the run loop's clock (RunLoop::now()); a
// date already past ends the gesture with one call without an event.
void trackEventsUntilDateDequeueUsingBlock(QWidget* view, TrackedEventMask mask, qint64 untilDate, bool dequeue,
                                           TrackingBlock block);
