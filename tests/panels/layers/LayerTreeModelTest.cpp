#include "panels/layers/LayerTreeModel.h"

#include "LayersTesting.h"

#include <QAbstractItemModelTester>

using layerstest::LayersFixture;

namespace {

class LayerTreeModelTest : public LayersFixture {
protected:
    LayerTreeModel model;
    // Checks every signal the model sends against the rows it reports.
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};

    void SetUp() override
    {
        LayersFixture::SetUp();
        model.setDrawing(drawing.get());
    }
    QModelIndex indexOf(const QObject* item) const { return model.indexForItem(item); }
};

TEST_F(LayerTreeModelTest, TreeShowsDrawingLayersTopFirstAndObjectsTopMostFirst)
{
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.itemForIndex(model.index(0, 0)), drawing.get());
    const QModelIndex root = model.index(0, 0);
    ASSERT_EQ(model.rowCount(root), 3);
    EXPECT_EQ(model.itemForIndex(model.index(0, 0, root)), a.get());
    EXPECT_EQ(model.itemForIndex(model.index(1, 0, root)), g.get());
    EXPECT_EQ(model.itemForIndex(model.index(2, 0, root)), slices.get());
    EXPECT_EQ(model.rowCount(indexOf(g.get())), 1);

    // Without object rows, object and slice layers have no disclosure.
    EXPECT_EQ(model.rowCount(indexOf(a.get())), 0);
    EXPECT_FALSE(model.hasChildren(indexOf(a.get())));
    EXPECT_FALSE(model.hasChildren(indexOf(slices.get())));
    EXPECT_TRUE(model.hasChildren(indexOf(g.get())));

    model.setShowsGraphicObjects(true);
    const QModelIndex layerA = indexOf(a.get());
    ASSERT_EQ(model.rowCount(layerA), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(model.itemForIndex(model.index(row, 0, layerA)), a->objectInObjectsAtIndex(2 - row).get())
            << "child " << row;
    const QModelIndex layerS = indexOf(slices.get());
    ASSERT_EQ(model.rowCount(layerS), 2);
    EXPECT_EQ(model.itemForIndex(model.index(0, 0, layerS)), slices->slices().at(1).get());
    EXPECT_EQ(model.itemForIndex(model.index(1, 0, layerS)), slices->slices().at(0).get());
    EXPECT_EQ(LayerTreeModel::objectIndexForChildRow(10, 0), 9);
    EXPECT_EQ(LayerTreeModel::childRowForObjectIndex(10, 9), 0);

    // Hiding the top row lifts the drawing's layers to the top level.
    model.setShowsRoot(false);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.itemForIndex(model.index(1, 0)), g.get());
    EXPECT_FALSE(indexOf(drawing.get()).isValid());
    EXPECT_FALSE(indexOf(a.get()).parent().isValid());
}

TEST_F(LayerTreeModelTest, EveryItemFindsItsRowAndParent)
{
    model.setShowsGraphicObjects(true);
    QList<QObject*> items{drawing.get(), a.get(), g.get(), b.get(), slices.get()};
    for (const auto& object : a->objects())
        items.append(object.get());
    for (const auto& object : b->objects())
        items.append(object.get());
    for (const auto& slice : slices->slices())
        items.append(slice.get());
    for (QObject* item : items) {
        const QModelIndex index = indexOf(item);
        ASSERT_TRUE(index.isValid()) << item->metaObject()->className();
        EXPECT_EQ(model.itemForIndex(index), item);
        EXPECT_EQ(model.itemForIndex(index.parent()), model.parentOfItem(item));
        EXPECT_EQ(model.index(index.row(), 1, index.parent()), indexOf(item).siblingAtColumn(1));
    }
    // Items of another drawing, or none, have no row.
    EXPECT_FALSE(indexOf(layerstest::makePath(0, QStringLiteral("loose")).get()).isValid());
    EXPECT_FALSE(indexOf(nullptr).isValid());
    EXPECT_EQ(model.itemForIndex(model.index(7, 0, indexOf(a.get()))), nullptr);
}

TEST_F(LayerTreeModelTest, ObjectRowsFollowAddingRemovingAndReordering)
{
    model.setShowsGraphicObjects(true);
    const QModelIndex layerA = indexOf(a.get());
    ASSERT_EQ(model.rowCount(layerA), 3);
    // A row held across a removal must not keep the removed object.
    const QPersistentModelIndex topRow = model.index(0, 0, layerA);
    const VXDrawableObjectPtr top = a->objectInObjectsAtIndex(2);
    a->removeObject(top.get());
    EXPECT_EQ(model.rowCount(layerA), 2);
    EXPECT_FALSE(topRow.isValid());
    EXPECT_EQ(model.itemForIndex(model.index(0, 0, layerA)), a->objectInObjectsAtIndex(1).get());

    a->addObjectsFromArray({layerstest::makePath(200, QStringLiteral("n1")), layerstest::makePath(230, QStringLiteral("n2"))});
    EXPECT_EQ(model.rowCount(layerA), 4);
    EXPECT_EQ(model.data(model.index(0, 0, layerA)).toString(), QStringLiteral("n2"));

    a->moveObjectToIndex(a->objectInObjectsAtIndex(0).get(), 3);
    EXPECT_EQ(model.data(model.index(0, 0, layerA)).toString(), QStringLiteral("a0"));

    // Undo brings the removed object back as a row.
    undo->closeAutomaticGroup();
    undo->undo();
    EXPECT_EQ(model.rowCount(layerA), 3);
}

TEST_F(LayerTreeModelTest, LayerChangesResetAndOtherDrawingsAreIgnored)
{
    int resets = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });
    auto added = std::make_shared<VXObjectDrawingLayer>();
    g->addLayer(added);
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(model.rowCount(indexOf(g.get())), 2);
    drawing->removeLayer(g.get());
    EXPECT_EQ(resets, 2);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 2);
    EXPECT_FALSE(indexOf(added.get()).isValid());

    // A group no longer in the drawing, and another drawing, change nothing here.
    g->addLayer(std::make_shared<VXObjectDrawingLayer>());
    VXDrawingPtr other = VXDrawing::drawingWithSize({100, 100});
    other->addLayer(std::make_shared<VXObjectDrawingLayer>());
    EXPECT_EQ(resets, 2);

    // While a move is under way the model waits to be told.
    model.setIgnoresLayerChanges(true);
    drawing->moveLayerToIndex(a.get(), 1);
    EXPECT_EQ(resets, 2);
    model.setIgnoresLayerChanges(false);
    model.reloadData();
    EXPECT_EQ(model.itemForIndex(model.index(1, 0, model.index(0, 0))), a.get());
}

TEST_F(LayerTreeModelTest, PropertyChangesRedrawTheLayersRow)
{
    QList<QModelIndex> changed;
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& first, const QModelIndex&) { changed.append(first); });
    b->setLocked(true);
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_EQ(model.itemForIndex(changed.last()), b.get());
    changed.clear();
    a->selectAll();
    EXPECT_TRUE(std::any_of(changed.begin(), changed.end(),
                            [&](const QModelIndex& index) { return model.itemForIndex(index) == a.get(); }));
}

TEST_F(LayerTreeModelTest, RenamingRefusesEmptyNamesAndCleansTypedOnes)
{
    model.setShowsGraphicObjects(true);
    EXPECT_FALSE(model.setData(indexOf(a.get()), QStringLiteral("  \n ")));
    EXPECT_EQ(a->layerName(), QStringLiteral("A"));
    EXPECT_TRUE(model.setData(indexOf(a.get()), QStringLiteral("Roads\nand\rpaths")));
    EXPECT_EQ(a->layerName(), QStringLiteral("Roads and paths"));
    EXPECT_TRUE(model.setData(indexOf(a.get()), QString(1000, u'x')));
    EXPECT_EQ(a->layerName().size(), LayerTreeModel::kMaximumNameLength);

    // Neither the drawing nor a locked layer or object is renamed.
    EXPECT_FALSE(model.setData(indexOf(drawing.get()), QStringLiteral("Map")));
    b->setLocked(true);
    EXPECT_FALSE(model.flags(indexOf(b.get())) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(indexOf(b.get()), QStringLiteral("Rivers")));

    const VXDrawableObjectPtr object = a->objectInObjectsAtIndex(0);
    EXPECT_TRUE(model.setData(indexOf(object.get()), QStringLiteral("Church")));
    EXPECT_EQ(object->name(), QStringLiteral("Church"));
    EXPECT_TRUE(object->hasUserAssignedName());
    object->setLocked(true);
    EXPECT_FALSE(model.setData(indexOf(object.get()), QStringLiteral("Chapel")));

    // A slice keeps the text without its digits as its title.
    const VXQSlicePtr slice = slices->slices().first();
    EXPECT_TRUE(model.setData(indexOf(slice.get()), QStringLiteral("Area 51")));
    EXPECT_EQ(slice->title(), QStringLiteral("Area "));
}

TEST(LayerIcons, EveryKindsArtworkIsInTheBundle)
{
    for (const QString& name : {QStringLiteral("VL_Generic_Layer_Icon"), QStringLiteral("VL_Layer_Group-Template"),
                                QStringLiteral("VL_Layer_Drawing-Template"), QStringLiteral("VL_Layer_Guides-Template"),
                                QStringLiteral("VL_Layer_GraphPaper-Template"), QStringLiteral("VL_Layer_Show-Template"),
                                QStringLiteral("VL_Layer_Hide-Template"), QStringLiteral("VL_Layer_Opacity3-Template"),
                                QStringLiteral("VL_Layer_Lock-Template"), QStringLiteral("VL_Layer_Unlock-Template")})
        EXPECT_FALSE(VXLayer::iconNamed(name).pixmap(16, 16).isNull()) << qPrintable(name);
}

} // namespace
