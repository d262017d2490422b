#include "furniture/edges/VXQGridBorder.h"

#include "app/utilities/DictionaryUtilities.h"
#include "furniture/edges/GridSettingsKeys.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/model/ArchiveReader.h"

#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

const QString kOwnerKey = QStringLiteral("VXQGridBorder_ownerGrid");
const QString kStrokeColourKey = QStringLiteral("VXQGridBorder_strokeColour");
const QString kFillColourKey = QStringLiteral("VXQGridBorder_fillColour");
const QString kAltFillColourKey = QStringLiteral("VXQGridBorder_altFillColour");
const QString kWidthKey = QStringLiteral("VXQGridBorder_width");
const QString kOffsetKey = QStringLiteral("VXQGridBorder_offset");
const QString kEdgesKey = QStringLiteral("VXQGridBorder_edges");
const QString kIsAltKey = QStringLiteral("VXQGridBorder_isalt");
const QString kExtendedMarkersKey = QStringLiteral("VXQGridBorder_extendedMarkers");
const QString kOrdSurveyStyleKey = QStringLiteral("VXQGridBorder_ordsurveyStyle");

// The fill leaves this much of the outline showing on both sides together.
constexpr double kOutlineAllowance = 0.5;
// Inner ticks stop this much short of the band's sides, so the end ticks stand out.
constexpr double kInnerTickInset = 0.125;
// Past these counts an edge is too finely divided to draw: it would only be a smear.
constexpr double kMostTicks = 1 << 16;
constexpr double kMostDivisions = 1 << 18;

const std::pair<int, const QString&> kEdgeSettings[] = {{kVXQGridEdgeLeft, kVXQMapGridHasLeftBorder},
                                                        {kVXQGridEdgeRight, kVXQMapGridHasRightBorder},
                                                        {kVXQGridEdgeTop, kVXQMapGridHasTopBorder},
                                                        {kVXQGridEdgeBottom, kVXQMapGridHasBottomBorder}};

bool isVerticalEdge(int edge)
{
    return edge != kVXQGridEdgeTop && edge != kVXQGridEdgeBottom;
}

// The whole count of `step`s that cover `length`; none when it is not a number of 0 ... `most`.
std::optional<int> stepCount(double length, double step, double most)
{
    const double count = std::ceil(length / step);
    if (!(count >= 0 && count <= most))
        return std::nullopt;
    return int(count);
}

// A point `distance` along the centre line from its start.
QPointF pointAlong(const QLineF& line, double distance)
{
    return line.p1() + (line.p2() - line.p1()) / line.length() * distance;
}

double clampedExtent(double value)
{
    return std::clamp(value, 0.0, VXQGridBorder::kMaximumExtent);
}

} // namespace

VXQGridBorder::VXQGridBorder()
    : m_fillColour(QColor::fromRgbF(0.95f, 0.95f, 0.95f, 1.0f)),
      m_alternateFillColour(QColor::fromRgbF(0.69f, 0.69f, 0.69f, 1.0f)),
      m_strokeColour(Qt::black)
{
}

VXQGridBorder::~VXQGridBorder() = default;

VXQGridBorderPtr VXQGridBorder::defaultBorder()
{
    return std::make_shared<VXQGridBorder>();
}

// --- Fields --------------------------------------------------------------------------------------

void VXQGridBorder::setFillColour(const QColor& colour)
{
    changeField("fillColour", m_fillColour, colour);
}

void VXQGridBorder::setAlternateFillColour(const QColor& colour)
{
    changeField("alternateFillColour", m_alternateFillColour, colour);
}

void VXQGridBorder::setStrokeColour(const QColor& colour)
{
    changeField("strokeColour", m_strokeColour, colour);
}

void VXQGridBorder::changeExtent(const char* key, double& field, double value)
{
    if (!std::isfinite(value) || clampedExtent(value) == field)
        return;
    setNeedsDisplay();
    changeField(key, field, clampedExtent(value));
}

void VXQGridBorder::setWidth(double width)
{
    changeExtent("width", m_width, width);
}

void VXQGridBorder::setOffset(double offset)
{
    changeExtent("offset", m_offset, offset);
}

void VXQGridBorder::setBorderEdges(int edges)
{
    changeField("borderEdges", m_borderEdges, edges & kVXQGridAllEdges);
}

void VXQGridBorder::setIsAlternating(bool alternating)
{
    changeField("isAlternating", m_isAlternating, alternating);
}

void VXQGridBorder::setExtendedMarkers(bool extended)
{
    if (extended != m_extendedMarkers)
        setNeedsDisplay();
    changeField("extendedMarkers", m_extendedMarkers, extended);
}

void VXQGridBorder::setOrdnanceSurveyStyleEnabled(bool enabled)
{
    changeField("ordnanceSurveyStyleEnabled", m_ordnanceSurveyStyleEnabled, enabled);
}

// --- Geometry ------------------------------------------------------------------------------------

QLineF VXQGridBorder::centreLineForEdge(int edge) const
{
    const QRectF rect = ownerBorderRect();
    const double reach = m_width / 2 + m_offset;
    switch (edge) {
    case kVXQGridEdgeRight:
        return {rect.right() + reach, rect.top(), rect.right() + reach, rect.bottom()};
    case kVXQGridEdgeTop:
        return {rect.left(), rect.top() - reach, rect.right(), rect.top() - reach};
    case kVXQGridEdgeBottom:
        return {rect.left(), rect.bottom() + reach, rect.right(), rect.bottom() + reach};
    default:
        return {rect.left() - reach, rect.top(), rect.left() - reach, rect.bottom()};
    }
}

QRectF VXQGridBorder::boundsForEdge(int edge) const
{
    const QRectF rect = ownerBorderRect();
    const double thickness = m_extendedMarkers ? 1.4 * m_width : m_width;
    QRectF bounds;
    switch (edge) {
    case kVXQGridEdgeRight:
        bounds = {rect.right() + m_offset, rect.top(), thickness, rect.height()};
        break;
    case kVXQGridEdgeTop:
        bounds = {rect.left(), rect.top() - thickness - m_offset, rect.width(), thickness};
        break;
    case kVXQGridEdgeBottom:
        bounds = {rect.left(), rect.bottom() + m_offset, rect.width(), thickness};
        break;
    default:
        bounds = {rect.left() - thickness - m_offset, rect.top(), thickness, rect.height()};
        break;
    }
    return bounds.adjusted(-0.5, -0.5, 0.5, 0.5);
}

std::optional<double> VXQGridBorder::divisionLength() const
{
    const VXQGridInfoProtocol* info = gridInfo();
    if (!info)
        return std::nullopt;
    const double length = info->spanLength() / double(info->divisionsPerSpan());
    return length > 0 && std::isfinite(length) ? std::optional<double>(length) : std::nullopt;
}

platform::BezierPath VXQGridBorder::tickPathForEdge(int edge) const
{
    platform::BezierPath ticks;
    const auto spanLength = ownerSpanLength();
    const QLineF line = centreLineForEdge(edge);
    const auto count = spanLength ? stepCount(line.length(), *spanLength, kMostTicks) : std::nullopt;
    if (!count)
        return ticks;
    const double span = *spanLength;
    const double half = m_width / 2;
    const double extension = m_extendedMarkers ? 1.2 * half : 0;
    // Outward: away from the owner's rectangle.
    const double outward = edge == kVXQGridEdgeRight || edge == kVXQGridEdgeBottom ? 1 : -1;
    for (int k = 0; k <= *count; ++k) {
        const QPointF at = k == *count ? line.p2() : pointAlong(line, k * span);
        const double reach = k == 0 || k == *count ? half : half - kInnerTickInset;
        const double inner = -outward * reach;
        const double outer = outward * (reach + extension);
        if (isVerticalEdge(edge)) {
            ticks.moveToPoint({at.x() + inner, at.y()});
            ticks.lineToPoint({at.x() + outer, at.y()});
        } else {
            ticks.moveToPoint({at.x(), at.y() + inner});
            ticks.lineToPoint({at.x(), at.y() + outer});
        }
    }
    return ticks;
}

platform::BezierPath VXQGridBorder::osStylePathForEdge(int edge) const
{
    platform::BezierPath path;
    const auto division = divisionLength();
    if (!division)
        return path;
    // Single precision, as the division marks have always been placed.
    const float step = float(*division);
    const QLineF line = centreLineForEdge(edge);
    const auto count = step > 0 ? stepCount(line.length(), step, kMostDivisions) : std::nullopt;
    if (!count || *count < 1)
        return path;
    const double reach = float(m_width / 2) - kInnerTickInset;
    const bool vertical = isVerticalEdge(edge);
    const QRectF rect = ownerBorderRect();
    for (int k = 0; k < *count; ++k) {
        const double along = double(k) * step;
        const QPointF at = pointAlong(line, along);
        const QPointF across = vertical ? QPointF(reach, 0) : QPointF(0, reach);
        path.moveToPoint(at - across);
        path.lineToPoint(at + across);
        if (k % 2 == 0) {
            path.moveToPoint(at);
            path.lineToPoint(vertical ? QPointF(at.x(), std::min(at.y() + step, rect.bottom()))
                                      : QPointF(std::min(at.x() + step, rect.right()), at.y()));
        }
    }
    return path;
}

// --- Drawing -------------------------------------------------------------------------------------

void VXQGridBorder::drawInRect(const QRectF& rect) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    context->saveGraphicsState();
    context->painter()->setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (int edge : {kVXQGridEdgeLeft, kVXQGridEdgeRight, kVXQGridEdgeTop, kVXQGridEdgeBottom})
        drawBorderEdgeInRect(edge, rect);
    context->restoreGraphicsState();
}

void VXQGridBorder::strokeBand(const QLineF& line) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    platform::BezierPath path;
    path.setLineCapStyle(platform::LineCapStyle::Butt);
    path.moveToPoint(line.p1());
    path.lineToPoint(line.p2());
    if (m_width > 0) {
        path.setLineWidth(m_width);
        context->setStrokeColour(m_strokeColour);
        path.stroke();
    }
    const double fillWidth = m_width - kOutlineAllowance;
    if (fillWidth <= 0)
        return;
    path.setLineWidth(fillWidth);
    context->setStrokeColour(m_fillColour);
    path.stroke();
    const auto division = divisionLength();
    if (m_isAlternating && division && stepCount(line.length(), *division, kMostDivisions)) {
        path.setLineDash({{*division, *division}, 0});
        context->setStrokeColour(m_alternateFillColour);
        path.stroke();
    }
}

void VXQGridBorder::drawBorderEdgeInRect(int edge, const QRectF& rect) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !(edge & m_borderEdges) || !boundsForEdge(edge).intersects(rect))
        return;
    strokeBand(centreLineForEdge(edge));

    context->setStrokeColour(m_strokeColour);
    platform::BezierPath ticks = tickPathForEdge(edge);
    ticks.setLineCapStyle(platform::LineCapStyle::Butt);
    ticks.setLineWidth(kTickWidth);
    ticks.stroke();
    if (m_ordnanceSurveyStyleEnabled) {
        platform::BezierPath bars = osStylePathForEdge(edge);
        bars.setLineCapStyle(platform::LineCapStyle::Butt);
        bars.setLineWidth(kTickWidth);
        bars.stroke();
    }
}

// --- Settings and archive ------------------------------------------------------------------------

void VXQGridBorder::applySettings(const QVariantMap& settings)
{
    setWidth(floatValueForKey(settings, kVXQMapGridBorderWidth));
    setOffset(floatValueForKey(settings, kVXQMapGridBorderOffset));
    // A band without colours would vanish: entries that hold no colour keep the current ones.
    if (const QVariant fill = settings.value(kVXQMapGridBorderFillColour); fill.typeId() == QMetaType::QColor)
        setFillColour(fill.value<QColor>());
    if (const QVariant alternate = settings.value(kVXQMapGridBorderAlternateFillColour);
        alternate.typeId() == QMetaType::QColor)
        setAlternateFillColour(alternate.value<QColor>());
    setIsAlternating(boolValueForKey(settings, kVXQMapGridBorderIsAlternating));
    setExtendedMarkers(boolValueForKey(settings, kVXQMapGridBorderExtendedMarkers));
    setOrdnanceSurveyStyleEnabled(boolValueForKey(settings, kVXQMapGridBorderOrdnanceSurveyStyle));
    int edges = 0;
    for (const auto& [edge, key] : kEdgeSettings)
        edges |= boolValueForKey(settings, key) ? edge : 0;
    setBorderEdges(edges);
}

QVariantMap VXQGridBorder::settings() const
{
    QVariantMap settings;
    setFloatValueForKey(settings, float(m_width), kVXQMapGridBorderWidth);
    setFloatValueForKey(settings, float(m_offset), kVXQMapGridBorderOffset);
    settings.insert(kVXQMapGridBorderFillColour, m_fillColour);
    settings.insert(kVXQMapGridBorderAlternateFillColour, m_alternateFillColour);
    setBoolValueForKey(settings, m_isAlternating, kVXQMapGridBorderIsAlternating);
    setBoolValueForKey(settings, m_extendedMarkers, kVXQMapGridBorderExtendedMarkers);
    setBoolValueForKey(settings, m_ordnanceSurveyStyleEnabled, kVXQMapGridBorderOrdnanceSurveyStyle);
    for (const auto& [edge, key] : kEdgeSettings)
        setBoolValueForKey(settings, (m_borderEdges & edge) != 0, key);
    return settings;
}

std::shared_ptr<ZQObject> VXQGridBorder::copy() const
{
    auto made = std::make_shared<VXQGridBorder>();
    made->m_fillColour = m_fillColour;
    made->m_alternateFillColour = m_alternateFillColour;
    made->m_strokeColour = m_strokeColour;
    made->m_width = m_width;
    made->m_offset = m_offset;
    made->m_borderEdges = m_borderEdges;
    made->m_isAlternating = m_isAlternating;
    made->m_extendedMarkers = m_extendedMarkers;
    made->m_ordnanceSurveyStyleEnabled = m_ordnanceSurveyStyleEnabled;
    return made;
}

void VXQGridBorder::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    encodeOwner(coder, kOwnerKey);
    coder.encodeColor(m_strokeColour, kStrokeColourKey);
    coder.encodeColor(m_fillColour, kFillColourKey);
    coder.encodeColor(m_alternateFillColour, kAltFillColourKey);
    coder.encodeDouble(float(m_width), kWidthKey);
    coder.encodeDouble(float(m_offset), kOffsetKey);
    coder.encodeInt(m_borderEdges, kEdgesKey);
    coder.encodeBool(m_isAlternating, kIsAltKey);
    coder.encodeBool(m_extendedMarkers, kExtendedMarkersKey);
    coder.encodeBool(m_ordnanceSurveyStyleEnabled, kOrdSurveyStyleKey);
}

void VXQGridBorder::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    decodeOwner(coder, kOwnerKey);
    m_strokeColour = reader.colour(kStrokeColourKey, m_strokeColour);
    m_fillColour = reader.colour(kFillColourKey, m_fillColour);
    m_alternateFillColour = reader.colour(kAltFillColourKey, m_alternateFillColour);
    m_width = reader.real(kWidthKey, m_width, 0.0, kMaximumExtent);
    m_offset = reader.real(kOffsetKey, m_offset, 0.0, kMaximumExtent);
    m_borderEdges = int(reader.integer(kEdgesKey, kVXQGridAllEdges, INT_MIN, INT_MAX)) & kVXQGridAllEdges;
    m_isAlternating = reader.boolean(kIsAltKey, m_isAlternating);
    m_extendedMarkers = reader.boolean(kExtendedMarkersKey, m_extendedMarkers);
    m_ordnanceSurveyStyleEnabled = reader.boolean(kOrdSurveyStyleKey, m_ordnanceSurveyStyleEnabled);
}
