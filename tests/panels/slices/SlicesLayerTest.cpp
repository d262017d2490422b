#include "SlicesTesting.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/tools/VXZoomTool.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QObject>
#include <QTest>

using slicestest::SlicesFixture;

namespace {

// Every notification of the layer, in order, with the names of its user-info keys.
struct NotificationLog {
    QObject receiver;
    QStringList names;
    QList<QVariantMap> infos;

    explicit NotificationLog(VLTMSlicesLayer* layer)
    {
        for (const QString& name :
             {kVLTMSlicesLayerWillAddSlice, kVLTMSlicesLayerDidAddSlice, kVLTMSlicesLayerWillRemoveSlice,
              kVLTMSlicesLayerDidRemoveSlice, kVLTMSliceLayerWillChangeSelection, kVLTMSlicesLayerDidChangeSelection,
              kVLTMSlicesLayerToolModeDidChange})
            platform::NotificationCenter::defaultCenter().addObserver(&receiver, name, layer,
                                                                      [this](const platform::Notification& n) {
                                                                          names.append(n.name);
                                                                          infos.append(n.userInfo);
                                                                      });
    }
};

ZQObjectPtr infoSlice(const QVariantMap& info) { return info.value(QStringLiteral("slice")).value<ZQObjectPtr>(); }

} // namespace

TEST(SlicesLayerTest, DrawModeKeepsOnlySlicesLargerThanFourPointsAndAddsOneUndoStep)
{
    SlicesFixture f;
    ASSERT_EQ(f.layer->toolMode(), kVLTMSlicesDrawMode);
    // A click makes nothing lasting, a 4 × 30 drag is discarded: neither leaves an undo step.
    f.drag({50.7, 60.2}, {});
    f.drag({50, 60}, {{52, 70}, {54, 90}});
    EXPECT_EQ(f.layer->countOfSlices(), 0);
    EXPECT_FALSE(f.undo->canUndo());

    f.drag({50.7, 60.2}, {{53, 62}, {55.9, 65.5}});
    ASSERT_EQ(f.layer->countOfSlices(), 1);
    const VXQSlicePtr slice = f.layer->slices().first();
    EXPECT_EQ(slice->bounds(), QRectF(50, 60, 5, 5)); // floored points
    EXPECT_EQ(slice->name(), QStringLiteral("Slice 1"));
    EXPECT_TRUE(f.layer->isSelectedSlice(slice.get()));
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Add Slice"));
    f.undo->undo();
    EXPECT_EQ(f.layer->countOfSlices(), 0);
    EXPECT_EQ(f.undo->redoActionName(), QStringLiteral("Add Slice"));
    f.undo->redo();
    ASSERT_EQ(f.layer->countOfSlices(), 1);
    EXPECT_EQ(f.layer->slices().first()->bounds(), QRectF(50, 60, 5, 5));

    // Drawn up and to the left, the rectangle still spans both corners.
    f.drag({200, 200}, {{150, 120}});
    EXPECT_EQ(f.layer->slices().last()->bounds(), QRectF(150, 120, 50, 80));
}

TEST(SlicesLayerTest, MovingTheSelectionIsOneStepRestoringBoundsAndSelection)
{
    SlicesFixture f;
    const VXQSlicePtr a = f.addSlice({10, 10, 40, 30});
    const VXQSlicePtr b = f.addSlice({100, 10, 40, 30});
    const VXQSlicePtr c = f.addSlice({200, 10, 40, 30});
    f.layer->setToolMode(kVLTMSlicesSelectMode);
    f.layer->selectAll();
    f.forgetEdits();

    f.drag({20, 20}, {{25, 30}, {35, 50}});
    EXPECT_EQ(f.allBounds(), (QList<QRectF>{{25, 40, 40, 30}, {115, 40, 40, 30}, {215, 40, 40, 30}}));
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Move Slices"));

    f.layer->deselectAll();
    f.undo->undo();
    EXPECT_EQ(f.allBounds(), (QList<QRectF>{{10, 10, 40, 30}, {100, 10, 40, 30}, {200, 10, 40, 30}}));
    EXPECT_EQ(f.layer->selectedSlices().size(), 3);
    EXPECT_FALSE(f.undo->canUndo());
    f.undo->redo();
    EXPECT_EQ(c->bounds(), QRectF(215, 40, 40, 30));

    // One selected slice: "Move Slice".
    f.layer->deselectAll();
    f.drag({120, 45}, {{121, 46}});
    EXPECT_EQ(f.layer->selectedSlices(), QList<VXQSlicePtr>{b});
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Move Slice"));
    EXPECT_EQ(a->bounds(), QRectF(25, 40, 40, 30));
}

TEST(SlicesLayerTest, CornerDragResizesFromTheOriginAndDragsOffSlicesDoNothing)
{
    SlicesFixture f;
    const VXQSlicePtr slice = f.addSlice({10, 20, 100, 50});
    f.layer->setToolMode(kVLTMSlicesSelectMode);
    f.forgetEdits();

    f.drag({108, 68}, {{150, 100}});
    EXPECT_EQ(slice->bounds(), QRectF(10, 20, 140, 80));
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Resize Slice"));
    f.undo->undo();
    EXPECT_EQ(slice->bounds(), QRectF(10, 20, 100, 50));

    // Pressing on empty space clears the selection; dragging from there moves nothing.
    f.layer->selectAll();
    f.forgetEdits();
    f.drag({300, 250}, {{320, 280}});
    EXPECT_EQ(slice->bounds(), QRectF(10, 20, 100, 50));
    EXPECT_TRUE(f.layer->selectedSlices().isEmpty());
    EXPECT_FALSE(f.undo->canUndo());
    // With Shift held the press keeps the selection, and the drag still does nothing.
    f.layer->selectAll();
    f.drag({300, 250}, {{320, 280}}, platform::ShiftKeyMask);
    EXPECT_EQ(f.layer->selectedSlices().size(), 1);
    EXPECT_EQ(slice->bounds(), QRectF(10, 20, 100, 50));
}

TEST(SlicesLayerTest, ShiftAndCommandClicksExtendAndTrimTheSelection)
{
    SlicesFixture f;
    const VXQSlicePtr a = f.addSlice({10, 10, 40, 30});
    const VXQSlicePtr b = f.addSlice({100, 10, 40, 30});
    f.layer->setToolMode(kVLTMSlicesSelectMode);
    f.drag({20, 20}, {});
    f.drag({110, 20}, {}, platform::ShiftKeyMask);
    EXPECT_EQ(f.layer->selectedSlices(), (QList<VXQSlicePtr>{a, b}));
    f.drag({20, 20}, {}, platform::CommandKeyMask);
    EXPECT_EQ(f.layer->selectedSlices(), QList<VXQSlicePtr>{b});
    EXPECT_EQ(f.layer->auxiliaryInfoString(), QStringLiteral("2 slices, 1 selected"));
}

TEST(SlicesLayerTest, AddingRemovingAndSelectingPostTheirNotifications)
{
    SlicesFixture f;
    NotificationLog log(f.layer.get());
    const VXQSlicePtr slice = f.layer->addNewSlice();
    ASSERT_EQ(log.names, (QStringList{kVLTMSlicesLayerWillAddSlice, kVLTMSlicesLayerDidAddSlice}));
    EXPECT_EQ(infoSlice(log.infos[0]), slice);
    EXPECT_EQ(infoSlice(log.infos[1]), slice);

    log.names.clear();
    log.infos.clear();
    f.layer->selectSlicesInArrayExtendingSelection({slice}, true);
    ASSERT_EQ(log.names, (QStringList{kVLTMSliceLayerWillChangeSelection, kVLTMSlicesLayerDidChangeSelection}));
    EXPECT_EQ(log.infos[0].value(QStringLiteral("slices")).toList().size(), 1);

    log.names.clear();
    f.layer->removeSlice(slice.get());
    EXPECT_EQ(log.names, (QStringList{kVLTMSlicesLayerWillRemoveSlice, kVLTMSliceLayerWillChangeSelection,
                                      kVLTMSlicesLayerDidChangeSelection, kVLTMSlicesLayerDidRemoveSlice}));
    EXPECT_EQ(slice->slicesLayer(), nullptr);
    EXPECT_FALSE(slice->colour().isValid());

    log.names.clear();
    f.layer->setToolMode(kVLTMSlicesSelectMode);
    f.layer->setToolMode(kVLTMSlicesSelectMode);
    EXPECT_EQ(log.names, QStringList{kVLTMSlicesLayerToolModeDidChange});
}

TEST(SlicesLayerTest, DeletingSelectedSlicesAndUndoingPutsThemBackAtTheEnd)
{
    SlicesFixture f;
    const VXQSlicePtr a = f.addSlice({10, 10, 40, 30});
    const VXQSlicePtr b = f.addSlice({100, 10, 40, 30});
    const VXQSlicePtr c = f.addSlice({200, 10, 40, 30});
    f.forgetEdits();

    // The first of three: undone, it comes back last, so its number changes.
    f.layer->selectSliceExtendingSelection(a, false);
    f.layer->delete_();
    f.endStep();
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Delete Slice"));
    EXPECT_EQ(b->name(), QStringLiteral("Slice 1"));
    f.undo->undo();
    EXPECT_EQ(f.layer->slices(), (QList<VXQSlicePtr>{b, c, a}));
    EXPECT_EQ(a->name(), QStringLiteral("Slice 3"));
    EXPECT_EQ(a->slicesLayer(), f.layer.get());

    // Removing deselects while the selection is walked: every selected slice goes.
    f.layer->selectAll();
    f.layer->delete_();
    f.endStep();
    EXPECT_EQ(f.layer->countOfSlices(), 0);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Delete Slices"));
    f.undo->undo();
    EXPECT_EQ(f.layer->countOfSlices(), 3);
}

TEST(SlicesLayerTest, UndoingRemoveAllSlicesReattachesThemAndRedoRemovesAgain)
{
    SlicesFixture f;
    f.addSlice({10, 10, 40, 30});
    f.addSlice({100, 10, 40, 30});
    f.forgetEdits();
    const QList<VXQSlicePtr> before = f.layer->slices();

    f.layer->removeAllSlices();
    f.endStep();
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Delete Slices"));
    EXPECT_EQ(before[0]->slicesLayer(), nullptr);
    f.undo->undo();
    ASSERT_EQ(f.layer->slices(), before);
    for (const VXQSlicePtr& slice : before) {
        EXPECT_EQ(slice->slicesLayer(), f.layer.get());
        EXPECT_FALSE(slice->pdfData().isEmpty());
    }
    before[1]->removeFromLayer();
    EXPECT_EQ(f.layer->countOfSlices(), 1);
    f.endStep();
    f.undo->undo();
    f.undo->redo();
    EXPECT_EQ(f.layer->countOfSlices(), 1);
}

TEST(SlicesLayerTest, SlicesDrawOnScreenOnlyAndFollowActivation)
{
    SlicesFixture f;
    f.addSlice({0, 0, 400, 300});
    f.layer->setVisible(true);
    // The red square shows through: the outline of the slice is nowhere in the output.
    QImage image = platform::DrawingRenderer::imageOfDrawing(*f.drawing, f.drawing->bounds(), {400, 300}, Qt::white);
    EXPECT_EQ(image.pixelColor(0, 150), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(50, 40), QColor(Qt::red));
    EXPECT_FALSE(f.layer->shouldDrawToPrinter());

    f.forgetEdits();
    f.layer->setVisible(false);
    f.forgetEdits();
    ASSERT_TRUE(f.drawing->setActiveLayer(f.layer.get()));
    EXPECT_TRUE(f.layer->visible());
    ASSERT_TRUE(f.drawing->setActiveLayer(f.objects.get()));
    EXPECT_FALSE(f.layer->visible());
    f.endStep();
    EXPECT_FALSE(f.undo->canUndo());
    EXPECT_EQ(f.drawing->slicesLayer(), f.layer.get());
    EXPECT_FALSE(f.layer->layerMayBeDeleted());
}

TEST(SlicesLayerTest, TheViewHandsTheMouseToTheLayerWhateverTheToolAndShowsTheSlices)
{
    SlicesFixture f;
    VXDrawingView view;
    view.setFrameShape(QFrame::NoFrame);
    view.resize(500, 400);
    view.setDrawing(f.drawing);
    view.show();
    ASSERT_TRUE(f.drawing->setActiveLayer(f.layer.get()));
    view.toolController()->setDrawingTool(std::make_shared<VXZoomTool>());
    const auto at = [&](QPointF point) { return view.convertPointFromDrawing(point).toPoint(); };
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, at({100, 100}));
    QTest::mouseMove(view.viewport(), at({150, 130}));
    QTest::mouseMove(view.viewport(), at({200, 160}));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, at({200, 160}));
    ASSERT_EQ(f.layer->countOfSlices(), 1);
    const QRectF bounds = f.layer->slices().first()->bounds();
    EXPECT_NEAR(bounds.width(), 100, 2);
    EXPECT_NEAR(bounds.height(), 60, 2);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::CrossCursor);

    // The dashed outline shows along the slice's bottom edge, on screen only.
    const QImage shown = view.viewport()->grab().toImage();
    int dark = 0;
    for (int x = at({110, 0}).x(); x < at({190, 0}).x(); ++x)
        for (int dy = -1; dy <= 1; ++dy)
            dark += qGray(shown.pixel(x, at(bounds.bottomLeft()).y() + dy)) < 128;
    EXPECT_GT(dark, 10);
}
