#include "platform/vantrix/drawables/VXRegularPolygonPath.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/vantrix/model/ArchiveReader.h"

namespace {

const QString kSidesKey = QStringLiteral("VXRegularPolygonPath_numberOfSides");
const QString kInnerRadiusKey = QStringLiteral("VXRegularPolygonPath_innerRadius");
const QString kTipSpreadKey = QStringLiteral("VXRegularPolygonPath_tipSpread");
const QString kValleySpreadKey = QStringLiteral("VXRegularPolygonPath_valleySpread");
const QString kStarKey = QStringLiteral("VXRegularPolygonPath_isStar");

double fraction(double value)
{
    return std::clamp(value, 0.0, 1.0);
}

} // namespace

VXRegularPolygonPath::VXRegularPolygonPath() = default;

void VXRegularPolygonPath::setNumberOfSides(int sides)
{
    changeValueForKey(m_numberOfSides, std::clamp(sides, kMinimumSides, kMaximumSides), "numberOfSides",
                      Change::Geometry);
}

void VXRegularPolygonPath::setInnerRadius(double value)
{
    if (std::isfinite(value))
        changeValueForKey(m_innerRadius, fraction(value), "innerRadius", Change::Geometry);
}

void VXRegularPolygonPath::setTipSpread(double spread)
{
    if (std::isfinite(spread))
        changeValueForKey(m_tipSpread, fraction(spread), "tipSpread", Change::Geometry);
}

void VXRegularPolygonPath::setValleySpread(double spread)
{
    if (std::isfinite(spread))
        changeValueForKey(m_valleySpread, fraction(spread), "valleySpread", Change::Geometry);
}

void VXRegularPolygonPath::setIsStar(bool star)
{
    changeValueForKey(m_isStar, star, "isStar", Change::Geometry);
}

platform::BezierPath VXRegularPolygonPath::makePath() const
{
    const double step = 2 * M_PI / m_numberOfSides;
    const double start = angle() - M_PI / 2; // first tip up on a y-down page
    const QPointF centre = location();
    QPolygonF corners;
    // A corner at `theta` spread over `spread` of the half gap becomes two points.
    auto addCorner = [&](double theta, double r, double spread) {
        const double half = spread * step / 4;
        if (half > 0)
            corners << centre + r * QPointF(std::cos(theta - half), std::sin(theta - half));
        corners << centre + r * QPointF(std::cos(theta + half), std::sin(theta + half));
    };
    for (int i = 0; i < m_numberOfSides; ++i) {
        const double theta = start + i * step;
        addCorner(theta, radius(), m_tipSpread);
        if (m_isStar)
            addCorner(theta + step / 2, radius() * m_innerRadius, m_valleySpread);
    }
    platform::BezierPath path;
    path.appendBezierPathWithPoints(corners);
    path.closePath();
    return path;
}

void VXRegularPolygonPath::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    ParametricPath::encodeWithCoder(coder);
    coder.encodeInt(m_numberOfSides, kSidesKey);
    coder.encodeDouble(m_innerRadius, kInnerRadiusKey);
    coder.encodeDouble(m_tipSpread, kTipSpreadKey);
    coder.encodeDouble(m_valleySpread, kValleySpreadKey);
    coder.encodeBool(m_isStar, kStarKey);
}

void VXRegularPolygonPath::initWithCoder(platform::KeyedUnarchiver& coder)
{
    ParametricPath::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    m_numberOfSides = int(reader.integer(kSidesKey, m_numberOfSides, kMinimumSides, kMaximumSides));
    m_innerRadius = reader.real(kInnerRadiusKey, m_innerRadius, 0, 1);
    m_tipSpread = reader.real(kTipSpreadKey, 0, 0, 1);
    m_valleySpread = reader.real(kValleySpreadKey, 0, 0, 1);
    m_isStar = reader.boolean(kStarKey, false);
    invalidateGeometryCaches();
}
