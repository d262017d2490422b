#pragma once

// A drawing for the layers panel: on top object layer "A" with three paths, then group "G"
// holding object layer "B" with two paths, then the slices layer with two slices; an undo
// manager whose steps the tests close as the end of an event would. The panel's view options
// start from their defaults, which every test leaves as it found them.

#include "panels/layers/LayerTreeModel.h"
#include "panels/layers/LayersOutlineView.h"
#include "panels/layers/VLTMLayersController.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <gtest/gtest.h>

namespace layerstest {

inline VXDrawableObjectPtr makePath(double x, const QString& name)
{
    auto path = VXDrawablePath::drawablePathWithBezierPathWithStyle(
        platform::BezierPath::bezierPathWithRect({x, 10, 20, 20}), VXStyle::styleWithFillColourStrokeColour(Qt::red, {}));
    path->setName(name);
    return path;
}

class LayersFixture : public ::testing::Test {
protected:
    std::unique_ptr<ZQUndoManager> undo = std::make_unique<ZQUndoManager>();
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({400, 300});
    VXObjectDrawingLayerPtr a = std::make_shared<VXObjectDrawingLayer>();
    std::shared_ptr<VXLayerGroup> g = std::make_shared<VXLayerGroup>();
    VXObjectDrawingLayerPtr b = std::make_shared<VXObjectDrawingLayer>();
    VLTMSlicesLayerPtr slices = std::make_shared<VLTMSlicesLayer>();

    void SetUp() override
    {
        for (const QString& key : {kVLTMLayersControllerCompactView, kVLTMLayersControllerActiveFollowsSelection,
                                   kVLTMLayersControllerShowsGraphicObjects})
            defaults().setBoolForKey(false, key);
        drawing->setUndoManager(undo.get());
        a->setLayerName(QStringLiteral("A"));
        g->setLayerName(QStringLiteral("G"));
        b->setLayerName(QStringLiteral("B"));
        slices->setLayerName(QStringLiteral("Slices"));
        drawing->addLayer(slices);
        drawing->addLayer(g);
        g->addLayer(b);
        drawing->addLayer(a);
        for (int i = 0; i < 3; ++i)
            a->addObject(makePath(20 + 30 * i, QStringLiteral("a%1").arg(i)));
        for (int i = 0; i < 2; ++i)
            b->addObject(makePath(20 + 30 * i, QStringLiteral("b%1").arg(i)));
        slices->addNewSlice()->setBounds({10, 10, 50, 50});
        slices->addNewSlice()->setBounds({100, 10, 50, 50});
        drawing->setActiveLayer(a.get());
        forgetEdits();
    }
    void TearDown() override
    {
        for (const QString& key : {kVLTMLayersControllerCompactView, kVLTMLayersControllerActiveFollowsSelection,
                                   kVLTMLayersControllerShowsGraphicObjects})
            defaults().setBoolForKey(false, key);
    }
    static platform::UserDefaults& defaults() { return *platform::UserDefaults::standardUserDefaults(); }
    void endStep() { undo->closeAutomaticGroup(); }
    void forgetEdits()
    {
        endStep();
        undo->removeAllActions();
    }
    QString undoName() const { return undo->undoActionName(); }
};

// The fixture's drawing shown in a panel of its own, 320 x 600.
class LayersPanelFixture : public LayersFixture {
protected:
    std::shared_ptr<VLTMLayersController> controller;
    LayersOutlineView* outline = nullptr;

    void SetUp() override
    {
        LayersFixture::SetUp();
        controller = VLTMLayersController::make();
        controller->setDrawing(drawing.get());
        controller->view()->resize(320, 600);
        controller->view()->show();
        outline = controller->outlineView();
    }
    void TearDown() override
    {
        controller.reset();
        LayersFixture::TearDown();
    }
    LayerTreeModel& model() const { return controller->model(); }
    QModelIndex indexOf(const QObject* item) const { return model().indexForItem(item); }
};

} // namespace layerstest
