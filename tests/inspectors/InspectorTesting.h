#pragma once

// A drawing with one mapping layer and its own undo manager, followed by an inspector tab.

#include "app/document/VXQMappingLayer.h"
#include "inspectors/geometry/VLTMGeometryController.h"
#include "inspectors/panes/table/GeometryRowControl.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "support/UndoableDrawing.h"
#include "widgets/fields/ZQAugmentedTextField.h"

#include <QTest>

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

// The tab sees the drawing from the start and lets it go at the end; `viewSize` gives its
// panes room to lay out.
template <class Tab> struct InspectorTabFixture : testsupport::UndoableDrawing<VXQMappingLayer> {
    std::shared_ptr<Tab> tab;

    InspectorTabFixture(std::shared_ptr<Tab> inspectorTab, QSize viewSize)
        : UndoableDrawing({600, 600})
        , tab(std::move(inspectorTab))
    {
        tab->view()->resize(viewSize);
        tab->setDrawing(drawing.get());
        settle();
    }
    ~InspectorTabFixture() { tab->setDrawing(nullptr); }

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
        forget();
    }
    void endStep()
    {
        settle();
        undo.closeAutomaticGroup();
    }
    static void settle() { platform::RunLoop::runUntilIdle(); }
};

// A Geometry tab.
struct TabFixture : InspectorTabFixture<VLTMGeometryController> {
    TabFixture() : InspectorTabFixture(VLTMGeometryController::make(), {260, 700}) {}

    VXDrawableObjectPtr addShape(const QRectF& rect = QRectF(10, 10, 50, 40))
    {
        VXDrawableObjectPtr shape = VXDrawableShape::drawableShapeWithRect(rect, nullptr);
        layer->addObject(shape);
        return shape;
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
};

// Types text into a row's field and sends its action, as pressing Return does.
// Types over the field's text and presses Return, as a user would: a field whose action is
// not connected changes nothing.
inline void typeInto(GeometryRowControl* row, const QString& text)
{
    ZQAugmentedTextField* field = row->field();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

} // namespace inspectortest
