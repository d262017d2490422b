#pragma once

// The map's index grid: a grid layer that draws square grid lines over the interior, a
// border line round it (plain, or drawn with a style dropped on the layer), banded borders
// outside it and labels along its edges, and that turns any point into a grid reference
// such as C4 or 0512. It owns two annotations (columns along top and bottom, rows along
// left and right) and at least one border, and answers their VXQGridInfoProtocol.
//
// A labelled span is the smallest whole number of unit spans at least a centimetre less a
// point long (never more than twice the divisions), times the span multiplier.
//
// The settings dictionary ("kVXQMapGrid..." keys, shared with the grid settings sheet and the
// drawing set-up) is read with `settings` and applied, as one undo step, with applySettings.
// Unlike plain grids it prints, and it may become the active layer so that it can take drops.

#include "furniture/border/BorderStyleDrop.h"
#include "furniture/edges/VXQGridAnnotation.h"
#include "furniture/edges/VXQGridBorder.h"
#include "furniture/edges/VXQGridInfoProtocol.h"
#include "furniture/grid/VXQGridReference.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXGridLayer.h"

#include <QFont>

namespace platform {
class MenuItem;
}

class VXQSquareAnnotatedGrid : public VXGridLayer, public VXQGridInfoProtocol {
    Q_OBJECT
    Q_PROPERTY(int annotationEdges READ annotationEdges WRITE setAnnotationEdges)
    Q_PROPERTY(bool drawsBorderLine READ drawsBorderLine WRITE setDrawsBorderLine)
    Q_PROPERTY(bool gridVisible READ gridVisible WRITE setGridVisible)
    Q_PROPERTY(QColor themeColour READ themeColour WRITE setGridThemeColour STORED false)
    Q_PROPERTY(QFont font READ font WRITE setFont STORED false)
    Q_PROPERTY(QString fontName READ fontName WRITE setFontName STORED false)
    Q_PROPERTY(double fontSize READ fontSize WRITE setFontSize STORED false)
    Q_PROPERTY(QColor fontColour READ fontColour WRITE setFontColour STORED false)
    Q_PROPERTY(ZQObjectPtr horizontalAnnotation READ horizontalAnnotationValue STORED false)
    Q_PROPERTY(ZQObjectPtr verticalAnnotation READ verticalAnnotationValue STORED false)
    Q_PROPERTY(QVariantList borders READ bordersValue STORED false)
    Q_PROPERTY(VXDrawing* drawing READ drawing STORED false)

public:
    // Labels on all four edges, one default border, the annotations' grey as theme colour
    // and the divisions hidden.
    VXQSquareAnnotatedGrid();
    ~VXQSquareAnnotatedGrid() override;

    // "Index Grid", printed and visible, with 4-unit spans of a centimetre per unit (units:
    // kilometres, set on the drawing when the grid already lies in one), 10 divisions and 5
    // majors.
    void initAsDefaultMapGrid();
    static std::shared_ptr<VXQSquareAnnotatedGrid> defaultMapGrid();

    // --- Labels and bands ---------------------------------------------------------------------
    const VXQGridAnnotationPtr& horizontalAnnotation() const { return m_horizontalAnnotation; }
    // Makes the grid its owner and sets its orientation; null is ignored.
    void setHorizontalAnnotation(const VXQGridAnnotationPtr& annotation);
    const VXQGridAnnotationPtr& verticalAnnotation() const { return m_verticalAnnotation; }
    void setVerticalAnnotation(const VXQGridAnnotationPtr& annotation);
    // kVXQGridEdge bits of the edges that carry labels.
    int annotationEdges() const { return m_annotationEdges; }
    void setAnnotationEdges(int edges);

    // Drawn in order; never empty.
    const QList<VXQGridBorderPtr>& borders() const { return m_borders; }
    // Makes the grid the border's owner.
    void addBorder(const VXQGridBorderPtr& border);
    // The last border stays.
    void removeBorder(const VXQGridBorder* border);
    // Leaves the borders' owners as they are; an empty list is ignored.
    void setBorders(const QList<VXQGridBorderPtr>& borders);

    // --- Border line and grid lines ---------------------------------------------------------------
    // None draws the plain border line. Keeps a mutable copy; undoable.
    const VXStylePtr& borderlineStyle() const { return m_borderlineStyle; }
    void setBorderlineStyle(const VXStylePtr& style);
    Q_INVOKABLE void clearBorderStyle(QObject* sender = nullptr);
    bool drawsBorderLine() const { return m_drawsBorderLine; }
    void setDrawsBorderLine(bool draws);
    bool gridVisible() const { return m_gridVisible; }
    void setGridVisible(bool visible);
    bool showDragHighlight() const { return m_drop.showDragHighlight(); }

    // --- Label font: read from the horizontal annotation, written to both -----------------------
    QFont font() const;
    void setFont(const QFont& font);
    QString fontName() const;
    // Through the shared font manager, which keeps what it can of the face.
    void setFontName(const QString& family);
    double fontSize() const;
    void setFontSize(double size);
    QColor fontColour() const;
    void setFontColour(const QColor& colour);
    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override;

    // --- Grid references --------------------------------------------------------------------------
    VXQGridReference gridReferenceForPoint(QPointF point) const;
    VXQGridReference gridReferenceForPointWithPrecision(QPointF point, quint64 precision) const;

    // --- Settings ---------------------------------------------------------------------------------
    // Nothing on a locked grid. One undo step, which applies the settings the grid had.
    void applySettings(const QVariantMap& settings);
    QVariantMap settings() const;

    // --- VXQGridInfoProtocol ------------------------------------------------------------------------
    VXDrawing* drawing() const override;
    // The drawing's interior; the zero rectangle outside a drawing.
    QRectF borderRect() const override;
    // Zero when the span is not a positive, finite length.
    double spanLength() const override;
    quint64 divisionsPerSpan() const override;
    // The first border's width and offset.
    double borderAllowance() const override;
    void setNeedsDisplayInRect(const QRectF& rect) const override;

    // --- Layer ------------------------------------------------------------------------------------
    bool isMasterGrid() const override { return false; }
    bool layerMayBecomeActive() const override { return true; }
    QIcon icon() const override;
    void drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const override;
    void drawBorderInContext(const QRectF& rect) const override;
    std::unique_ptr<platform::Menu> menuForEventInView(QPointF point, VXDrawingView* view) override;
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    QStringList pasteboardTypesForOperation(int operation) const override;
    int draggingEntered(const platform::DraggingInfo& info) override;
    int draggingUpdated(const platform::DraggingInfo& info) override;
    void draggingExited(const platform::DraggingInfo& info) override;
    bool performDragOperation(const platform::DraggingInfo& info) override;

    QList<VXStylePtr> allStyles() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    // Damaged archives still give a grid with both annotations, a border and edges 0...15.
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    ZQObjectPtr horizontalAnnotationValue() const { return m_horizontalAnnotation; }
    ZQObjectPtr verticalAnnotationValue() const { return m_verticalAnnotation; }
    QVariantList bordersValue() const;
    void adoptAnnotation(VXQGridAnnotationPtr& field, const VXQGridAnnotationPtr& annotation, bool vertical);
    platform::TextAttributes labelAttributes() const;
    void setLabelAttribute(const char* key, const QString& attribute, const QVariant& value);

    VXQGridAnnotationPtr m_horizontalAnnotation;
    VXQGridAnnotationPtr m_verticalAnnotation;
    int m_annotationEdges = kVXQGridAllEdges;
    QList<VXQGridBorderPtr> m_borders;
    VXStylePtr m_borderlineStyle;
    bool m_drawsBorderLine = true;
    bool m_gridVisible = true;
    BorderStyleDrop m_drop;
};
