#include "panels/layers/LayerDropRules.h"
#include "panels/layers/LayerTreeModel.h"

#include "LayersTesting.h"

using layerstest::LayersFixture;

namespace {

// A drag as the outline would run it, without a pointer: the items go into the slot, the drop
// is validated and accepted at a proposed place.
class LayerDragTest : public LayersFixture {
protected:
    std::shared_ptr<VLTMLayersController> controller;
    std::shared_ptr<VXLayerGroup> h = std::make_shared<VXLayerGroup>();
    VXObjectDrawingLayerPtr c = std::make_shared<VXObjectDrawingLayer>();

    void SetUp() override
    {
        LayersFixture::SetUp();
        h->setLayerName(QStringLiteral("H"));
        c->setLayerName(QStringLiteral("C"));
        g->addLayer(c); // g: c, b
        drawing->insertObjectInLayersAtIndex(h, 1);
        forgetEdits();
        controller = VLTMLayersController::make();
        controller->setDrawing(drawing.get());
        controller->view();
    }
    void TearDown() override
    {
        LayerDropRules::setDraggedItems({});
        controller.reset();
        LayersFixture::TearDown();
    }
    bool drop(const QList<QObject*>& items, QObject* onto, int index)
    {
        const QString type = LayerDropRules::pasteboardTypeForDraggedItems(items);
        if (type.isEmpty())
            return false;
        LayerDropRules::setDraggedItems(items);
        return controller->acceptDrop(type, onto, index);
    }
    bool accepts(const QList<QObject*>& items, QObject* onto, int index) const
    {
        return LayerDropRules::validateDrop(LayerDropRules::pasteboardTypeForDraggedItems(items), items, onto, index,
                                            drawing.get(), controller->showsRoot())
            .accepted;
    }
};

TEST_F(LayerDragTest, DragsStartOnlyFromMovableRows)
{
    EXPECT_EQ(LayerDropRules::pasteboardTypeForDraggedItems({a.get()}), kVLTMLayerDragPasteboardType);
    EXPECT_EQ(LayerDropRules::pasteboardTypeForDraggedItems({a->objectInObjectsAtIndex(0).get()}),
              kVLTMDrawableRowPasteboardType);
    EXPECT_TRUE(LayerDropRules::pasteboardTypeForDraggedItems({drawing.get()}).isEmpty());
    EXPECT_TRUE(LayerDropRules::pasteboardTypeForDraggedItems({}).isEmpty());
    b->setLocked(true);
    EXPECT_TRUE(LayerDropRules::pasteboardTypeForDraggedItems({b.get()}).isEmpty());
    a->objectInObjectsAtIndex(1)->setLocked(true);
    EXPECT_TRUE(LayerDropRules::pasteboardTypeForDraggedItems({a->objectInObjectsAtIndex(1).get()}).isEmpty());
    // Slice rows are never dragged: they are no drawable objects.
    EXPECT_TRUE(LayerDropRules::pasteboardTypeForDraggedItems({slices->slices().first().get()}).isEmpty());
    // Nor is anything that lies in no drawing.
    EXPECT_TRUE(LayerDropRules::pasteboardTypeForDraggedItems({layerstest::makePath(0, QStringLiteral("x")).get()})
                    .isEmpty());
}

TEST_F(LayerDragTest, LayersMoveWithinAndBetweenGroups)
{
    // g holds c (0) and b (1); dropped at position 2, c lands at 1: the position counts its slot.
    ASSERT_EQ(g->indexOfLayer(c.get()), 0);
    ASSERT_TRUE(drop({c.get()}, g.get(), 2));
    EXPECT_EQ(g->indexOfLayer(c.get()), 1);
    EXPECT_EQ(undoName(), QStringLiteral("Move Layer"));
    EXPECT_EQ(controller->selectedItems(), QList<QObject*>{c.get()});
    endStep();
    undo->undo();
    EXPECT_EQ(g->indexOfLayer(c.get()), 0);

    // Onto another group's row it goes first there; onto its own group's row it is refused.
    EXPECT_FALSE(accepts({c.get()}, g.get(), -1));
    ASSERT_TRUE(drop({c.get()}, h.get(), -1));
    EXPECT_EQ(h->indexOfLayer(c.get()), 0);
    EXPECT_EQ(g->countOfLayers(), 1);
    endStep();
    undo->undo();
    EXPECT_EQ(g->indexOfLayer(c.get()), 0);
    EXPECT_EQ(h->countOfLayers(), 0);

    // Between rows of the drawing: out of its group, to that place.
    ASSERT_TRUE(drop({c.get()}, drawing.get(), 1));
    EXPECT_EQ(drawing->indexOfLayer(c.get()), 1);
    EXPECT_EQ(LayerDropRules::draggedItems(), QList<QObject*>());
}

TEST_F(LayerDragTest, RefusedLayerDropsChangeNothing)
{
    // Onto empty space, onto the drawing's row and above the drawing's row.
    EXPECT_FALSE(accepts({a.get()}, nullptr, -1));
    EXPECT_FALSE(accepts({b.get()}, drawing.get(), -1));
    EXPECT_FALSE(accepts({a.get()}, nullptr, 0));
    // Onto a row that is no group.
    EXPECT_FALSE(accepts({a.get()}, b.get(), -1));
    EXPECT_FALSE(accepts({a.get()}, a->objectInObjectsAtIndex(0).get(), 0));
    // A group into itself or into a group it holds.
    auto inner = std::make_shared<VXLayerGroup>();
    g->addLayer(inner);
    EXPECT_FALSE(accepts({g.get()}, g.get(), 0));
    EXPECT_FALSE(accepts({g.get()}, inner.get(), -1));
    EXPECT_FALSE(controller->moveLayer(g.get(), nullptr, inner.get(), 0));
    EXPECT_EQ(inner->countOfLayers(), 0);
    // Into a locked group.
    h->setLocked(true);
    EXPECT_FALSE(accepts({a.get()}, h.get(), -1));
    EXPECT_FALSE(drop({a.get()}, h.get(), -1));
    EXPECT_EQ(h->countOfLayers(), 0);
    EXPECT_EQ(drawing->indexOfLayer(a.get()), 0);
}

TEST_F(LayerDragTest, DropsFromAnotherDrawingAreRefused)
{
    VXDrawingPtr other = VXDrawing::drawingWithSize({100, 100});
    auto stranger = std::make_shared<VXObjectDrawingLayer>();
    other->addLayer(stranger);
    stranger->addObject(layerstest::makePath(0, QStringLiteral("s")));
    EXPECT_FALSE(drop({stranger.get()}, g.get(), 0));
    EXPECT_FALSE(drop({stranger->objectInObjectsAtIndex(0).get()}, a.get(), -1));
    EXPECT_EQ(g->countOfLayers(), 2);
    EXPECT_EQ(a->countOfObjects(), 3);
    EXPECT_EQ(stranger->countOfObjects(), 1);
}

TEST_F(LayerDragTest, ObjectsMoveToAnotherLayerKeepingTheirOrder)
{
    const VXDrawableObjectPtr a0 = a->objectInObjectsAtIndex(0);
    const VXDrawableObjectPtr a2 = a->objectInObjectsAtIndex(2);
    // Dragged in row order (top-most first), dropped onto b's row: above b's top-most object.
    ASSERT_TRUE(drop({a2.get(), a0.get()}, b.get(), -1));
    ASSERT_EQ(b->countOfObjects(), 4);
    EXPECT_EQ(b->objectInObjectsAtIndex(2), a0);
    EXPECT_EQ(b->objectInObjectsAtIndex(3), a2);
    EXPECT_EQ(a->countOfObjects(), 1);
    const QList<VXDrawableObjectPtr> selected = b->selection();
    EXPECT_EQ(selected, (QList<VXDrawableObjectPtr>{a0, a2}));
    EXPECT_EQ(undoName(), QStringLiteral("Move Objects To Layer"));
    endStep();
    undo->undo();
    EXPECT_EQ(a->countOfObjects(), 3);
    EXPECT_EQ(a->objectInObjectsAtIndex(0), a0);
    EXPECT_EQ(a->objectInObjectsAtIndex(2), a2);
    EXPECT_EQ(b->countOfObjects(), 2);

    // At row position 2 of b (two objects): below both, at the bottom.
    ASSERT_TRUE(drop({a2.get()}, b.get(), 2));
    EXPECT_EQ(b->objectInObjectsAtIndex(0), a2);

    // Only an unlocked object layer takes objects.
    EXPECT_FALSE(accepts({a0.get()}, g.get(), 0));
    EXPECT_FALSE(accepts({a0.get()}, slices.get(), 0));
    c->setLocked(true);
    EXPECT_FALSE(accepts({a0.get()}, c.get(), -1));
}

TEST_F(LayerDragTest, ObjectsReorderWithinTheirLayer)
{
    const VXDrawableObjectPtr a0 = a->objectInObjectsAtIndex(0);
    // Row position 0 is above the top-most object.
    ASSERT_TRUE(drop({a0.get()}, a.get(), 0));
    EXPECT_EQ(a->objectInObjectsAtIndex(2), a0);
    EXPECT_EQ(undoName(), QStringLiteral("Change Object Order"));
    endStep();
    undo->undo();
    EXPECT_EQ(a->objectInObjectsAtIndex(0), a0);
}

} // namespace
