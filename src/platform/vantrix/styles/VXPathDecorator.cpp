#include "platform/vantrix/styles/VXPathDecorator.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/styles/ObjectRandom.h"

#include <QPainter>
#include <QtMath>

VXPathDecorator::VXPathDecorator() = default;

QString VXPathDecorator::displayName() const
{
    return tr("Path Decorator");
}

void VXPathDecorator::setImage(const QImage& image)
{
    setValueForKeyWithUndo(m_image, image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                           "image");
}

void VXPathDecorator::setInterval(double interval)
{
    setValueForKeyWithUndo(m_interval, std::max(interval, kMinimumInterval), "interval");
}

void VXPathDecorator::setScale(double scale)
{
    if (scale > 0)
        setValueForKeyWithUndo(m_scale, scale, "scale");
}

void VXPathDecorator::setScaleRandomness(double randomness)
{
    setValueForKeyWithUndo(m_scaleRandomness, std::clamp(randomness, 0.0, 1.0), "scaleRandomness");
}

void VXPathDecorator::setLateralOffset(double offset)
{
    setValueForKeyWithUndo(m_lateralOffset, offset, "lateralOffset");
}

void VXPathDecorator::setLateralOffsetAlternates(bool alternates)
{
    setValueForKeyWithUndo(m_lateralOffsetAlternates, alternates, "lateralOffsetAlternates");
}

void VXPathDecorator::setNormalToPath(bool normal)
{
    setValueForKeyWithUndo(m_normalToPath, normal, "normalToPath");
}

void VXPathDecorator::setLeadInAndOutLengthProportion(double proportion)
{
    setValueForKeyWithUndo(m_leadInAndOutLengthProportion, std::clamp(proportion, 0.0, 0.5),
                           "leadInAndOutLengthProportion");
}

void VXPathDecorator::setUsesChainMethod(bool chain)
{
    setValueForKeyWithUndo(m_usesChainMethod, chain, "usesChainMethod");
}

void VXPathDecorator::setWobblyness(double wobblyness)
{
    setValueForKeyWithUndo(m_wobblyness, std::clamp(wobblyness, 0.0, 1.0), "wobblyness");
}

void VXPathDecorator::setClipping(int clipping)
{
    if (platform::isClippingValue(clipping))
        setValueForKeyWithUndo(m_clipping, clipping, "clipping");
}

QList<VXPathDecorator::Placement> VXPathDecorator::motifPlacementsForObject(const VXRenderable& object) const
{
    QList<Placement> placements;
    const platform::BezierPath path = object.renderingPath();
    const double length = path.length();
    if (m_image.isNull() || !(length > 0))
        return placements;
    // Chained motifs are as far apart as they are long.
    const double chainLink = std::max(m_image.width() * m_scale, kMinimumInterval);
    const double minimumStep = std::max(kMinimumInterval, length / kMaximumMotifCount);
    platform::ObjectRandom random(object);
    double side = 1;
    double position = m_usesChainMethod ? 0 : m_interval / 2;
    while (position <= length && placements.size() < kMaximumMotifCount) {
        const double scale = randomisedScale(m_scaleRandomness > 0 ? random.signedUnit() : 0);
        double centre = position;
        double step = m_interval;
        if (m_usesChainMethod) {
            step = chainLink * (scale / m_scale) * taperAtPositionOfLength(position + chainLink / 2, length);
            centre = position + step / 2;
        }
        step = std::max(step, minimumStep);
        position += step;
        if (centre > length)
            break;
        double slope = 0;
        const QPointF point = path.pointOnPathAtLengthSlope(centre, &slope);
        const QPointF along(std::cos(slope), std::sin(slope));
        const QPointF across(-along.y(), along.x());
        QPointF shift = across * (m_lateralOffset * side);
        if (m_wobblyness > 0)
            shift += (along * random.signedUnit() + across * random.signedUnit()) * (m_wobblyness * step / 2);
        placements.append({point + shift, m_normalToPath ? slope : 0, scale * taperAtPositionOfLength(centre, length)});
        if (m_lateralOffsetAlternates)
            side = -side;
    }
    return placements;
}

void VXPathDecorator::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !isValid())
        return;
    const QList<Placement> placements = motifPlacementsForObject(object);
    QPainter* painter = context->painter();
    painter->save();
    platform::clipPainterToPath(*painter, object.renderingPath().painterPathWithWindingRule(), clippingForRender());
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    for (const Placement& placement : placements)
        drawMotif(*painter, placement);
    painter->restore();
}

QSizeF VXPathDecorator::extraSpaceNeeded() const
{
    const double reach = motifRadius() * m_scale * (1 + m_scaleRandomness) + std::abs(m_lateralOffset)
        + m_wobblyness * std::max(m_interval, m_image.width() * m_scale);
    return {reach, reach};
}

bool VXPathDecorator::isValid() const
{
    return !m_image.isNull();
}

double VXPathDecorator::taperAtPositionOfLength(double position, double length) const
{
    const double lead = m_leadInAndOutLengthProportion * length;
    if (lead <= 0)
        return 1;
    return std::clamp(std::min(position, length - position) / lead, 0.0, 1.0);
}

double VXPathDecorator::randomisedScale(double unit) const
{
    return std::max(0.0, m_scale * (1 + m_scaleRandomness * unit));
}

double VXPathDecorator::motifRadius() const
{
    return std::hypot(m_image.width(), m_image.height()) / 2;
}

void VXPathDecorator::drawMotif(QPainter& painter, const Placement& placement) const
{
    if (placement.scale <= 0)
        return;
    painter.save();
    painter.translate(placement.centre);
    painter.rotate(qRadiansToDegrees(placement.angle));
    painter.scale(placement.scale, placement.scale);
    painter.drawImage(QPointF(-m_image.width() / 2.0, -m_image.height() / 2.0), m_image);
    painter.restore();
}
