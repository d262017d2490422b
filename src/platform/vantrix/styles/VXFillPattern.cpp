#include "platform/vantrix/styles/VXFillPattern.h"

#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/styles/ObjectRandom.h"
#include "platform/vantrix/styles/RotatedFrame.h"

#include <QPainterPath>
#include <QtMath>

VXFillPattern::VXFillPattern() = default;

QString VXFillPattern::displayName() const
{
    return tr("Pattern");
}

void VXFillPattern::setAngleInDegrees(double angle)
{
    setValueForKeyWithUndo(m_angleInDegrees, angle, "angleInDegrees");
}

void VXFillPattern::setMotifAngleInDegrees(double angle)
{
    setValueForKeyWithUndo(m_motifAngleInDegrees, angle, "motifAngleInDegrees");
}

void VXFillPattern::setMotifAngleRandomness(double degrees)
{
    setValueForKeyWithUndo(m_motifAngleRandomness, std::clamp(degrees, 0.0, 180.0), "motifAngleRandomness");
}

void VXFillPattern::setAngleIsRelativeToObject(bool relative)
{
    setValueForKeyWithUndo(m_angleIsRelativeToObject, relative, "angleIsRelativeToObject");
}

void VXFillPattern::setDrawingOfClippedElementsSupressed(bool supressed)
{
    setValueForKeyWithUndo(m_drawingOfClippedElementsSupressed, supressed, "drawingOfClippedElementsSupressed");
}

void VXFillPattern::setPatternAlternateYOffset(double proportion)
{
    setValueForKeyWithUndo(m_patternAlternateYOffset, std::clamp(proportion, 0.0, 1.0), "patternAlternateYOffset");
}

void VXFillPattern::setAutoTile(bool autoTile)
{
    setValueForKeyWithUndo(m_autoTile, autoTile, "autoTile");
}

QSizeF VXFillPattern::cellSize() const
{
    if (!m_autoTile)
        return {interval(), interval()};
    return QSizeF(image().size() * scale()).expandedTo(QSizeF(kMinimumInterval, kMinimumInterval));
}

QList<VXPathDecorator::Placement> VXFillPattern::motifPlacementsForObject(const VXRenderable& object) const
{
    QList<Placement> placements;
    const platform::BezierPath path = object.renderingPath();
    const QRectF bounds = path.bounds();
    const double gridAngle = qDegreesToRadians(m_angleInDegrees) + (m_angleIsRelativeToObject ? object.angle() : 0);
    if (image().isNull() || bounds.isEmpty() || !std::isfinite(gridAngle))
        return placements;

    const platform::RotatedFrame frame(m_angleIsRelativeToObject ? object.location() : QPointF(), gridAngle);
    QSizeF cell = cellSize();
    // Motifs centred just outside the bounds still reach in.
    const double reach = motifRadius() * scale() * (1 + scaleRandomness())
        + wobblyness() * std::max(cell.width(), cell.height()) / 2;
    const QRectF covered = bounds.adjusted(-reach, -reach, reach, reach);
    const auto [columnLow, columnHigh] = frame.extentAlong(covered);
    const auto [rowLow, rowHigh] = frame.extentAcross(covered);
    const double cellCount =
        ((columnHigh - columnLow) / cell.width() + 1) * ((rowHigh - rowLow) / cell.height() + 1);
    if (cellCount > kMaximumMotifCount)
        cell *= std::sqrt(cellCount / kMaximumMotifCount);

    const QPainterPath area = path.painterPathWithWindingRule();
    const QRectF motifBox(-image().width() / 2.0, -image().height() / 2.0, image().width(), image().height());
    platform::ObjectRandom random(object);
    const double firstColumn = std::ceil(columnLow / cell.width());
    for (double column = firstColumn; column * cell.width() <= columnHigh; ++column) {
        const double drop = std::fmod(std::abs(column), 2) == 1 ? m_patternAlternateYOffset * cell.height() : 0;
        for (double row = std::ceil((rowLow - drop) / cell.height()); row * cell.height() + drop <= rowHigh; ++row) {
            if (placements.size() >= kMaximumMotifCount)
                return placements;
            QPointF centre = frame.pointAt(column * cell.width(), row * cell.height() + drop);
            if (wobblyness() > 0)
                centre += QPointF(random.signedUnit() * cell.width(), random.signedUnit() * cell.height())
                    * (wobblyness() / 2);
            double angle = gridAngle + qDegreesToRadians(m_motifAngleInDegrees);
            if (m_motifAngleRandomness > 0)
                angle += qDegreesToRadians(m_motifAngleRandomness * random.signedUnit());
            const double motifScale = randomisedScale(scaleRandomness() > 0 ? random.signedUnit() : 0);
            const Placement placement{centre, angle, motifScale};
            if (m_drawingOfClippedElementsSupressed) {
                QTransform motif;
                motif.translate(centre.x(), centre.y());
                motif.rotateRadians(angle);
                motif.scale(motifScale, motifScale);
                QPainterPath box;
                box.addPolygon(motif.map(QPolygonF(motifBox)));
                if (!area.contains(box))
                    continue;
            }
            placements.append(placement);
        }
    }
    return placements;
}

QSizeF VXFillPattern::extraSpaceNeeded() const
{
    return {0, 0}; // drawn inside the path only
}

int VXFillPattern::clippingForRender() const
{
    // Left-out motifs lie wholly inside: nothing to clip.
    return m_drawingOfClippedElementsSupressed ? kVXNoClipping : kVXClipInsidePath;
}
