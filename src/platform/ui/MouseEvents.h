#pragma once

// Which events are mouse clicks and drags, for code that re-addresses them to another
// window. The kinds keep their established numbers.

#include <QEvent>
#include <optional>

enum MouseEventType {
    kLeftMouseDown = 1,
    kLeftMouseUp = 2,
    kRightMouseDown = 3,
    kRightMouseUp = 4,
    kLeftMouseDragged = 6,
    kRightMouseDragged = 7,
    kOtherMouseDown = 25,
    kOtherMouseUp = 26,
    kOtherMouseDragged = 27,
};

// The kind of a press (double-clicks included), release or move with a button held, by the
// button involved (the first of left, right, other that is held, for a drag); none for
// moves without a button, enter and leave, and every other event.
std::optional<MouseEventType> mouseEventType(const QEvent& event);

inline bool isMouseEventType(const QEvent& event)
{
    return mouseEventType(event).has_value();
}
