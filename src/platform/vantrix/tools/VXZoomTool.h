#pragma once

// Zooms the view: a click doubles the scale about the pointer (halves it when the tool zooms
// out, or with Alt), a drag zooms to the rectangle dragged.

#include "platform/vantrix/tools/VXDrawingTool.h"

#include <QPointer>

class VXZoomTool : public VXDrawingTool {
    Q_OBJECT

public:
    bool zoomsOut() const { return m_zoomsOut; }
    void setZoomsOut(bool zoomsOut) { m_zoomsOut = zoomsOut; }

    QCursor cursor() const override { return Qt::CrossCursor; }
    bool isValidTargetLayer(const VXLayer*) const override { return true; }

    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                  VXToolController* delegate) override;
    void drawRectInView(QPainter& painter, const QRectF& rect, VXDrawingView* view) const override;

private:
    bool m_zoomsOut = false;
    QPointF m_anchor;
    QRectF m_zoomRect;
};
