#pragma once

// Fills the object's path with motifs on a grid: columns and rows `interval` apart (or the
// motif's own size with autoTile, so motifs meet edge to edge), every other column moved
// down by patternAlternateYOffset rows (0.5 gives a half-drop), the grid turned by
// angleInDegrees and each motif by motifAngleInDegrees plus up to motifAngleRandomness
// degrees either way. The grid is anchored at the drawing origin, or at the object (and
// turned with it) when angleIsRelativeToObject. Motifs the path's edge would cut are
// clipped, or left out when drawingOfClippedElementsSupressed.

#include "platform/vantrix/styles/VXPathDecorator.h"

#include <QSizeF>

class VXFillPattern : public VXPathDecorator {
    Q_OBJECT
    Q_PROPERTY(double angleInDegrees READ angleInDegrees WRITE setAngleInDegrees)
    Q_PROPERTY(double motifAngleInDegrees READ motifAngleInDegrees WRITE setMotifAngleInDegrees)
    Q_PROPERTY(double motifAngleRandomness READ motifAngleRandomness WRITE setMotifAngleRandomness)
    Q_PROPERTY(bool angleIsRelativeToObject READ angleIsRelativeToObject WRITE setAngleIsRelativeToObject)
    Q_PROPERTY(bool drawingOfClippedElementsSupressed READ drawingOfClippedElementsSupressed WRITE
                   setDrawingOfClippedElementsSupressed)
    Q_PROPERTY(double patternAlternateYOffset READ patternAlternateYOffset WRITE setPatternAlternateYOffset)
    Q_PROPERTY(bool autoTile READ autoTile WRITE setAutoTile)
    Q_CLASSINFO("actionName:angleInDegrees", "Pattern Angle")
    Q_CLASSINFO("actionName:motifAngleInDegrees", "Motif Angle")
    Q_CLASSINFO("actionName:motifAngleRandomness", "Motif Angle Randomness")
    Q_CLASSINFO("actionName:angleIsRelativeToObject", "Relative Pattern Angle")
    Q_CLASSINFO("actionName:drawingOfClippedElementsSupressed", "Pattern Clipping")
    Q_CLASSINFO("actionName:patternAlternateYOffset", "Pattern Alternate Offset")
    Q_CLASSINFO("actionName:autoTile", "Pattern Auto-Tile")

public:
    // Upright motifs 20 apart in an unturned square grid.
    VXFillPattern();

    QString displayName() const override;

    double angleInDegrees() const { return m_angleInDegrees; }
    void setAngleInDegrees(double angle);
    double motifAngleInDegrees() const { return m_motifAngleInDegrees; }
    void setMotifAngleInDegrees(double angle);
    double motifAngleRandomness() const { return m_motifAngleRandomness; }
    void setMotifAngleRandomness(double degrees); // 0 ... 180
    bool angleIsRelativeToObject() const { return m_angleIsRelativeToObject; }
    void setAngleIsRelativeToObject(bool relative);
    bool drawingOfClippedElementsSupressed() const { return m_drawingOfClippedElementsSupressed; }
    void setDrawingOfClippedElementsSupressed(bool supressed);
    double patternAlternateYOffset() const { return m_patternAlternateYOffset; }
    void setPatternAlternateYOffset(double proportion); // 0 ... 1
    bool autoTile() const { return m_autoTile; }
    void setAutoTile(bool autoTile);

    // The distance between columns (width) and rows (height).
    QSizeF cellSize() const;

    QList<Placement> motifPlacementsForObject(const VXRenderable& object) const override;
    QSizeF extraSpaceNeeded() const override;

protected:
    int clippingForRender() const override;

private:
    double m_angleInDegrees = 0;
    double m_motifAngleInDegrees = 0;
    double m_motifAngleRandomness = 0;
    bool m_angleIsRelativeToObject = false;
    bool m_drawingOfClippedElementsSupressed = false;
    double m_patternAlternateYOffset = 0;
    bool m_autoTile = false;
};

using VXFillPatternPtr = std::shared_ptr<VXFillPattern>;
