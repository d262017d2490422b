#include "platform/vantrix/model/VXIsometricGridLayer.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/vantrix/model/ArchiveReader.h"

#include <cmath>

namespace {

const double kSin60 = std::sqrt(3.0) / 2;
const QString kShowsVerticalsKey = QStringLiteral("VXIsometricGridLayer_showsVerticals");

} // namespace

VXIsometricGridLayer::VXIsometricGridLayer() = default;

void VXIsometricGridLayer::setShowsVerticals(bool shows)
{
    changeValueForKey(m_showsVerticals, shows, "showsVerticals");
}

QPointF VXIsometricGridLayer::nearestGridIntersectionToPoint(QPointF point) const
{
    // Corners are origin + i * (w, d/2) + j * (0, d), with w the spacing of the verticals.
    const double d = divisionDistance();
    const double w = d * kSin60;
    const QPointF origin = gridArea().topLeft();
    const QPointF offset = point - origin;
    const double i0 = std::floor(offset.x() / w);
    QPointF best = point;
    double bestDistance = HUGE_VAL;
    for (double i = i0; i <= i0 + 1; ++i) {
        const double j = std::round((offset.y() - i * d / 2) / d);
        const QPointF corner = origin + QPointF(i * w, i * d / 2 + j * d);
        const double distance = QLineF(corner, point).length();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = corner;
        }
    }
    return best;
}

void VXIsometricGridLayer::drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView*, bool) const
{
    const double d = divisionDistance();
    const QPointF origin = gridArea().topLeft();
    QList<LineFamily> families{{origin, {0, d}, {kSin60, 0.5}}, {origin, {0, d}, {-kSin60, 0.5}}};
    if (m_showsVerticals)
        families.prepend({origin, {d * kSin60, 0}, {0, 1}});
    drawLineFamilies(families, rect);
    drawBorderInContext(rect);
}

void VXIsometricGridLayer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXGridLayer::encodeWithCoder(coder);
    coder.encodeBool(m_showsVerticals, kShowsVerticalsKey);
}

void VXIsometricGridLayer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXGridLayer::initWithCoder(coder);
    m_showsVerticals = platform::ArchiveReader(coder).boolean(kShowsVerticalsKey, true);
}
