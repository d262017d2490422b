#pragma once

// Scrolls the view by dragging the drawing under the pointer.

#include "platform/vantrix/tools/VXDrawingTool.h"

class VXPanTool : public VXDrawingTool {
    Q_OBJECT

public:
    QCursor cursor() const override { return Qt::OpenHandCursor; }
    bool isValidTargetLayer(const VXLayer*) const override { return true; }

    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                  VXToolController* delegate) override;

private:
    QPointF m_lastViewportPoint;
};
