#pragma once

// The map document the application makes for "Map" files. It adds what belongs to a map
// on screen: the ruler, shapefile imports that line up with each other through a kept
// transform, and the mode in which the content is repositioned over the drawing.

#include "app/ZQQuorvaneDocument.h"
#include "geodata/ZQESRIFileDelegate.h"

#include <QHash>
#include <QMutex>
#include <QTransform>
#include <optional>

class ZQTrueQuorvaneDocument : public ZQQuorvaneDocument, public ZQESRIFileDelegate {
    Q_OBJECT
    Q_PROPERTY(bool rulerVisible READ rulerVisible WRITE setRulerVisible)

public:
    ZQTrueQuorvaneDocument();
    ~ZQTrueQuorvaneDocument() override;

    // --- Shapefiles ---------------------------------------------------------------------
    // Maps shapefile coordinates into this drawing; none until a first import sets it.
    const std::optional<QTransform>& shapefileTransform() const { return m_shapefileTransform; }
    // Undoable.
    void setShapefileTransform(const std::optional<QTransform>& transform);

    // The drawing's interior; the zero rectangle without a drawing.
    QRectF esriFileWantsDocumentRect(ZQESRIFile* file) override;
    std::optional<QTransform> esriFileWantsShapefileTransform(ZQESRIFile* file) override;
    // Collects the objects a reader makes (on its parsing thread).
    void esriFileDidLoadObject(ZQESRIFile* file, const std::shared_ptr<ZQObject>& object) override;
    // The collected objects become a new layer named after the .shp, made active, as the
    // undo step "Import Shapefile"; the transform the reader reports ("usedTransform")
    // becomes the document's.
    void esriFileDidFinishLoading(ZQESRIFile* file) override;

    // --- Ruler ---------------------------------------------------------------------------
    // The ruler object; its "bounds" property is the area redrawn when it shows or hides.
    const ZQObjectPtr& ruler() const { return m_ruler; }
    void setRuler(const ZQObjectPtr& ruler);
    bool rulerVisible() const { return m_rulerVisible; }
    // A change redraws the ruler's area.
    void setRulerVisible(bool visible);
    // The length (points) in the drawing's units, as text.
    QString distanceLabelForLength(double points) const;

    // --- Reposition mode -----------------------------------------------------------------
    // Entering twice is a programming error.
    void beginRepositionMode();
    // Nothing outside the mode.
    void endRepositionMode();
    bool isInRepositionMode() const { return m_inRepositionMode; }

protected:
    void mapScaleDidChange() override;
    // Also keeps the original's shapefile transform, moved by the source rectangle's offset.
    void adoptFromOriginalDocumentSourceRect(const ZQQuorvaneDocument& original, const QRectF& sourceRect) override;

private:
    void redisplayRuler() const;

    std::optional<QTransform> m_shapefileTransform;
    QMutex m_importMutex;
    QHash<const ZQESRIFile*, QList<ZQObjectPtr>> m_importedObjects;
    ZQObjectPtr m_ruler;
    bool m_rulerVisible = false;
    bool m_inRepositionMode = false;
};
