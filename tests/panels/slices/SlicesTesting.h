#pragma once

// A drawing with a red square on an object layer and a slices layer, an undo manager whose
// steps the tests close as the end of an event would, and mouse gestures given to the layer
// as the view hands them over.

#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXLayerMouseEvent.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <gtest/gtest.h>

namespace slicestest {

struct SlicesFixture {
    std::unique_ptr<ZQUndoManager> undo = std::make_unique<ZQUndoManager>();
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({400, 300});
    std::shared_ptr<VXObjectDrawingLayer> objects = std::make_shared<VXObjectDrawingLayer>();
    VLTMSlicesLayerPtr layer = std::make_shared<VLTMSlicesLayer>();

    SlicesFixture()
    {
        drawing->setUndoManager(undo.get());
        drawing->addLayer(objects);
        drawing->addLayer(layer);
        objects->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(
            platform::BezierPath::bezierPathWithRect({20, 20, 60, 40}),
            VXStyle::styleWithFillColourStrokeColour(Qt::red, QColor())));
        forgetEdits();
    }
    void endStep() { undo->closeAutomaticGroup(); }
    void forgetEdits()
    {
        endStep();
        undo->removeAllActions();
    }
    VXQSlicePtr addSlice(const QRectF& bounds)
    {
        VXQSlicePtr slice = layer->addNewSlice();
        slice->setBounds(bounds);
        endStep();
        return slice;
    }
    static VXLayerMouseEvent event(QPointF point, platform::ModifierFlags flags = 0)
    {
        return {point, 1, flags};
    }
    // A press, drags through the points and a release at the last, each its own event.
    void drag(QPointF from, const QList<QPointF>& through, platform::ModifierFlags flags = 0)
    {
        layer->mouseDownInView(event(from, flags), nullptr);
        endStep();
        for (const QPointF& point : through) {
            layer->mouseDraggedInView(event(point, flags), nullptr);
            endStep();
        }
        layer->mouseUpInView(event(through.isEmpty() ? from : through.last(), flags), nullptr);
        endStep();
    }
    QList<QRectF> allBounds() const
    {
        QList<QRectF> bounds;
        for (const VXQSlicePtr& slice : layer->slices())
            bounds.append(slice->bounds());
        return bounds;
    }
};

} // namespace slicestest
