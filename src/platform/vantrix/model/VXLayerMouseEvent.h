#pragma once

// A mouse event as a layer that takes the mouse sees it: the point in drawing coordinates,
// the clicks so far (2 on the press of a double click) and the modifier keys held.

#include "platform/ui/ModifierKeys.h"

#include <QPointF>

class QMouseEvent;
class VXDrawingView;

struct VXLayerMouseEvent {
    QPointF point;
    int clickCount = 1;
    platform::ModifierFlags modifierFlags = 0;

    bool optionKeyDown() const { return modifierFlags & platform::OptionKeyMask; }

    // The event's position converted into the view's drawing coordinates.
    static VXLayerMouseEvent fromEventInView(const QMouseEvent& event, const VXDrawingView& view);
};
