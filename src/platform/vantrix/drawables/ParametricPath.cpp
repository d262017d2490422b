#include "platform/vantrix/drawables/ParametricPath.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/vantrix/model/ArchiveReader.h"

#include <QMetaProperty>

namespace platform {

namespace {

const QString kLocationKey = QStringLiteral("ParametricPath_location");
const QString kAngleKey = QStringLiteral("ParametricPath_angle");
const QString kRadiusKey = QStringLiteral("ParametricPath_radius");

constexpr double kMaximumRadius = 1e7;

} // namespace

ParametricPath::ParametricPath() = default;

const platform::BezierPath& ParametricPath::path() const
{
    if (!m_path)
        m_path = makePath();
    return *m_path;
}

void ParametricPath::setLocation(QPointF location)
{
    if (std::isfinite(location.x()) && std::isfinite(location.y()))
        changeValueForKey(m_location, location, "location", Change::Geometry);
}

void ParametricPath::setAngle(double radians)
{
    if (std::isfinite(radians))
        changeValueForKey(m_angle, std::remainder(radians, 2 * M_PI), "angle", Change::Geometry);
}

void ParametricPath::setRadius(double radius)
{
    if (std::isfinite(radius))
        changeValueForKey(m_radius, std::clamp(radius, 0.0, kMaximumRadius), "radius", Change::Geometry);
}

void ParametricPath::resizeWidthByHeightBy(double xFactor, double yFactor)
{
    setRadius(m_radius * std::sqrt(std::abs(xFactor * yFactor)));
}

void ParametricPath::applyTransform(const QTransform& transform)
{
    setLocation(transform.map(m_location));
    setAngle(m_angle + std::atan2(transform.m12(), transform.m11()));
    setRadius(m_radius * std::sqrt(std::abs(transform.determinant())));
}

QStringList ParametricPath::keyPathsForValuesAffectingValueForKey(const QString& key) const
{
    static const QStringList derivedFromPath{QStringLiteral("path"), QStringLiteral("size"), QStringLiteral("length")};
    if (!derivedFromPath.contains(key)) // the location is a parameter here, not derived from the path
        return VXDrawableObject::keyPathsForValuesAffectingValueForKey(key);
    QStringList parameters;
    const QMetaObject* meta = metaObject();
    for (int i = staticMetaObject.propertyOffset(); i < meta->propertyCount(); ++i)
        if (meta->property(i).isStored())
            parameters.append(QString::fromLatin1(meta->property(i).name()));
    return parameters;
}

void ParametricPath::invalidateGeometryCaches()
{
    m_path.reset();
    VXDrawablePath::invalidateGeometryCaches();
}

void ParametricPath::encodeWithCoder(KeyedArchiver& coder) const
{
    VXDrawablePath::encodeWithCoder(coder);
    coder.encodePoint(m_location, kLocationKey);
    coder.encodeDouble(m_angle, kAngleKey);
    coder.encodeDouble(m_radius, kRadiusKey);
}

void ParametricPath::initWithCoder(KeyedUnarchiver& coder)
{
    VXDrawablePath::initWithCoder(coder);
    const ArchiveReader reader(coder);
    m_location = reader.point(kLocationKey);
    m_angle = std::remainder(reader.real(kAngleKey, 0), 2 * M_PI);
    m_radius = reader.real(kRadiusKey, m_radius, 0, kMaximumRadius);
    invalidateGeometryCaches();
}

} // namespace platform
