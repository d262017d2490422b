#pragma once

// Random map objects for benchmarks that need a busy drawing: boxes of 8 to 60 points, and
// a mix of rectangles, ovals and wandering polylines, from the caller's generator; and the
// drawing of one active object layer (a plain one unless given) with its own undo manager
// that they go into.

#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QPolygonF>
#include <QRandomGenerator>
#include <cmath>
#include <functional>

namespace benchscene {

struct OneLayerDrawing {
    explicit OneLayerDrawing(QSizeF paper,
                             std::shared_ptr<VXObjectDrawingLayer> objectLayer = std::make_shared<VXObjectDrawingLayer>())
        : drawing(VXDrawing::drawingWithSize(paper))
        , layer(std::move(objectLayer))
    {
        drawing->setUndoManager(&undo);
        drawing->addLayer(layer);
        drawing->setActiveLayer(layer.get());
    }

    ZQUndoManager undo;
    VXDrawingPtr drawing;
    std::shared_ptr<VXObjectDrawingLayer> layer;
};

// A box of 8 to 60 points each way somewhere on `paper`.
inline QRectF randomBox(QRandomGenerator& random, QSizeF paper)
{
    const QPointF origin(random.bounded(paper.width() - 60), random.bounded(paper.height() - 60));
    return {origin, QSizeF(8 + random.bounded(52.0), 8 + random.bounded(52.0))};
}

// Four in ten rectangles, three ovals, three polylines of 8 to 20 vertices wandering from the
// box's corner. The area style is asked for every object, the line style after the line is made.
inline VXDrawableObjectPtr randomObject(QRandomGenerator& random, QSizeF paper,
                                        const std::function<VXStylePtr()>& areaStyle,
                                        const std::function<VXStylePtr()>& lineStyle)
{
    const QRectF box = randomBox(random, paper);
    const VXStylePtr area = areaStyle();
    switch (random.bounded(10)) {
    case 0: case 1: case 2: case 3:
        return VXDrawableShape::drawableShapeWithRect(box, area);
    case 4: case 5: case 6:
        return VXDrawableShape::drawableShapeWithOvalInRect(box, area);
    default: {
        QPolygonF line;
        QPointF p = box.topLeft();
        double heading = random.bounded(2 * M_PI);
        for (int v = 0, vertices = 8 + random.bounded(13); v < vertices; ++v) {
            line << p;
            heading += random.bounded(0.8) - 0.4;
            p += QPointF(std::cos(heading), std::sin(heading)) * (3 + random.bounded(5.0));
        }
        platform::BezierPath path;
        path.appendBezierPathWithPoints(line);
        return VXDrawablePath::drawablePathWithBezierPathWithStyle(path, lineStyle());
    }
    }
}

} // namespace benchscene
