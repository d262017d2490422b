#pragma once

// The map document's geometry commands on the selection of the active object layer: copies
// in a line or round a centre, and a buffer zone round one object. The document owns one,
// forwards its menu actions here and stays the delegate of the sheets, whose answers it
// forwards back.
//
// The sheets come from WindowServices: one linear and one polar sheet per document, made on
// first use and kept; a new buffer sheet each time. Each set of copies is added and selected as
// one undo step ("Linear Duplication", "Polar Duplication", "Auto Polar Duplication").

#include <QCoreApplication>
#include <QPointF>
#include <QSizeF>
#include <memory>

class BufferSheet;
class LinearDuplicateSheet;
class PolarDuplicateSheet;
class QWidget;
class VXDrawableObject;
class ZQQuorvaneDocument;

class MapGeometryCommands {
    // The texts are the document's own.
    Q_DECLARE_TR_FUNCTIONS(ZQQuorvaneDocument)

public:
    explicit MapGeometryCommands(ZQQuorvaneDocument& document) : m_document(document) {}
    MapGeometryCommands(const MapGeometryCommands&) = delete;
    MapGeometryCommands& operator=(const MapGeometryCommands&) = delete;

    // Run the sheet on the document's window; nothing when this build has none.
    void runLinearDuplicateSheet();
    void runPolarDuplicateSheet();
    void runBufferSheet();
    // Whether the sheet is kept or can be made.
    bool hasLinearDuplicateSheet() const;
    bool hasPolarDuplicateSheet() const;
    bool hasBufferSheet() const;

    // Nothing without a selection, or for a count of copies outside 1 to
    // VXObjectDrawingLayer::kMaximumDuplicateCopies. Offsets are in offset units.
    void duplicateLinearly(int copies, QSizeF offset);
    // About a grid location, each copy a further `incrementAngle` degrees round.
    void duplicateRoundCentre(int copies, QPointF centre, double incrementAngle, bool rotateCopies);
    // As many copies of the one selected object as fit round the grid location.
    void duplicateAllRoundCentre(QPointF centre);
    // Points in one offset unit: a grid unit, or the drawing's unit without a grid.
    double pointsPerOffsetUnit() const;
    // The grid location (the drawing's units without a grid) under a point of `window`, snapped
    // as the drawing snaps with the Control flag `snap`; the zero point outside the interior.
    QPointF gridPointForPointInWindow(QPointF point, QWidget* window, bool snap) const;

    // Whether the one selected object can be buffered and is unlocked.
    bool canBuffer() const;
    // The drawing's abbreviated units and the points in one of them.
    QString bufferUnitsString() const;
    double pointsPerBufferUnit() const;
    // Beeps, changing nothing, unless the object can be buffered and the distance is positive.
    void bufferByDistance(double distance);

private:
    // The active object layer's only selected object; null without exactly one.
    VXDrawableObject* singleSelectedObject() const;

    ZQQuorvaneDocument& m_document;
    std::shared_ptr<LinearDuplicateSheet> m_linearDuplicateSheet;
    std::shared_ptr<PolarDuplicateSheet> m_polarDuplicateSheet;
    std::shared_ptr<BufferSheet> m_bufferSheet;
};
