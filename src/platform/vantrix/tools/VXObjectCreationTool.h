#pragma once

// Makes objects by dragging: each gesture copies the prototype, gives the copy the drawing's
// own copy of the style for created objects (the tool serves every document), shows it as the layer's pending object while the pointer moves, and on
// release commits it as one undo step named after the tool. A gesture that leaves the object
// without extent creates nothing.
//
// How the drag shapes the copy depends on the kind of prototype: shapes fill the dragged
// rectangle, lines run from the press to the pointer, figures about a centre (regular
// polygons) grow from the press point, paths and polygons are built click by click (a double
// click, or a click on the first point, ends them), freehand paths follow the drag and are
// simplified on release, and arcs take centre, radius and start angle from the drag, then
// their end angle from the pointer until the next click. An arc shows its prototype's sweep
// while it is dragged out and keeps it until the pointer moves on; a dashed circle through
// the pointer shows where the end will fall. A new text shape or text path opens for editing
// in place when VXTextShape::startEditingOnObjectCreation(), its placeholder string selected
// so that typing replaces it; a click on text of the tool's kind edits it.

#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/tools/VXDrawingTool.h"

#include <QList>
#include <QPointer>

class VXDrawableObject;
class VXDrawing;
class VXObjectOwnerLayer;
using VXDrawableObjectPtr = std::shared_ptr<VXDrawableObject>;

inline const QString kVXDrawingToolCreatedObjectsStyleDidChange =
    QStringLiteral("kVXDrawingToolCreatedObjectsStyleDidChange");

class VXObjectCreationTool : public VXDrawingTool {
    Q_OBJECT

public:
    enum class Geometry {
        Box,            // location and size from the dragged rectangle
        Line,           // a path from the press to the pointer
        Radial,         // centred on the press, radius to the pointer
        ClickedPoints,  // a path through the points clicked
        ClickedPolygon, // a closed path through the points clicked
        Freehand,       // a path through the pointer's track, simplified on release
        Arc,            // an arc about the press: drag for radius and start angle, click for the end angle
    };

    VXObjectCreationTool(const VXDrawableObjectPtr& prototype, Geometry geometry);
    ~VXObjectCreationTool() override;

    // The style every creation tool gives new objects when it has none of its own (null: the prototype's).
    static VXStylePtr styleForCreatedObjects();
    // Posts kVXDrawingToolCreatedObjectsStyleDidChange.
    static void setStyleForCreatedObjects(const VXStylePtr& style);

    virtual VXDrawableObjectPtr prototype() const { return m_prototype; }
    Geometry geometry() const { return m_geometry; }
    // This tool's own style for new objects; null defers to styleForCreatedObjects.
    virtual VXStylePtr style() const { return m_style; }
    void setStyle(const VXStylePtr& style) { m_style = style; }

    QCursor cursor() const override { return Qt::CrossCursor; }
    // New objects take the style picked in a library.
    int supportedLibraryItemKind() const override { return 1; }
    // "New <registered name>".
    QString actionName() const override;
    bool isInMultiClickGesture() const override;

    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                  VXToolController* delegate) override;
    void mouseMovedInView(QMouseEvent* event, VXDrawingView* view) override;
    // The circle an arc being made lies on, and the line from its centre to the pointer.
    void drawRectInView(QPainter& painter, const QRectF& rect, VXDrawingView* view) const override;
    void abandonGesture() override { cancel(); }
    void toolControllerWillUnsetTool(VXToolController* controller) override { cancel(); }

protected:
    // The pointer snapped to the drawing's grid and guides as they are set (the Control flag
    // turns grid snapping the other way).
    static QPointF snapped(QPointF point, const VXLayer* layer, const QMouseEvent* event);

private:
    VXDrawableObjectPtr makeObject(VXDrawing* drawing) const;
    bool buildsClickByClick() const;
    // Arcs: the drag has set the radius and the pointer now sets the end angle.
    bool isSettingEndAngle() const { return m_geometry == Geometry::Arc && m_points.size() > 1; }
    bool shapePathTo(QPointF pointer);
    bool shapeArcTo(QPointF pointer);
    // The part of the view the arc's guide covers; empty without one.
    QRectF arcGuideRect() const;
    // Redraws where the guide was and is.
    void redrawArcGuide(const QRectF& before) const;
    // Shapes the object for the points so far plus `pointer`; answers whether it has extent.
    bool shapeObjectTo(QPointF pointer);
    // A click of a text box tool away from text: the prototype's size, its top left corner at
    // `pointer`. Answers whether it shaped the object.
    bool shapeClickedText(QPointF pointer);
    // shapeObjectTo for the object the layer shows pending.
    bool reshapePendingObject(QPointF pointer);
    // Drops the pending object; nothing is created.
    void cancel();
    // Commits the object when it has extent; answers whether it did.
    bool finish(QPointF pointer);

    VXDrawableObjectPtr m_prototype;
    Geometry m_geometry;
    VXStylePtr m_style;
    // The gesture in progress.
    VXDrawableObjectPtr m_object;
    QPointer<VXObjectOwnerLayer> m_layer;
    QPointer<VXDrawingView> m_view;
    QList<QPointF> m_points;
    QPointF m_pointer;
    // A path finished on a mouse down reports its creation on the mouse up that follows.
    bool m_createdOnLastClick = false;
    // Text of the tool's kind under the press: a click without extent edits it.
    VXDrawableObjectPtr m_pressedText;
};
