#include "TrackTestSupport.h"

#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/graphics/PolylineSimplification.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "platform/vantrix/tools/ToolRegistryScope.h"
#include "platform/vantrix/tools/VXSelectAndEditTool.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "tracks/styles/FactoryTrackStyles.h"
#include "tracks/model/TrackConversion.h"
#include "tracks/tools/TrackTools.h"
#include "tracks/model/VXQTrack.h"

#include <QKeyEvent>

using tracktest::polyline;
using viewtest::ViewFixture;

namespace {

struct TrackViewFixture : ViewFixture {
    // The track tools are registered for the fixture's life only.
    const testsupport::ToolRegistryScope restoreTools;

    TrackViewFixture()
    {
        registerTrackTools(VXToolRegistry::sharedToolRegistry());
        view.toolController()->setAutomaticallyRevertsToSelectionTool(false);
    }

    VXQTrack* trackAt(int index) const { return qobject_cast<VXQTrack*>(layer->objectInObjectsAtIndex(index).get()); }

    VXQTrackPtr addTrack(const QList<QPointF>& points)
    {
        VXQTrackPtr track = VXQTrack::trackWithPathType(polyline(points), kVXQRoadTrackType);
        track->setStyle(factoryStyleForTrackType(kVXQRoadTrackType));
        layer->addObject(track);
        forgetEdits();
        return track;
    }
};

// The main styles' absolute ranges as (location, length) pairs.
QList<QPointF> styleRanges(const ZQMultiStylePath& path)
{
    QList<QPointF> ranges;
    for (const ZQRangeDrawingStylePtr& style : path.styles()) {
        const ZQStyleRange range = ZQResolvedStyleRange(style->range(), path.length());
        ranges.append({range.location, range.length});
    }
    return ranges;
}

} // namespace

TEST(TrackTools, EachConnectableToolMakesOneTrackOfItsTypeInOneUndoStep)
{
    TrackViewFixture f;
    const struct {
        QString tool;
        QString type;
        QString styleName;
        std::function<void(TrackViewFixture&)> gesture;
    } cases[] = {
        {kConnectableTrackToolName, kVXQRoadTrackType, "Road",
         [](TrackViewFixture& f) {
             f.click({20, 20});
             f.click({100, 20});
             QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.at({100, 80}));
         }},
        {kConnectableLineToolName, kVXQRailTrackType, "Railway",
         [](TrackViewFixture& f) { f.drag({20, 120}, {120, 120}); }},
        {kConnectablePolygonToolName, kVXQRoadTrackType, "Road",
         [](TrackViewFixture& f) {
             f.click({130, 20});
             f.click({180, 20});
             QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.at({180, 70}));
         }},
        {kConnectableFreehandToolName, kVXQWatercourseTrackType, "River",
         [](TrackViewFixture& f) {
             f.press({20, 160});
             for (int x = 30; x <= 120; x += 10)
                 f.move({double(x), 160.0 + (x % 20 ? 5 : 0)});
             f.release({120, 160});
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tool.toStdString());
        f.undo->removeAllActions();
        const int before = f.layer->countOfObjects();
        f.useTool(c.tool);
        c.gesture(f);
        ASSERT_EQ(f.layer->countOfObjects(), before + 1);
        VXQTrack* track = f.trackAt(before);
        ASSERT_TRUE(track);
        EXPECT_EQ(track->trackType(), c.type);
        ASSERT_EQ(track->styles().size(), 1);
        EXPECT_EQ(track->styles().first()->style()->name(), c.styleName);
        EXPECT_GT(track->length(), 50);
        EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
        EXPECT_EQ(f.undo->undoActionName(), "New " + c.tool);

        const platform::BezierPath made = track->path();
        f.undo->undo();
        EXPECT_EQ(f.layer->countOfObjects(), before);
        f.undo->redo();
        ASSERT_EQ(f.layer->countOfObjects(), before + 1);
        EXPECT_EQ(f.trackAt(before)->path(), made);
    }
    EXPECT_TRUE(f.trackAt(2)->path().isClosed());
}

TEST(TrackTools, FreehandTracksAreSmoothCurvesThroughTheThinnedPointerTrack)
{
    TrackViewFixture f;
    f.useTool(kConnectableFreehandToolName);
    // A meander: one unit of jitter, which thinning drops, on bends of twenty.
    QList<QPointF> pointer;
    for (int x = 20; x <= 180; x += 5)
        pointer.append({double(x), std::round(100 + 20 * std::sin(x / 20.0)) + (x % 10 ? 1 : 0)});
    f.press(pointer.first());
    for (const QPointF& p : pointer.mid(1))
        f.move(p);
    f.release(pointer.last());
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);

    const platform::BezierPath river = f.trackAt(0)->path();
    const QList<QPointF> kept = viewtest::onPathPoints(river);
    EXPECT_EQ(kept, platform::simplifiedPolyline(pointer, VXDrawablePath::defaultFreehandEpsilon()));
    ASSERT_GT(kept.size(), 4);
    // Every segment is a curve, and each leaves a point the way the one before arrived.
    QPointF arriving;
    for (int i = 1; i < river.elementCount(); ++i) {
        QPointF points[3];
        ASSERT_EQ(river.elementAtIndexAssociatedPoints(i, points), platform::PathElement::CurveTo) << i;
        if (i > 1) {
            const double turn = QLineF(arriving, kept[i - 1]).angleTo(QLineF(kept[i - 1], points[0]));
            EXPECT_LT(std::min(turn, 360 - turn), 0.01) << i;
        }
        arriving = points[1];
    }
}

TEST(TrackTools, ARoadDrawnFromAnotherRoadJoinsIt)
{
    TrackViewFixture f;
    VXQTrackPtr main = f.addTrack({{20, 100}, {180, 100}});
    f.useTool(kConnectableLineToolName); // railways do not join roads
    f.drag({100, 101}, {100, 180});
    f.useTool(kConnectableTrackToolName);
    f.click({60, 101});
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.at({60, 180}));
    ASSERT_EQ(f.layer->countOfObjects(), 3);
    EXPECT_EQ(f.trackAt(1)->startLink(), nullptr);
    EXPECT_EQ(f.trackAt(2)->startLink(), main.get());
    EXPECT_NEAR(f.trackAt(2)->endPoint(VXQTrackEnd::Start).y(), 100, 1e-6);
}

TEST(TrackTools, JoinedEndsFollowAMovedOrReshapedTrackAsOneUndoStepWithIt)
{
    TrackViewFixture f;
    VXQTrackPtr main = f.addTrack({{20, 100}, {180, 100}});
    VXQTrackPtr side = f.addTrack({{100, 180}, {100, 100}});
    VXQTrackPtr corner = f.addTrack({{180, 100}, {180, 20}});
    VXQTrackPtr lane = f.addTrack({{60, 170}, {100, 170}});
    ASSERT_EQ(side->endLink(), main.get());
    ASSERT_EQ(corner->startLink(), main.get());
    ASSERT_EQ(lane->endLink(), side.get());
    const auto ends = [&] {
        return QList<QPointF>{side->endPoint(VXQTrackEnd::End), corner->endPoint(VXQTrackEnd::Start),
                              side->endPoint(VXQTrackEnd::Start), lane->endPoint(VXQTrackEnd::End)};
    };

    // The main road moved alone: the ends on it come along; the side road is stretched, and
    // the lane stays where the side road still passes.
    f.useTool("Select");
    f.drag({60, 100}, {60, 60});
    EXPECT_EQ(ends(), (QList<QPointF>{{100, 60}, {180, 60}, {100, 180}, {100, 170}}));
    EXPECT_TRUE(side->isJoinedAtEnd(VXQTrackEnd::End));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "Move");
    f.undo->undo();
    EXPECT_EQ(ends(), (QList<QPointF>{{100, 100}, {180, 100}, {100, 180}, {100, 170}}));
    f.undo->redo();
    EXPECT_EQ(ends(), (QList<QPointF>{{100, 60}, {180, 60}, {100, 180}, {100, 170}}));

    // Moved with the main road, the side road moves once, taking the lane's end along.
    f.click({100, 150}, Qt::ShiftModifier);
    ASSERT_EQ(f.layer->countOfSelection(), 2);
    f.drag({60, 60}, {60, 40});
    EXPECT_EQ(ends(), (QList<QPointF>{{100, 40}, {180, 40}, {100, 160}, {100, 150}}));

    // Shortened, the main road keeps the side road where it still passes; the corner moves to its new end.
    f.undo->removeAllActions();
    main->setLength(120);
    f.endStep();
    EXPECT_EQ(ends(), (QList<QPointF>{{100, 40}, {140, 40}, {100, 160}, {100, 150}}));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    f.undo->undo();
    EXPECT_EQ(ends(), (QList<QPointF>{{100, 40}, {180, 40}, {100, 160}, {100, 150}}));

    // Deleting the main road drops its links and leaves the ends where they are.
    f.layer->removeObject(main.get());
    f.endStep();
    EXPECT_EQ(side->endLink(), nullptr);
    EXPECT_EQ(corner->startLink(), nullptr);
    EXPECT_EQ(ends(), (QList<QPointF>{{100, 40}, {180, 40}, {100, 160}, {100, 150}}));
    f.undo->undo();
    EXPECT_EQ(side->endLink(), main.get());
}

TEST(TrackTools, PathCutterIsOnItsKeyAndCutsAPathInTwoAsOneUndoStep)
{
    TrackViewFixture f;
    auto path = VXDrawablePath::drawablePathWithBezierPathWithStyle(polyline({{20, 50}, {120, 50}, {120, 150}}),
                                                                    drawingtest::strokeStyle(Qt::black, 2));
    f.layer->addObject(path);
    f.layer->addObject(VXDrawableShape::drawableShapeWithRect({150, 150, 20, 20}, drawingtest::fillStyle(Qt::red)));
    f.forgetEdits();

    ASSERT_TRUE(f.view.toolController()->selectDrawingToolWithKeyboardEquivalent("u"));
    EXPECT_EQ(f.view.toolController()->drawingTool()->registeredName(), kPathCutterToolName);
    f.click({60, 51});
    ASSERT_EQ(f.layer->countOfObjects(), 3);
    EXPECT_EQ(f.layer->objectInObjectsAtIndex(0), path);
    auto* after = qobject_cast<VXDrawablePath*>(f.layer->objectInObjectsAtIndex(1).get());
    ASSERT_TRUE(after);
    EXPECT_NEAR(path->length(), 40, 1e-6);
    EXPECT_NEAR(after->length(), 160, 1e-6);
    EXPECT_EQ(path->path().currentPoint(), QPointF(60, 50));
    EXPECT_EQ(after->path().pointOnPathAtLengthSlope(0), QPointF(60, 50));
    EXPECT_EQ(after->style(), path->style());
    EXPECT_EQ(f.layer->countOfSelection(), 2);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), kPathCutterToolName);

    f.undo->undo();
    ASSERT_EQ(f.layer->countOfObjects(), 2);
    EXPECT_NEAR(path->length(), 200, 1e-6);
    f.undo->redo();
    ASSERT_EQ(f.layer->countOfObjects(), 3);
    EXPECT_NEAR(path->length(), 40, 1e-6);

    // Clicks off any path, on a shape, or too near an end cut nothing.
    f.undo->removeAllActions();
    f.click({60, 90});
    f.click({160, 160});
    f.click({20, 51});
    EXPECT_EQ(f.layer->countOfObjects(), 3);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
}

TEST(TrackTools, CuttingATrackSplitsItsRangeStylesAndKeepsItsNetwork)
{
    TrackViewFixture f;
    VXQTrackPtr track = f.addTrack({{0, 100}, {200, 100}});
    const VXStylePtr red = drawingtest::strokeStyle(Qt::red, 3);
    track->setSelectionRange(ZQMakeAbsoluteStyleRange(120, 80));
    track->setStyle(red);
    track->selectNone();
    track->setAutoInsertsShims(false);
    VXQTrackPtr nearSide = f.addTrack({{50, 180}, {50, 100}});
    VXQTrackPtr farSide = f.addTrack({{150, 180}, {150, 100}});
    VXQTrackPtr onward = f.addTrack({{200, 100}, {200, 20}});
    onward->setLinkAtEnd(VXQTrackEnd::Start, nullptr);
    track->setLinkAtEnd(VXQTrackEnd::End, onward.get());
    ASSERT_EQ(nearSide->endLink(), track.get());
    ASSERT_EQ(farSide->endLink(), track.get());
    ASSERT_EQ(styleRanges(*track), (QList<QPointF>{{0, 120}, {120, 80}}));
    f.undo->removeAllActions();

    ASSERT_TRUE(PathCutterTool::cutPathInLayerAtPoint(*f.layer, track, {100, 102}));
    f.endStep();
    auto* after = qobject_cast<VXQTrack*>(f.layer->objectInObjectsAtIndex(1).get());
    ASSERT_TRUE(after);
    EXPECT_EQ(styleRanges(*track), (QList<QPointF>{{0, 100}}));
    EXPECT_EQ(styleRanges(*after), (QList<QPointF>{{0, 20}, {20, 80}}));
    EXPECT_EQ(after->styles().last()->style(), red);
    EXPECT_EQ(after->trackType(), kVXQRoadTrackType);
    EXPECT_EQ(after->startLink(), track.get());
    EXPECT_EQ(after->endLink(), onward.get());
    EXPECT_EQ(track->endLink(), nullptr);
    EXPECT_EQ(nearSide->endLink(), track.get());
    EXPECT_EQ(farSide->endLink(), after);
    EXPECT_EQ(nearSide->endPoint(VXQTrackEnd::End), QPointF(50, 100)) << "a cut moves no junction";
    EXPECT_EQ(farSide->endPoint(VXQTrackEnd::End), QPointF(150, 100));

    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 4);
    EXPECT_NEAR(track->length(), 200, 1e-6);
    EXPECT_EQ(styleRanges(*track), (QList<QPointF>{{0, 120}, {120, 80}}));
    EXPECT_EQ(track->endLink(), onward.get());
    EXPECT_EQ(farSide->endLink(), track.get());
}

TEST(TrackTools, OnlyOpenPathsCutAndBothSidesOfTheCutKeepALength)
{
    auto square = VXDrawablePath::drawablePathWithBezierPath(polyline({{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true));
    EXPECT_FALSE(canCutPathAtLength(*square, 50));
    EXPECT_EQ(cutPathAtLength(*square, 50), nullptr);
    EXPECT_NEAR(square->length(), 400, 1e-6);

    auto polygon = std::make_shared<VXRegularPolygonPath>();
    polygon->setRadius(50);
    EXPECT_FALSE(canCutPathAtLength(*polygon, 10));

    auto line = VXDrawablePath::drawablePathWithBezierPath(polyline({{0, 0}, {10, 0}}));
    EXPECT_FALSE(canCutPathAtLength(*line, std::nan("")));
    EXPECT_FALSE(canCutPathAtLength(*line, 0.5));
    EXPECT_FALSE(canCutPathAtLength(*line, 9.5));
    EXPECT_TRUE(canCutPathAtLength(*line, 1.0));
    EXPECT_TRUE(canCutPathAtLength(*line, 9.0));
    platform::BezierPath twoLines = polyline({{0, 0}, {10, 0}});
    twoLines.appendBezierPath(polyline({{0, 10}, {10, 10}}));
    EXPECT_FALSE(canCutPathAtLength(*VXDrawablePath::drawablePathWithBezierPath(twoLines), 5));

    // A curve stays a curve on both sides of the cut.
    platform::BezierPath curve;
    curve.moveToPoint({0, 0});
    curve.curveToPointControlPoint1ControlPoint2({100, 0}, {30, 60}, {70, 60});
    auto curved = VXDrawablePath::drawablePathWithBezierPath(curve);
    const double total = curved->length();
    const VXDrawablePathPtr rest = cutPathAtLength(*curved, total / 2);
    ASSERT_TRUE(rest);
    EXPECT_NEAR(curved->length() + rest->length(), total, 1e-3);
    EXPECT_NEAR(curved->path().currentPoint().x(), 50, 1e-3);
    EXPECT_NEAR(curved->path().currentPoint().y(), 45, 1e-3);
    EXPECT_EQ(rest->path().elementCount(), 2);
}

TEST(TrackTools, LinearSelectSelectsAStretchAlongATrack)
{
    TrackViewFixture f;
    VXQTrackPtr track = f.addTrack({{20, 100}, {180, 100}});
    f.layer->addObject(VXDrawableShape::drawableShapeWithRect({20, 150, 30, 30}, drawingtest::fillStyle(Qt::red)));
    f.forgetEdits();
    f.useTool(kLinearSelectToolName);

    f.press({140, 101});
    f.move({100, 110});
    f.move({60, 95});
    f.release({60, 95});
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{track});
    const ZQStyleRange selected = track->selectionRange();
    EXPECT_NEAR(selected.location, 40, 1e-6);
    EXPECT_NEAR(selected.length, 80, 1e-6);
    EXPECT_TRUE(track->canInsertSpecialItem());
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);

    f.click({30, 160});
    EXPECT_EQ(f.layer->countOfSelection(), 1);
    EXPECT_FALSE(f.layer->isSelectedObject(track.get()));
    f.click({100, 30});
    EXPECT_EQ(f.layer->countOfSelection(), 0);
}

TEST(TrackTools, ConvertToTrackReplacesSelectedPathsInPlaceAsOneUndoStep)
{
    TrackViewFixture f;
    const VXStylePtr blue = drawingtest::strokeStyle(Qt::blue, 3);
    auto first = VXDrawablePath::drawablePathWithBezierPathWithStyle(polyline({{10, 10}, {90, 10}}), blue);
    auto shape = VXDrawableShape::drawableShapeWithRect({20, 40, 20, 20}, drawingtest::fillStyle(Qt::red));
    auto second = VXDrawablePath::drawablePathWithBezierPathWithStyle(polyline({{10, 80}, {90, 120}}), blue);
    second->assignUserNameWithFlag("Canal", true);
    second->addMetadata({{"depth", 3}});
    auto existing = VXQTrack::trackWithPathType(polyline({{10, 150}, {90, 150}}), kVXQRoadTrackType);
    f.layer->addObjectsFromArray({first, shape, second, existing});
    f.layer->exchangeSelectionWithObjectsFromArray({first, shape, second, existing});
    f.forgetEdits();

    EXPECT_TRUE(canConvertSelectionToTracks(*f.layer));
    EXPECT_EQ(convertSelectionToTracks(*f.layer), 2);
    f.endStep();
    ASSERT_EQ(f.layer->countOfObjects(), 4);
    for (int index : {0, 2}) {
        VXQTrack* track = f.trackAt(index);
        ASSERT_TRUE(track);
        EXPECT_EQ(track->trackType(), kVXQGenericTrackType);
        EXPECT_EQ(track->styles().first()->style(), blue);
    }
    EXPECT_EQ(f.trackAt(0)->path(), first->path());
    EXPECT_EQ(f.trackAt(2)->name(), "Canal");
    EXPECT_EQ(f.trackAt(2)->metadataValueForKey("depth").toInt(), 3);
    EXPECT_EQ(f.layer->objectInObjectsAtIndex(1), shape);
    EXPECT_EQ(f.layer->objectInObjectsAtIndex(3), existing);
    EXPECT_EQ(f.layer->countOfSelection(), 4);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), kConvertToTrackActionName);

    f.undo->undo();
    EXPECT_EQ(f.layer->objects(), (QList<VXDrawableObjectPtr>{first, shape, second, existing}));
    EXPECT_EQ(f.layer->countOfSelection(), 4);
    f.undo->redo();
    EXPECT_TRUE(f.trackAt(0));
    EXPECT_TRUE(f.trackAt(2));

    // Nothing left to convert: no undo step.
    f.undo->removeAllActions();
    EXPECT_FALSE(canConvertSelectionToTracks(*f.layer));
    EXPECT_EQ(convertSelectionToTracks(*f.layer), 0);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
}
