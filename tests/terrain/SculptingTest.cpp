#include "TerrainTestSupport.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/model/VXLayerMouseEvent.h"
#include "support/TestSupport.h"
#include "terrain/section/VXQContourCrossSection.h"

#include <QImage>
#include <QPainter>

using terraintest::LayerFixture;

namespace {

struct SculptFixture : LayerFixture {
    SculptFixture()
    {
        layer->setShowsCrossSection(false);
        forgetEdits();
    }
    static VXLayerMouseEvent event(QPointF p, platform::ModifierFlags flags = 0, int clicks = 1)
    {
        return {p, clicks, flags};
    }
    // One gesture: a press, a drag event at each point, a release; the step closes as an event's would.
    void stroke(QPointF from, const QList<QPointF>& through, platform::ModifierFlags flags = 0)
    {
        layer->mouseDownInView(event(from, flags), nullptr);
        for (QPointF p : through)
            layer->mouseDraggedInView(event(p, flags), nullptr);
        layer->mouseUpInView(event(through.isEmpty() ? from : through.last(), flags), nullptr);
        endStep();
    }
    // A point inside the cell of grid point (x, y).
    QPointF inCell(qint64 x, qint64 y) const { return at(x, y) + QPointF(1, 1); }
};

QList<QPointF> repeated(QPointF p, int times) { return QList<QPointF>(times, p); }

} // namespace

TEST(Sculpting, FiveRaiseStepsAtOnePointLiftItToExactlyTheKernelsSumAndCloseAContourAtTen)
{
    SculptFixture f;
    f.stroke(f.inCell(10, 10), repeated(f.inCell(10, 10), 5));
    EXPECT_EQ(f.height(10, 10), 13.265625);
    EXPECT_EQ(f.height(9, 10), 3.5 + 5 * 20.0 * 300 / 4096);
    EXPECT_EQ(f.height(14, 10), 3.5); // beyond the brush
    // The raised point crosses the level 10 (index 0): one closed ring around it.
    const QList<QPainterPath>& contours = f.layer->contourPaths();
    ASSERT_EQ(contours.size(), 1);
    const platform::BezierPath ring(contours[0]);
    EXPECT_TRUE(ring.isClosed());
    EXPECT_TRUE(ring.bounds().contains(f.at(10, 10)));
    EXPECT_FALSE(ring.bounds().contains(f.at(12, 10)));
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Raise Terrain"));
}

TEST(Sculpting, LevelCutValleyAndOptionGiveTheirExactHeights)
{
    SculptFixture f;
    f.layer->setTerrainMode(ZQContourLayer::LevelMode);
    f.layer->setTerrainHeightForLevelMode(20);
    f.stroke(f.inCell(5, 5), {f.inCell(5, 5)});
    EXPECT_EQ(f.height(5, 5), 20);
    EXPECT_GT(f.height(6, 5), 3.5);
    EXPECT_LT(f.height(6, 5), 20);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Level Terrain"));

    f.layer->setTerrainMode(ZQContourLayer::CutValleyMode);
    f.stroke(f.inCell(20, 20), {f.inCell(20, 20)});
    EXPECT_EQ(f.height(20, 20), 2.5);
    EXPECT_EQ(f.height(21, 20), 3.0);
    EXPECT_EQ(f.height(22, 20), 3.5);
    EXPECT_EQ(f.layer->kernelPath().bounds().width(), 3 * 15.0);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Cut Valley"));

    // Option swaps raise and lower, and leaves the other tools alone.
    f.layer->setTerrainMode(ZQContourLayer::RaiseMode);
    f.stroke(f.inCell(10, 30), {f.inCell(10, 30)}, platform::OptionKeyMask);
    EXPECT_EQ(f.height(10, 30), 3.5 - 1.953125);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Lower Terrain"));
    f.layer->setTerrainMode(ZQContourLayer::LowerMode);
    f.stroke(f.inCell(25, 30), {f.inCell(25, 30)}, platform::OptionKeyMask);
    EXPECT_EQ(f.height(25, 30), 3.5 + 1.953125);
    f.layer->setTerrainMode(ZQContourLayer::LevelMode);
    f.layer->setTerrainHeightForLevelMode(-4);
    f.stroke(f.inCell(30, 40), {f.inCell(30, 40)}, platform::OptionKeyMask);
    EXPECT_EQ(f.height(30, 40), -4);
}

TEST(Sculpting, ADragIsOneUndoStepThatRedoReappliesAndAClickOrABrushOutsideAddsNone)
{
    SculptFixture f;
    const QList<double> flat = f.layer->heightMap()->objects();
    f.stroke(f.inCell(3, 3), {f.inCell(4, 3), f.inCell(5, 4), f.inCell(6, 4)});
    const QList<double> sculpted = f.layer->heightMap()->objects();
    ASSERT_NE(sculpted, flat);
    EXPECT_EQ(f.undo->undoStack().size(), 1);

    f.undo->undo();
    EXPECT_EQ(f.layer->heightMap()->objects(), flat);
    EXPECT_EQ(f.layer->contourPaths(), QList<QPainterPath>());
    f.undo->redo();
    EXPECT_EQ(f.layer->heightMap()->objects(), sculpted);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Raise Terrain"));

    f.stroke(f.inCell(8, 8), {});
    f.stroke({600, 800}, {{620, 810}, {-50, -5}});
    EXPECT_EQ(f.undo->undoStack().size(), 1);
    EXPECT_EQ(f.layer->heightMap()->objects(), sculpted);

    // A brush at the grid's corner changes only the inside part of its footprint.
    f.layer->modelTerrainAtIndexWithMode({0, 0}, ZQContourLayer::RaiseMode);
    int changed = 0;
    for (qint64 y = 0; y < 48; ++y)
        for (qint64 x = 0; x < 35; ++x)
            changed += f.height(x, y) != sculpted[qsizetype(y * 35 + x)];
    EXPECT_EQ(changed, 16);
}

TEST(Sculpting, StepsRecomputeOnlyTheLevelsTheyReachAndEndEqualToAFullComputation)
{
    SculptFixture f;
    ASSERT_TRUE(f.layer->importHeightMap(
        testsupport::sampleDataPath(QStringLiteral("terrain/luxembourg-elevation.txt"))));
    f.layer->setSimplifiesContours(true);
    f.layer->setContourInterval(25);
    f.layer->setShowsCrossSection(true);
    ASSERT_FALSE(f.layer->contourPaths().isEmpty());
    int mode = 0;
    for (qint64 x = 2; x < 80; x += 3) {
        f.layer->modelTerrainAtIndexWithMode({x, 30 + x % 7}, mode);
        mode = (mode + 1) % 4;
        f.layer->setTerrainHeightForLevelMode(300 + x);
    }
    const QList<QPainterPath> stepped = f.layer->contourPaths();
    f.layer->recalculateContours();
    const QList<QPainterPath>& full = f.layer->contourPaths();
    ASSERT_EQ(stepped.size(), full.size());
    for (qsizetype i = 0; i < full.size(); ++i) {
        ASSERT_EQ(stepped[i].elementCount(), full[i].elementCount()) << "level " << i;
        for (int e = 0; e < full[i].elementCount(); ++e)
            ASSERT_EQ(QPointF(stepped[i].elementAt(e)), QPointF(full[i].elementAt(e))) << "level " << i;
    }
    // The levels kept through the steps are those of the heights now.
    const auto [lowest, highest] = ContourLevels::heightRangeOfGrid(f.layer->heightMap().get());
    EXPECT_EQ(f.layer->contourLevels(), ContourLevels::forHeightsAtInterval(lowest, highest, 25));

    // Redrawing a small area strokes what a full redraw shows there.
    const auto render = [&](const QRectF& area) {
        QImage image(500, 700, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        const platform::GraphicsContext::Scope scope(&painter);
        painter.setClipRect(area);
        f.layer->drawRectInViewShowingHighlighting(area, nullptr, false);
        return image;
    };
    const QRectF area(200, 300, 40, 30);
    const QImage whole = render(QRectF(0, 0, 500, 700));
    const QImage part = render(area);
    EXPECT_EQ(part.copy(area.toRect()), whole.copy(area.toRect()));
    const auto inked = [](const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixel(x, y) != QColor(Qt::white).rgb();
        return count;
    };
    EXPECT_GT(inked(whole.copy(area.toRect())), 20);
}

TEST(Sculpting, TheCrossSectionTurnsMovesAndReshapesTheHeightsAlongIt)
{
    SculptFixture f;
    f.layer->setShowsCrossSection(true);
    f.forgetEdits();
    // Horizontal on the middle row: the profile stands 10 above the row, half a point per metre
    // above the lowest level (0), a tenth of a cell along.
    ASSERT_EQ(f.layer->crossSectionRow(), 24u);
    const QPointF point5(75 + 1.5, 360 - 10 - 1.75);
    EXPECT_TRUE(f.layer->crossSection()->path().bounds().contains(point5));

    // Dragging that point 8.25 up sets the height under the press to 20 (and the brush follows).
    f.layer->mouseDownInView(SculptFixture::event(point5), nullptr);
    EXPECT_TRUE(f.layer->crossSectionSelected());
    f.layer->mouseDraggedInView(SculptFixture::event({76.5, 340}), nullptr);
    EXPECT_EQ(f.layer->activeTerrainMode(), ZQContourLayer::CrossSectionEditMode);
    f.layer->mouseUpInView(SculptFixture::event({76.5, 340}), nullptr);
    f.endStep();
    EXPECT_EQ(f.height(5, 24), 20);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Edit Contours"));
    const double raised = f.height(6, 24);
    EXPECT_GT(raised, 3.5);
    // With Option only that point moves.
    const QPointF point10 = f.at(10, 24) + QPointF(1.5, -10 - 1.75);
    f.layer->mouseDownInView(SculptFixture::event(point10), nullptr);
    f.layer->mouseDraggedInView(SculptFixture::event({151.5, 330}, platform::OptionKeyMask), nullptr);
    f.layer->mouseUpInView(SculptFixture::event({151.5, 330}), nullptr);
    EXPECT_EQ(f.height(10, 24), 40);
    EXPECT_EQ(f.height(11, 24), 3.5);

    // Its body drags it to another row; a point outside the interior leaves it there.
    f.layer->mouseDownInView(SculptFixture::event({400, 357}), nullptr);
    f.layer->mouseDraggedInView(SculptFixture::event({400, 100}), nullptr);
    f.layer->mouseDraggedInView(SculptFixture::event({400, 900}), nullptr);
    f.layer->mouseUpInView(SculptFixture::event({400, 900}), nullptr);
    EXPECT_EQ(f.layer->crossSectionRow(), 6u);

    // A double click turns it onto the middle column.
    f.layer->mouseDownInView(SculptFixture::event({400, 95}, 0, 2), nullptr);
    f.layer->mouseUpInView(SculptFixture::event({400, 95}), nullptr);
    EXPECT_TRUE(f.layer->crossSectionIsVertical());
    EXPECT_EQ(f.layer->crossSectionRow(), 17u);
    const QRectF bounds = f.layer->crossSection()->path().bounds();
    EXPECT_GT(bounds.height(), bounds.width());
    EXPECT_EQ(bounds.left(), 255.0);
    // Its graticule crosses it at every profile point: one line per row, and the fixed ones
    // (the last row lies past the interior, where the section closes).
    EXPECT_EQ(f.layer->crossSection()->graticule().elementCount(), 2 * (48 + 3));
}
