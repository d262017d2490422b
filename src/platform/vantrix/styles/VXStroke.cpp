#include "platform/vantrix/styles/VXStroke.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QtMath>

namespace {

constexpr int kStyleCount = 3; // caps and joins: 0, 1, 2
// Offset corners sharper than this get two points (a bevel) instead of a long miter.
constexpr double kOffsetMiterLimit = 4.0;

QPointF rightNormal(QPointF from, QPointF to)
{
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    return QPointF(-d.y(), d.x()) / length;
}

QPolygonF withoutRepeatedPoints(const QPolygonF& polygon)
{
    QPolygonF points;
    for (const QPointF& p : polygon)
        if (points.isEmpty() || QLineF(points.last(), p).length() > 1e-9)
            points.append(p);
    return points;
}

// The polyline at `distance` to the right of `polygon`, with mitered corners.
QPolygonF offsetPolyline(const QPolygonF& polygon, double distance)
{
    QPolygonF points = withoutRepeatedPoints(polygon);
    const bool closed = points.size() > 2 && QLineF(points.first(), points.last()).length() < 1e-6;
    if (closed)
        points.removeLast();
    const qsizetype n = points.size();
    if (n < 2)
        return {};
    QPolygonF result;
    for (qsizetype i = 0; i < n; ++i) {
        const bool hasIn = closed || i > 0;
        const bool hasOut = closed || i < n - 1;
        const QPointF p = points[i];
        const QPointF nIn = hasIn ? rightNormal(points[(i + n - 1) % n], p) : QPointF();
        const QPointF nOut = hasOut ? rightNormal(p, points[(i + 1) % n]) : QPointF();
        if (!hasIn || !hasOut) {
            result.append(p + (hasIn ? nIn : nOut) * distance);
            continue;
        }
        const QPointF sum = nIn + nOut;
        const double cosHalf = std::sqrt(std::max(0.0, (1 + QPointF::dotProduct(nIn, nOut)) / 2));
        if (cosHalf < 1 / kOffsetMiterLimit) {
            result.append(p + nIn * distance);
            result.append(p + nOut * distance);
        } else {
            result.append(p + sum / std::hypot(sum.x(), sum.y()) * (distance / cosHalf));
        }
    }
    if (closed)
        result.append(result.first());
    return result;
}

platform::BezierPath offsetPath(const platform::BezierPath& path, double distance)
{
    platform::BezierPath result;
    for (const QPolygonF& polygon : path.painterPath().toSubpathPolygons()) {
        const QPolygonF offset = offsetPolyline(polygon, distance);
        if (offset.size() < 2)
            continue;
        result.moveToPoint(offset.first());
        for (qsizetype i = 1; i < offset.size(); ++i)
            result.lineToPoint(offset[i]);
    }
    return result;
}

bool isStyleIndex(int value)
{
    return value >= 0 && value < kStyleCount;
}

} // namespace

VXStroke::VXStroke() = default;

std::shared_ptr<VXStroke> VXStroke::strokeWithWidthColour(double width, const QColor& colour)
{
    auto stroke = std::make_shared<VXStroke>();
    stroke->setWidth(width);
    stroke->setColour(colour);
    return stroke;
}

QString VXStroke::displayName() const
{
    return tr("Stroke");
}

void VXStroke::setWidth(double width)
{
    setValueForKeyWithUndo(m_width, std::max(width, 0.0), "width");
}

void VXStroke::setColour(const QColor& colour)
{
    setValueForKeyWithUndo(m_colour, colour, "colour");
}

void VXStroke::setLineCapStyle(int style)
{
    if (isStyleIndex(style))
        setValueForKeyWithUndo(m_lineCapStyle, style, "lineCapStyle");
}

void VXStroke::setLineJoinStyle(int style)
{
    if (isStyleIndex(style))
        setValueForKeyWithUndo(m_lineJoinStyle, style, "lineJoinStyle");
}

void VXStroke::setMiterLimit(double limit)
{
    if (limit >= 1 && std::isfinite(limit))
        setValueForKeyWithUndo(m_miterLimit, limit, "miterLimit");
}

void VXStroke::setDash(const VXStrokeDashPtr& dash)
{
    setValueForKeyWithUndo(m_dash, dash, "dash");
}

void VXStroke::setLateralOffset(double offset)
{
    setValueForKeyWithUndo(m_lateralOffset, offset, "lateralOffset");
}

void VXStroke::setShadow(const VXShadowPtr& shadow)
{
    setValueForKeyWithUndo(m_shadow, shadow, "shadow");
}

void VXStroke::setClipping(int clipping)
{
    if (platform::isClippingValue(clipping))
        setValueForKeyWithUndo(m_clipping, clipping, "clipping");
}

platform::BezierPath VXStroke::styledPath(const platform::BezierPath& path) const
{
    platform::BezierPath styled = m_lateralOffset != 0 ? offsetPath(path, m_lateralOffset) : path;
    styled.setLineWidth(m_width);
    styled.setLineCapStyle(platform::LineCapStyle(m_lineCapStyle));
    styled.setLineJoinStyle(platform::LineJoinStyle(m_lineJoinStyle));
    styled.setMiterLimit(m_miterLimit);
    if (m_dash)
        m_dash->applyToPath(styled);
    else
        styled.setLineDash({});
    return styled;
}

void VXStroke::renderPath(const platform::BezierPath& path) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || m_width <= 0)
        return;
    const platform::BezierPath styled = styledPath(path);
    const QPen pen = styled.penWithColour(m_colour);
    if (m_shadow)
        m_shadow->drawShadowForPath(QPainterPathStroker(pen).createStroke(styled.painterPath()));
    if (m_colour.isValid())
        context->painter()->strokePath(styled.painterPath(), pen);
}

void VXStroke::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    const platform::BezierPath path = object.renderingPath();
    if (m_clipping == kVXNoClipping) {
        renderPath(path);
        return;
    }
    QPainter* painter = context->painter();
    painter->save();
    platform::clipPainterToPath(*painter, path.painterPathWithWindingRule(), m_clipping);
    renderPath(path);
    painter->restore();
}

QSizeF VXStroke::extraSpaceNeeded() const
{
    // Miter joins reach beyond half the width at corners: twice covers corners down to
    // 60 degrees (sharper spikes are rare in maps). Square caps need the diagonal.
    const double reach = m_lineJoinStyle == int(platform::LineJoinStyle::Miter) ? std::min(2.0, m_miterLimit)
        : m_lineCapStyle == int(platform::LineCapStyle::Square)                  ? M_SQRT2
                                                                                 : 1.0;
    const double extra = m_width / 2 * reach + std::abs(m_lateralOffset);
    const QSizeF shadow = m_shadow ? m_shadow->extraSpace() : QSizeF(0, 0);
    return {extra + shadow.width(), extra + shadow.height()};
}

bool VXStroke::isValid() const
{
    return m_width > 0 && ((m_colour.isValid() && m_colour.alpha() > 0) || m_shadow);
}
