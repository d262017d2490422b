#include "platform/vantrix/drawables/VXRoundRectShape.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/vantrix/model/ArchiveReader.h"

namespace {

const QString kRadiusKey = QStringLiteral("VXRoundRectShape_cornerRadius");
const QString kFlagsKey = QStringLiteral("VXRoundRectShape_cornerFlags");

} // namespace

VXRoundRectShape::VXRoundRectShape() = default;

std::shared_ptr<VXRoundRectShape> VXRoundRectShape::roundRectInRectCornerRadiusStyle(const QRectF& rect, double radius,
                                                                                   const VXStylePtr& style)
{
    auto shape = std::make_shared<VXRoundRectShape>();
    shape->setStyle(style);
    shape->setCornerRadius(radius);
    shape->setSize(rect.size());
    shape->setLocation(rect.center());
    return shape;
}

void VXRoundRectShape::setCornerRadius(double radius)
{
    changeValueForKey(m_cornerRadius, std::max(0.0, radius), "cornerRadius", Change::Geometry);
}

void VXRoundRectShape::setCornerFlags(int flags)
{
    changeValueForKey(m_cornerFlags, flags & platform::kRoundedCornerAll, "cornerFlags", Change::Geometry);
}

platform::BezierPath VXRoundRectShape::unitPath() const
{
    // The corners are built at the drawn size, so the radius stays round whatever the proportions.
    const double w = std::abs(size().width());
    const double h = std::abs(size().height());
    platform::BezierPath path = platform::BezierPath::bezierPathWithRoundedRectCornerRadiusCornerOptions(QRectF(-w / 2, -h / 2, w, h),
                                                                                   m_cornerRadius, m_cornerFlags);
    path.transformUsingAffineTransform(QTransform::fromScale(w > 0 ? 1 / w : 1, h > 0 ? 1 / h : 1));
    return path;
}

void VXRoundRectShape::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawableShape::encodeWithCoder(coder);
    coder.encodeDouble(m_cornerRadius, kRadiusKey);
    coder.encodeInt(m_cornerFlags, kFlagsKey);
}

void VXRoundRectShape::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawableShape::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    m_cornerRadius = std::max(0.0, reader.real(kRadiusKey, m_cornerRadius));
    m_cornerFlags = int(reader.integer(kFlagsKey, platform::kRoundedCornerAll, 0, platform::kRoundedCornerAll));
    invalidateGeometryCaches();
}
