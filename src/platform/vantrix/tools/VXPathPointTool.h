#pragma once

// Edits the points of selected paths: a click on a selected path either inserts a point there
// (the shape stays as it was) or deletes the point clicked. Each click that edits is one undo
// step named after the tool. Paths built from parameters (polygons, arcs) have no points to
// edit and are left alone.

#include "platform/vantrix/tools/VXDrawingTool.h"

class VXPathPointTool : public VXDrawingTool {
    Q_OBJECT

public:
    enum class Operation { InsertPoint, DeletePoint };

    explicit VXPathPointTool(Operation operation);

    Operation operation() const { return m_operation; }

    QCursor cursor() const override { return Qt::CrossCursor; }
    // The registered name.
    QString actionName() const override { return registeredName(); }

    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF, int, VXLayer*, QMouseEvent*, VXToolController*) override {}
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                  VXToolController* delegate) override;

private:
    Operation m_operation;
    // The press edited a path; its release reports the change.
    bool m_edited = false;
};
