#include "inspectors/buffer/BufferableObjects.h"

#include "app/commands/ObjectBuffering.h"
#include "symbols/placed/VXQSymbol.h"

void registerBufferableObjects()
{
    ObjectBuffering::registerClass(
        VXDrawablePath::staticMetaObject,
        [](const VXDrawableObject& object, double distance) {
            return static_cast<const VXDrawablePath&>(object).path().bufferedPathWithBufferDistance(distance);
        },
        QObject::tr("Buffer Path"));
    ObjectBuffering::registerClass(
        VXQSymbol::staticMetaObject,
        [](const VXDrawableObject& object, double distance) {
            platform::BezierPath circle;
            circle.appendBezierPathWithArcWithCenterRadiusStartAngleEndAngleClockwise(object.location(), distance, 0,
                                                                                      360, false);
            circle.closePath();
            return circle;
        },
        QObject::tr("Buffer Symbol"));
}
