#pragma once

// "Smart Select": press on a map layer and drag outwards; a circle centred on the press grows
// and shrinks with the pointer, and at every step the layer's selection becomes the visible
// objects within the circle's radius that match the tool's query (all of them without one).
// An info window beside the pointer shows the radius in drawing units and what the query
// looks for. The circle and a cross at its centre are drawn in the marquee style, which
// renders the tool itself: it offers the geometry a style renders.

#include "panels/search/MPSearchQuery.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/tools/VXDrawingTool.h"

#include <QPointer>

class VXDrawing;
class VXQMappingLayer;
class VXToolRegistry;

class VXQSmartSelectTool : public VXDrawingTool, public VXRenderable {
    Q_OBJECT

public:
    static inline const QString kToolName = QStringLiteral("Smart Select");

    VXQSmartSelectTool();
    ~VXQSmartSelectTool() override;

    // Registers an instance without a query under kToolName.
    static void registerWithRegistry(VXToolRegistry& registry);

    // Null selects every object within the radius.
    MPSearchQueryPtr searchQuery() const { return m_query; }
    void setSearchQuery(const MPSearchQueryPtr& query) { m_query = query; }

    QPointF anchor() const { return m_anchor; }
    float radius() const { return m_radius; }
    // The circle's square; null outside a drag.
    QRectF circleRect() const { return m_rect; }
    // "Radius: 0.35cm\r" and the query's description.
    QString infoString(const VXDrawing& drawing) const;

    bool isValidTargetLayer(const VXLayer* layer) const override;
    bool isSelectionTool() const override { return true; }
    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                       VXToolController* delegate) override;
    // The selection made while dragging stays; nothing to undo.
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                  VXToolController* delegate) override;
    void abandonGesture() override;
    void drawRectInView(QPainter& painter, const QRectF& rect, VXDrawingView* view) const override;

    // --- What the marquee style renders ------------------------------------------------------------
    // The circle and an 8-point × at its centre.
    platform::BezierPath renderingPath() const override;
    double angle() const override { return 0; }
    QSizeF size() const override { return bounds().size(); }
    QPointF location() const override { return bounds().center(); }
    QRectF bounds() const override;
    QTransform containerTransform() const override { return {}; }
    quint64 geometryChecksum() const override { return 0; }

private:
    // The circle's square grown by a point, so its outline is redrawn whole.
    void invalidateCircle(VXLayer& layer) const;
    void endGesture();

    QPointF m_anchor;
    float m_radius = 0;
    QRectF m_rect;
    MPSearchQueryPtr m_query;
    QPointer<VXQMappingLayer> m_layer;
};
