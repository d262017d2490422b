#include "platform/vantrix/drawables/VXArcPath.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/vantrix/model/ArchiveReader.h"

namespace {

const QString kStartKey = QStringLiteral("VXArcPath_startAngle");
const QString kEndKey = QStringLiteral("VXArcPath_endAngle");
const QString kTypeKey = QStringLiteral("VXArcPath_arcType");

double normalisedDegrees(double degrees)
{
    const double turned = std::fmod(degrees, 360.0);
    return turned < 0 ? turned + 360.0 : turned;
}

} // namespace

VXArcPath::VXArcPath() = default;

void VXArcPath::setStartAngle(double degrees)
{
    if (std::isfinite(degrees))
        changeValueForKey(m_startAngle, normalisedDegrees(degrees), "startAngle", Change::Geometry);
}

void VXArcPath::setEndAngle(double degrees)
{
    if (std::isfinite(degrees))
        changeValueForKey(m_endAngle, normalisedDegrees(degrees), "endAngle", Change::Geometry);
}

double VXArcPath::subtendedAngle() const
{
    const double span = normalisedDegrees(m_endAngle - m_startAngle);
    return span == 0 && m_endAngle != m_startAngle ? 360.0 : span;
}

void VXArcPath::setSubtendedAngle(double degrees)
{
    if (std::isfinite(degrees))
        setEndAngle(m_startAngle + std::clamp(degrees, 0.0, 360.0));
}

void VXArcPath::setArcType(int type)
{
    changeValueForKey(m_arcType, std::clamp(type, int(kVXArcPathOpenArc), int(kVXArcPathCircleSegment)), "arcType",
                      Change::Geometry);
}

platform::BezierPath VXArcPath::makePath() const
{
    const double turn = qRadiansToDegrees(angle());
    const double start = m_startAngle + turn;
    const double end = start + subtendedAngle();
    platform::BezierPath path;
    if (m_arcType == kVXArcPathWedge)
        path.moveToPoint(location());
    path.appendBezierPathWithArcWithCenterRadiusStartAngleEndAngleClockwise(location(), radius(), start, end, false);
    if (m_arcType != kVXArcPathOpenArc)
        path.closePath();
    return path;
}

void VXArcPath::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    ParametricPath::encodeWithCoder(coder);
    coder.encodeDouble(m_startAngle, kStartKey);
    coder.encodeDouble(m_endAngle, kEndKey);
    coder.encodeInt(m_arcType, kTypeKey);
}

void VXArcPath::initWithCoder(platform::KeyedUnarchiver& coder)
{
    ParametricPath::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    m_startAngle = normalisedDegrees(reader.real(kStartKey, 0));
    m_endAngle = normalisedDegrees(reader.real(kEndKey, 90));
    m_arcType = int(reader.integer(kTypeKey, kVXArcPathOpenArc, kVXArcPathOpenArc, kVXArcPathCircleSegment));
    invalidateGeometryCaches();
}
