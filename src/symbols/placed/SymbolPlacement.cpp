#include "symbols/placed/SymbolPlacement.h"

#include <algorithm>
#include <cmath>

namespace {

double lengthOf(QPointF vector)
{
    return std::hypot(vector.x(), vector.y());
}

} // namespace

double SymbolPlacement::clampedScaleFactor(double scaleFactor)
{
    return std::clamp(scaleFactor, kMinimumScaleFactor, kMaximumScaleFactor);
}

QTransform SymbolPlacement::localTransform() const
{
    QTransform transform;
    transform.translate(location.x(), location.y());
    if (scaleFactor != 1.0)
        transform.scale(scaleFactor, scaleFactor);
    if (!absoluteAngle && angle != 0)
        transform.rotateRadians(angle);
    return transform;
}

std::optional<SymbolPlacement> SymbolPlacement::transformedBy(const QTransform& transform) const
{
    if (!transform.isAffine() || !std::isfinite(transform.determinant()) || transform.determinant() == 0)
        return std::nullopt;
    SymbolPlacement moved = *this;
    moved.location = transform.map(location);
    if (transform.type() <= QTransform::TxTranslate)
        return moved;
    const QPointF origin = transform.map(QPointF(0, 0));
    const QPointF xAxis = transform.map(QPointF(1, 0)) - origin;
    const QPointF yAxis = transform.map(QPointF(0, 1)) - origin;
    moved.angle = angle + std::atan2(xAxis.y(), xAxis.x());
    if (const double scale = std::min(lengthOf(xAxis), lengthOf(yAxis)); std::abs(scale - 1.0) > 1e-9)
        moved.scaleFactor = scaleFactor * scale;
    return moved;
}

QPointF SymbolPlacement::sizeHandleInGraphic(const QRectF& masterRect)
{
    return {masterRect.right() - 1, masterRect.bottom() - 1};
}

std::optional<double> SymbolPlacement::scaleFactorForSizeHandle(QPointF point, QPointF centre, const QRectF& masterRect)
{
    const double diagonal = std::hypot(masterRect.width(), masterRect.height());
    const double distance = lengthOf(point - centre);
    if (!(diagonal > 0) || !std::isfinite(distance))
        return std::nullopt;
    return 2.0 * distance / diagonal;
}
