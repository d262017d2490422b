#pragma once

// A drawing with one object layer and its own undo manager, followed by a Geometry tab.

#include "app/VXQMappingLayer.h"
#include "inspectors/geometry/VLTMGeometryController.h"
#include "inspectors/panes/table/GeometryRowControl.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "widgets/fields/ZQAugmentedTextField.h"

namespace inspectortest {

inline VXDrawablePathPtr straightPath(QPointF from = {10, 10}, QPointF to = {110, 10})
{
    platform::BezierPath path;
    path.moveToPoint(from);
    path.lineToPoint(to);
    return VXDrawablePath::drawablePathWithBezierPath(path);
}

inline VXDrawablePathPtr curvedPath()
{
    platform::BezierPath path;
    path.moveToPoint({10, 10});
    path.curveToPointControlPoint1ControlPoint2({110, 10}, {40, 80}, {80, -60});
    return VXDrawablePath::drawablePathWithBezierPath(path);
}

struct TabFixture {
    ZQUndoManager undo;
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({600, 600});
    std::shared_ptr<VXObjectDrawingLayer> layer = std::make_shared<VXQMappingLayer>();
    std::shared_ptr<VLTMGeometryController> tab = VLTMGeometryController::make();

    TabFixture()
    {
        drawing->setUndoManager(&undo);
        drawing->addLayer(layer);
        drawing->setActiveLayer(layer.get());
        tab->view()->resize(260, 700);
        tab->setDrawing(drawing.get());
        settle();
    }
    ~TabFixture() { tab->setDrawing(nullptr); }

    VXDrawableObjectPtr addShape(const QRectF& rect = QRectF(10, 10, 50, 40))
    {
        VXDrawableObjectPtr shape = VXDrawableShape::drawableShapeWithRect(rect, nullptr);
        layer->addObject(shape);
        return shape;
    }
    template <class Object> std::shared_ptr<Object> add(std::shared_ptr<Object> object)
    {
        layer->addObject(object);
        return object;
    }
    void select(const QList<VXDrawableObjectPtr>& selection)
    {
        layer->exchangeSelectionWithObjectsFromArray(selection);
        settle();
    }
    // Setting up is not an edit.
    void forgetEdits()
    {
        settle();
        undo.closeAutomaticGroup();
        undo.removeAllActions();
    }
    void endStep()
    {
        settle();
        undo.closeAutomaticGroup();
    }
    // The keys of the panes in the stack, top first.
    QStringList installedPanes() const
    {
        QStringList names;
        for (platform::ViewController* pane : tab->installedSubcontrollers())
            names.append(pane->nibName());
        return names;
    }
    template <class Pane> Pane* paneFor(const QString& key) const
    {
        return qobject_cast<Pane*>(tab->subcontrollerForKey(key));
    }
    static void settle() { platform::RunLoop::runUntilIdle(); }
};

// Types text into a row's field and sends its action, as pressing Return does.
inline void typeInto(GeometryRowControl* row, const QString& text)
{
    row->field()->setText(text);
    row->rowAction(row->field());
}

} // namespace inspectortest
