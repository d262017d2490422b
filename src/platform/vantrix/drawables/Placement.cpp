#include "platform/vantrix/drawables/Placement.h"

#include <cmath>

namespace platform {

Placement Placement::transformedBy(const QTransform& transform) const
{
    // A move leaves size and angle exactly as they were: going through the axes would let them drift.
    if (transform.type() <= QTransform::TxTranslate)
        return {transform.map(location), size, angle};
    // Where the box's own axes end up under the transform's linear part.
    const QTransform linear(transform.m11(), transform.m12(), transform.m21(), transform.m22(), 0, 0);
    const QTransform axes = QTransform().rotateRadians(angle) * linear;
    const QPointF xAxis = axes.map(QPointF(size.width(), 0));
    const QPointF yAxis = axes.map(QPointF(0, size.height()));
    const double width = std::hypot(xAxis.x(), xAxis.y());
    const double newAngle = width > 0 ? std::atan2(xAxis.y(), xAxis.x()) : angle;
    const QPointF xUnit(std::cos(newAngle), std::sin(newAngle));
    // The height is the y axis measured across the new x axis; negative when the transform flips.
    const double height = xUnit.x() * yAxis.y() - xUnit.y() * yAxis.x();
    return {transform.map(location), QSizeF(width, height), newAngle};
}

} // namespace platform
