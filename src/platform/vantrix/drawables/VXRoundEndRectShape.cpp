#include "platform/vantrix/drawables/VXRoundEndRectShape.h"

VXRoundEndRectShape::VXRoundEndRectShape() = default;

std::shared_ptr<VXRoundEndRectShape> VXRoundEndRectShape::roundEndRectInRectStyle(const QRectF& rect,
                                                                                  const VXStylePtr& style)
{
    auto shape = std::make_shared<VXRoundEndRectShape>();
    shape->setStyle(style);
    shape->setSize(rect.size());
    shape->setLocation(rect.center());
    return shape;
}

platform::BezierPath VXRoundEndRectShape::unitPath() const
{
    // Built at the drawn size so the ends stay round, then brought into the unit box.
    const double w = std::abs(size().width());
    const double h = std::abs(size().height());
    platform::BezierPath path = platform::BezierPath::bezierPathWithRoundEndedRectInRect(QRectF(-w / 2, -h / 2, w, h));
    path.transformUsingAffineTransform(QTransform::fromScale(w > 0 ? 1 / w : 1, h > 0 ? 1 / h : 1));
    return path;
}
