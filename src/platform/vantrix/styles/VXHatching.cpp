#include "platform/vantrix/styles/VXHatching.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/styles/ObjectRandom.h"
#include "platform/vantrix/styles/RotatedFrame.h"
#include "platform/vantrix/styles/VXClipping.h"

#include <QPainter>
#include <QtMath>

namespace {

// Points of all wobbly lines of one object together.
constexpr qint64 kMaximumWobblePoints = 1000000;

bool isStyleIndex(int value)
{
    return value >= 0 && value <= 2;
}

} // namespace

VXHatching::VXHatching() = default;

QString VXHatching::displayName() const
{
    return tr("Hatching");
}

void VXHatching::setColour(const QColor& colour)
{
    setValueForKeyWithUndo(m_colour, colour, "colour");
}

void VXHatching::setWidth(double width)
{
    setValueForKeyWithUndo(m_width, std::max(width, 0.0), "width");
}

void VXHatching::setSpacing(double spacing)
{
    setValueForKeyWithUndo(m_spacing, std::max(spacing, kMinimumSpacing), "spacing");
}

void VXHatching::setLeadInProportion(double proportion)
{
    setValueForKeyWithUndo(m_leadInProportion, std::clamp(proportion, 0.0, 1.0), "leadInProportion");
}

void VXHatching::setAngleInDegrees(double angle)
{
    setValueForKeyWithUndo(m_angleInDegrees, angle, "angleInDegrees");
}

void VXHatching::setRoughness(double roughness)
{
    setValueForKeyWithUndo(m_roughness, std::clamp(roughness, 0.0, 1.0), "roughness");
}

void VXHatching::setWobblyness(double wobblyness)
{
    setValueForKeyWithUndo(m_wobblyness, std::clamp(wobblyness, 0.0, 1.0), "wobblyness");
}

void VXHatching::setLineCapStyle(int style)
{
    if (isStyleIndex(style))
        setValueForKeyWithUndo(m_lineCapStyle, style, "lineCapStyle");
}

void VXHatching::setLineJoinStyle(int style)
{
    if (isStyleIndex(style))
        setValueForKeyWithUndo(m_lineJoinStyle, style, "lineJoinStyle");
}

void VXHatching::setDash(const VXStrokeDashPtr& dash)
{
    setValueForKeyWithUndo(m_dash, dash, "dash");
}

void VXHatching::setAngleIsRelativeToObject(bool relative)
{
    setValueForKeyWithUndo(m_angleIsRelativeToObject, relative, "angleIsRelativeToObject");
}

platform::BezierPath VXHatching::hatchPathForObject(const VXRenderable& object) const
{
    platform::BezierPath lines;
    lines.setLineWidth(m_width);
    lines.setLineCapStyle(platform::LineCapStyle(m_lineCapStyle));
    lines.setLineJoinStyle(platform::LineJoinStyle(m_lineJoinStyle));
    if (m_dash)
        m_dash->applyToPath(lines);

    const QRectF bounds = object.renderingPath().bounds();
    const double angle = qDegreesToRadians(m_angleInDegrees) + (m_angleIsRelativeToObject ? object.angle() : 0);
    if (bounds.isEmpty() || !std::isfinite(angle))
        return lines;
    const platform::RotatedFrame frame(m_angleIsRelativeToObject ? object.location() : QPointF(), angle);
    const auto [acrossLow, acrossHigh] = frame.extentAcross(bounds);
    const auto [alongLow, alongHigh] = frame.extentAlong(bounds);

    const double spacing = std::max(m_spacing, (acrossHigh - acrossLow) / kMaximumLineCount);
    const double lead = m_leadInProportion * spacing;
    // Rough and wobbly lines may stray in from beyond the bounds.
    const double stray = spacing * (m_roughness + m_wobblyness) / 2;
    const double firstLine = std::ceil((acrossLow - stray - lead) / spacing);
    const double lineCount = std::floor((acrossHigh + stray - lead) / spacing) - firstLine + 1;
    if (!(lineCount >= 1))
        return lines;
    const qint64 count = qint64(std::min<double>(lineCount, kMaximumLineCount + 1));
    const double start = alongLow - m_width - stray;
    const double end = alongHigh + m_width + stray;
    const double wobbleSegments = m_wobblyness > 0 ? std::ceil((end - start) / spacing) : 1;
    const qint64 segments = qint64(std::clamp<double>(wobbleSegments, 1, double(kMaximumWobblePoints / count)));

    platform::ObjectRandom random(object);
    for (qint64 k = 0; k < count; ++k) {
        double offset = (firstLine + double(k)) * spacing + lead;
        if (m_roughness > 0)
            offset += m_roughness * spacing / 2 * random.signedUnit();
        for (qint64 s = 0; s <= segments; ++s) {
            const double wobble = m_wobblyness > 0 ? m_wobblyness * spacing / 2 * random.signedUnit() : 0;
            const QPointF point = frame.pointAt(start + (end - start) * s / segments, offset + wobble);
            if (s == 0)
                lines.moveToPoint(point);
            else
                lines.lineToPoint(point);
        }
    }
    return lines;
}

void VXHatching::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !isValid())
        return;
    const QPainterPath area = object.renderingPath().painterPathWithWindingRule();
    if (area.isEmpty())
        return;
    const platform::BezierPath lines = hatchPathForObject(object);
    QPainter* painter = context->painter();
    painter->save();
    platform::clipPainterToPath(*painter, area, kVXClipInsidePath);
    painter->strokePath(lines.painterPath(), lines.penWithColour(m_colour));
    painter->restore();
}

bool VXHatching::isValid() const
{
    return m_width > 0 && m_colour.isValid() && m_colour.alpha() > 0;
}
