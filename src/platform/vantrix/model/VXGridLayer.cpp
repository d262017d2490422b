#include "platform/vantrix/model/VXGridLayer.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/render/DeviceLayer.h"

#include <QPainter>
#include <cmath>

namespace {

const QString kSpanKey = QStringLiteral("VXGridLayer_spanDistance");
const QString kDivisionsKey = QStringLiteral("VXGridLayer_divisions");
const QString kMajorsKey = QStringLiteral("VXGridLayer_majors");
const QString kMultiplierKey = QStringLiteral("VXGridLayer_spanMultiplier");
const QString kRulerStepsKey = QStringLiteral("VXGridLayer_rulerSteps");
const QString kSpanColourKey = QStringLiteral("VXGridLayer_spanColour");
const QString kDivisionColourKey = QStringLiteral("VXGridLayer_divisionColour");
const QString kMajorColourKey = QStringLiteral("VXGridLayer_majorColour");
const QString kDivisionsHiddenKey = QStringLiteral("VXGridLayer_divisionsHidden");

// Line widths in points, and the most device pixels each takes on screen.
constexpr double kDivisionLineWidth = 0.1;
constexpr double kSpanLineWidth = 0.3;
constexpr double kMajorLineWidth = 0.6;
constexpr double kMaximumDivisionPixels = 1.0;
constexpr double kMaximumSpanPixels = 2.0;
constexpr double kMaximumMajorPixels = 3.0;
constexpr double kMinimumLineSpacing = 2.0; // device pixels
constexpr int kMaximumCount = 1000;
constexpr double kMaximumLinesPerFamily = 100000;
constexpr double kMinimumSpan = 0.1;
constexpr double kMaximumSpan = 1e6;
const QColor kDefaultTheme(64, 128, 230);

// Zoomed in on screen, the grid stays a guide rather than bars tens of pixels wide; exports
// and prints draw the grid's own widths.
QPen gridPen(const QColor& colour, double width, double maximumPixels, const platform::GraphicsContext& context)
{
    if (context.isDrawingToScreen()) {
        const double pixelsPerUnit = platform::DeviceLayer::devicePixelsPerUnit(*context.painter());
        if (std::isfinite(pixelsPerUnit) && pixelsPerUnit > 0)
            width = std::min(width, maximumPixels / pixelsPerUnit);
    }
    return QPen(colour, width);
}

double cross(QPointF a, QPointF b)
{
    return a.x() * b.y() - a.y() * b.x();
}

QColor withAlpha(const QColor& colour, double alpha)
{
    QColor c = colour.toRgb();
    c.setAlphaF(float(alpha));
    return c;
}

} // namespace

VXGridLayer::VXGridLayer() : m_spanDistance(ZQUnitLength::centimeters()->conversionFactorForPoints())
{
    setShouldDrawToPrinter(false);
    setGridThemeColour(kDefaultTheme);
}

VXGridLayer::~VXGridLayer() = default;

void VXGridLayer::setSpanDistance(double points)
{
    if (std::isfinite(points))
        changeValueForKey(m_spanDistance, std::clamp(points, kMinimumSpan, kMaximumSpan), "spanDistance");
}

void VXGridLayer::setDivisions(int divisions)
{
    changeValueForKey(m_divisions, std::clamp(divisions, 1, kMaximumCount), "divisions");
}

void VXGridLayer::setMajors(int majors)
{
    changeValueForKey(m_majors, std::clamp(majors, 1, kMaximumCount), "majors");
}

double VXGridLayer::spanDistanceForMultiplier(double units) const
{
    return std::clamp(m_spanDistance / m_spanMultiplier * units, kMinimumSpan, kMaximumSpan);
}

void VXGridLayer::setSpanMultiplier(double units)
{
    if (!std::isfinite(units) || units <= 0)
        return;
    const double distance = spanDistanceForMultiplier(units);
    // The inverse sets the multiplier back, which also takes the distance back.
    if (changeValueForKey(m_spanMultiplier, units, "spanMultiplier"))
        announceChangeForKey(QStringLiteral("spanDistance"), [&] { m_spanDistance = distance; });
}

void VXGridLayer::assignSpanMultiplierDivisionsMajors(double spanMultiplier, int divisions, int majors)
{
    if (std::isfinite(spanMultiplier) && spanMultiplier > 0) {
        m_spanDistance = spanDistanceForMultiplier(spanMultiplier);
        m_spanMultiplier = spanMultiplier;
    }
    m_divisions = std::clamp(divisions, 1, kMaximumCount);
    m_majors = std::clamp(majors, 1, kMaximumCount);
}

void VXGridLayer::setRulerSteps(int steps)
{
    changeValueForKey(m_rulerSteps, std::clamp(steps, 1, kMaximumCount), "rulerSteps");
}

void VXGridLayer::setSpanDivisionsMajorsRulerSteps(double spanDistance, int divisions, int majors, int rulerSteps)
{
    setSpanDistance(spanDistance);
    setDivisions(divisions);
    setMajors(majors);
    setRulerSteps(rulerSteps);
}

void VXGridLayer::setDistanceForUnitSpanDrawingUnitsSpanDivisionsMajorsRulerSteps(double unitSpan,
                                                                                  const ZQUnitLengthPtr& units,
                                                                                  double span, int divisions,
                                                                                  int majors, int rulerSteps)
{
    if (!std::isfinite(unitSpan) || unitSpan <= 0 || !std::isfinite(span) || span <= 0)
        return;
    if (VXDrawing* owner = drawing())
        owner->setUnitsUnitToPointsConversionFactor(units, unitSpan);
    setSpanMultiplier(span);
    setSpanDivisionsMajorsRulerSteps(unitSpan * span, divisions, majors, rulerSteps);
}

void VXGridLayer::tweakDrawingMargins()
{
    VXDrawing* owner = drawing();
    if (!owner)
        return;
    const QRectF interior = owner->interior();
    const double spareWidth = std::fmod(interior.width(), m_spanDistance);
    const double spareHeight = std::fmod(interior.height(), m_spanDistance);
    owner->setMarginsLeftTopRightBottom(owner->leftMargin() + spareWidth / 2, owner->topMargin() + spareHeight / 2,
                                        owner->rightMargin() + spareWidth / 2,
                                        owner->bottomMargin() + spareHeight / 2);
}

void VXGridLayer::setSpanColour(const QColor& colour)
{
    if (colour.isValid())
        changeValueForKey(m_spanColour, colour, "spanColour");
}

void VXGridLayer::setDivisionColour(const QColor& colour)
{
    if (colour.isValid())
        changeValueForKey(m_divisionColour, colour, "divisionColour");
}

void VXGridLayer::setMajorColour(const QColor& colour)
{
    if (colour.isValid())
        changeValueForKey(m_majorColour, colour, "majorColour");
}

void VXGridLayer::setDivisionsHidden(bool hidden)
{
    changeValueForKey(m_divisionsHidden, hidden, "divisionsHidden");
}

void VXGridLayer::invalidateCache()
{
    setNeedsDisplay();
}

void VXGridLayer::setGridThemeColour(const QColor& colour)
{
    if (!colour.isValid())
        return;
    setDivisionColour(withAlpha(colour, 0.25));
    setSpanColour(withAlpha(colour, 0.5));
    setMajorColour(withAlpha(colour, 0.8));
}

double VXGridLayer::quartzDistanceForGridDistance(double gridDistance) const
{
    return gridDistance * m_spanDistance / m_spanMultiplier;
}

double VXGridLayer::gridDistanceForQuartzDistance(double points) const
{
    return points * m_spanMultiplier / m_spanDistance;
}

QRectF VXGridLayer::gridArea() const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->interior() : QRectF();
}

QPointF VXGridLayer::pointForGridLocation(QPointF gridLocation) const
{
    return gridArea().topLeft() + gridLocation * (m_spanDistance / m_spanMultiplier);
}

QPointF VXGridLayer::gridLocationForPoint(QPointF point) const
{
    return (point - gridArea().topLeft()) * (m_spanMultiplier / m_spanDistance);
}

QPointF VXGridLayer::nearestGridIntersectionToPoint(QPointF point) const
{
    const QPointF origin = gridArea().topLeft();
    const double step = divisionDistance();
    return origin + QPointF(std::round((point.x() - origin.x()) / step) * step,
                            std::round((point.y() - origin.y()) / step) * step);
}

void VXGridLayer::drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView*, bool) const
{
    const double d = divisionDistance();
    drawLineFamilies({{gridArea().topLeft(), {d, 0}, {0, 1}}, {gridArea().topLeft(), {0, d}, {1, 0}}}, rect);
    drawBorderInContext(rect);
}

void VXGridLayer::drawBorderInContext(const QRectF& rect) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    const QRectF area = gridArea();
    const double reach = kMajorLineWidth / 2;
    if (!context || area.isEmpty() || !rect.intersects(area.adjusted(-reach, -reach, reach, reach)))
        return;
    QPainter& painter = *context->painter();
    painter.save();
    painter.setPen(gridPen(m_majorColour, kMajorLineWidth, kMaximumMajorPixels, *context));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    painter.restore();
}

void VXGridLayer::drawLineFamilies(const QList<LineFamily>& families, const QRectF& rect) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    const QRectF clip = rect & gridArea();
    if (!context || clip.isEmpty())
        return;
    QPainter& painter = *context->painter();
    const double deviceScale = platform::DeviceLayer::devicePixelsPerUnit(painter);
    const int spanEvery = m_divisions;
    const int majorEvery = m_divisions * m_majors;
    // Every nth line is drawn at all when closer lines would crowd the device.
    auto interval = [&](double spacing) {
        if (spacing * deviceScale >= kMinimumLineSpacing && !m_divisionsHidden)
            return 1;
        if (spacing * spanEvery * deviceScale >= kMinimumLineSpacing)
            return spanEvery;
        return majorEvery;
    };

    QList<QLineF> divisionLines, spanLines, majorLines;
    const QPointF corners[4] = {clip.topLeft(), clip.topRight(), clip.bottomLeft(), clip.bottomRight()};
    for (const LineFamily& family : families) {
        const double across = cross(family.step, family.direction);
        const double spacing = std::abs(across) / std::hypot(family.direction.x(), family.direction.y());
        if (across == 0 || spacing <= 0)
            continue;
        double kMin = HUGE_VAL, kMax = -HUGE_VAL;
        for (const QPointF corner : corners) {
            const double k = cross(corner - family.origin, family.direction) / across;
            kMin = std::min(kMin, k);
            kMax = std::max(kMax, k);
        }
        const int every = interval(spacing);
        const qint64 first = qint64(std::ceil(kMin / every)) * every;
        if ((kMax - double(first)) / every > kMaximumLinesPerFamily)
            continue; // a degenerate view transform; nothing legible to draw
        const double reach = std::hypot(clip.width(), clip.height());
        const QPointF unit = family.direction / std::hypot(family.direction.x(), family.direction.y());
        for (qint64 k = first; k <= kMax; k += every) {
            const QPointF through = family.origin + family.step * double(k);
            // Long enough to cross the clip from wherever the line passes it.
            const double t = QPointF::dotProduct(clip.center() - through, unit);
            const QLineF line(through + unit * (t - reach), through + unit * (t + reach));
            (k % majorEvery == 0 ? majorLines : k % spanEvery == 0 ? spanLines : divisionLines).append(line);
        }
    }
    painter.save();
    painter.setClipRect(clip, Qt::IntersectClip);
    painter.setPen(gridPen(m_divisionColour, kDivisionLineWidth, kMaximumDivisionPixels, *context));
    painter.drawLines(divisionLines);
    painter.setPen(gridPen(m_spanColour, kSpanLineWidth, kMaximumSpanPixels, *context));
    painter.drawLines(spanLines);
    painter.setPen(gridPen(m_majorColour, kMajorLineWidth, kMaximumMajorPixels, *context));
    painter.drawLines(majorLines);
    painter.restore();
}

void VXGridLayer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXLayer::encodeWithCoder(coder);
    coder.encodeDouble(m_spanDistance, kSpanKey);
    coder.encodeInt(m_divisions, kDivisionsKey);
    coder.encodeInt(m_majors, kMajorsKey);
    coder.encodeDouble(m_spanMultiplier, kMultiplierKey);
    coder.encodeInt(m_rulerSteps, kRulerStepsKey);
    coder.encodeColor(m_spanColour, kSpanColourKey);
    coder.encodeColor(m_divisionColour, kDivisionColourKey);
    coder.encodeColor(m_majorColour, kMajorColourKey);
    coder.encodeBool(m_divisionsHidden, kDivisionsHiddenKey);
}

void VXGridLayer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXLayer::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    m_spanDistance = reader.real(kSpanKey, m_spanDistance, kMinimumSpan, kMaximumSpan);
    m_divisions = int(reader.integer(kDivisionsKey, m_divisions, 1, kMaximumCount));
    m_majors = int(reader.integer(kMajorsKey, m_majors, 1, kMaximumCount));
    const double multiplier = reader.real(kMultiplierKey, 1);
    m_spanMultiplier = multiplier > 0 ? multiplier : 1;
    m_rulerSteps = int(reader.integer(kRulerStepsKey, m_rulerSteps, 1, kMaximumCount));
    m_spanColour = reader.colour(kSpanColourKey, m_spanColour);
    m_divisionColour = reader.colour(kDivisionColourKey, m_divisionColour);
    m_majorColour = reader.colour(kMajorColourKey, m_majorColour);
    m_divisionsHidden = reader.boolean(kDivisionsHiddenKey, false);
}
