#pragma once

// Buffer zones: the area within a distance of a drawn object, as a new path filled green at a
// quarter opacity without a stroke, inserted directly beneath the object and selected in its
// place. The libraries that draw a kind of object teach it that kind's outline (a path's
// outline with round ends and corners, a symbol's circle); other objects cannot be buffered.

#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"

#include <functional>

class ObjectBuffering {
public:
    // The zone's outline round `object` at `distance` points.
    using OutlineMaker = std::function<platform::BezierPath(const VXDrawableObject& object, double distance)>;

    // Objects of the class and of its subclasses can be buffered, as undo steps named
    // `actionName`; a subclass's own registration overrides its superclass's.
    static void registerClass(const QMetaObject& objectClass, OutlineMaker outline, const QString& actionName);
    static bool answersBufferByDistance(const VXDrawableObject& object);

    // A new path holding the zone, in the buffer style; null when the object cannot be
    // buffered or the distance is not a positive number.
    static VXDrawablePathPtr bufferedPathWithDistance(const VXDrawableObject& object, double distance);
    // Inserts the zone beneath `object` in its object layer and makes it the only selected
    // object, as one undo step that restores the selection. False, changing nothing, when no
    // zone can be made or the object lies in no object layer.
    static bool bufferByDistance(VXDrawableObject& object, double distance);

    // Green at alpha 0.25 without a stroke; a new style on each call.
    static VXStylePtr styleForBufferedPaths();
};
