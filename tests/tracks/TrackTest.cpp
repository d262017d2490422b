// Connectable tracks: links through archives and undo, connecting dropped ends, disconnecting,
// roundabouts, and the junctions and terminators drawn at their ends.

#include "TrackTestSupport.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/DrawingTestSupport.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "support/ArchiveTesting.h"
#include "tracks/styles/FactoryTrackStyles.h"
#include "tracks/model/VXQTrack.h"

#include <gtest/gtest.h>

namespace {

const QColor kCasing(20, 20, 20);
const QColor kFill(250, 200, 40);
constexpr double kFillWidth = 8;

VXQTrackPtr track(QPointF from, QPointF to, const QString& type = kVXQRoadTrackType)
{
    auto made = VXQTrack::trackWithPathType(tracktest::polyline({from, to}), type);
    made->setStyle(tracktest::strokes({{kCasing, 12}, {kFill, kFillWidth}}));
    return made;
}

struct Map {
    std::unique_ptr<ZQUndoManager> undo = std::make_unique<ZQUndoManager>();
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({200, 200});
    VXQMappingLayerPtr layer = std::make_shared<VXQMappingLayer>();

    Map()
    {
        drawing->setUndoManager(undo.get());
        drawing->addLayer(layer);
        undo->removeAllActions();
    }
    // Adds the track as one undo step, as a creation tool does in an event of its own.
    VXQTrackPtr add(const VXQTrackPtr& made)
    {
        undo->closeAutomaticGroup();
        undo->beginUndoGrouping();
        layer->addObject(made);
        undo->setActionName(QStringLiteral("New Track"));
        undo->endUndoGrouping();
        return made;
    }
    VXQTrackPtr add(QPointF from, QPointF to, const QString& type = kVXQRoadTrackType)
    {
        return add(track(from, to, type));
    }
    // Pixel for point, or as a view shows it at `zoom`: antialiased.
    QImage render(bool modern = true, std::optional<double> zoom = std::nullopt) const
    {
        layer->setModernTrackRendering(modern);
        const int side = int(200 * zoom.value_or(1));
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, zoom.has_value());
        painter.scale(zoom.value_or(1), zoom.value_or(1));
        const platform::GraphicsContext::Scope scope(&painter);
        layer->drawRectInViewShowingHighlighting(QRectF(0, 0, 200, 200), nullptr, false);
        return image;
    }
};

QList<VXQTrack*> tracksOf(const VXObjectOwnerLayer& layer)
{
    QList<VXQTrack*> found;
    for (const VXDrawableObjectPtr& object : layer.objects())
        if (auto* t = qobject_cast<VXQTrack*>(object.get()))
            found.append(t);
    return found;
}

QSet<VXQTrack*> setOf(const QList<VXQTrack*>& tracks)
{
    return {tracks.begin(), tracks.end()};
}

bool near(QPointF actual, QPointF expected)
{
    return QLineF(actual, expected).length() < 0.01;
}

bool near(QColor actual, QColor expected)
{
    return drawingtest::near(actual, expected, 29);
}

} // namespace

TEST(Track, TypesTerminatorsAndKeysReadAndWriteThroughKeyValueCoding)
{
    auto t = track({0, 0}, {50, 0}, kVXQRailTrackType);
    EXPECT_EQ(t->valueForKey("trackType").toString(), kVXQRailTrackType);
    EXPECT_EQ(t->displayName(), QStringLiteral("Rail"));
    t->setValueForKey(kVXQWatercourseTrackType, "trackType");
    t->setValueForKey(QStringLiteral("QVNL_MOTORWAY"), "trackType"); // not a type: refused
    EXPECT_EQ(t->trackType(), kVXQWatercourseTrackType);
    t->setValueForKey(quint32(kVXQRoundTerminator), "startTerminatorType");
    t->setValueForKey(quint32(kVXQSquareTerminator), "endTerminatorType");
    EXPECT_EQ(t->startTerminatorType(), kVXQRoundTerminator);
    EXPECT_EQ(t->endTerminatorType(), kVXQSquareTerminator);

    const auto decoded = testsupport::roundTrip<VXQTrack>(*t);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->trackType(), kVXQWatercourseTrackType);
    EXPECT_EQ(decoded->startTerminatorType(), kVXQRoundTerminator);
    EXPECT_EQ(decoded->endTerminatorType(), kVXQSquareTerminator);
    EXPECT_EQ(decoded->path(), t->path());

    testsupport::ArchiveStub damaged;
    damaged.values = {{"VXQTrack_trackType", "QVNL_NONSENSE"}, {"VXQTrack_startTerminatorType", -5}};
    const auto repaired =
        std::dynamic_pointer_cast<VXQTrack>(platform::KeyedUnarchiver::unarchiveObjectWithData(damaged.archiveAs("VXQTrack")));
    ASSERT_TRUE(repaired);
    EXPECT_EQ(repaired->trackType(), kVXQGenericTrackType);
    EXPECT_EQ(repaired->displayName(), QStringLiteral("Track"));
    EXPECT_EQ(repaired->startTerminatorType(), kVXQPlainTerminator);

    // A track archived as its own parent decodes unlinked.
    auto selfLinked = std::make_shared<testsupport::ArchiveStub>();
    selfLinked->values = {{"VXQTrack_trackType", kVXQRoadTrackType}};
    selfLinked->objects = {{"VXQTrack_startLink", selfLinked}, {"VXQTrack_endLink", selfLinked}};
    const QByteArray data = selfLinked->archiveAs("VXQTrack");
    selfLinked->objects.clear();
    const auto unlinked = std::dynamic_pointer_cast<VXQTrack>(platform::KeyedUnarchiver::unarchiveObjectWithData(data));
    ASSERT_TRUE(unlinked);
    Map map;
    map.add(unlinked);
    EXPECT_EQ(unlinked->startLink(), nullptr);
    EXPECT_EQ(unlinked->endLink(), nullptr);
    EXPECT_TRUE(unlinked->childLinks().isEmpty());
}

TEST(Track, DroppedEndsConnectOnlyToOtherTracksOfTheSameType)
{
    Map map;
    const auto main = map.add({20, 100}, {180, 100});
    const auto side = map.add({100, 180}, {103, 104}); // end 4 below the main road's centre line
    const auto rail = map.add({60, 180}, {60, 101}, kVXQRailTrackType);
    const auto far = map.add({140, 180}, {140, 120});

    EXPECT_EQ(side->endLink(), main.get());
    EXPECT_EQ(side->startLink(), nullptr);
    EXPECT_EQ(side->path().currentPoint(), QPointF(103, 100)); // snapped onto the main road
    EXPECT_EQ(rail->endLink(), nullptr);
    EXPECT_EQ(rail->path().currentPoint(), QPointF(60, 101));
    EXPECT_EQ(far->endLink(), nullptr);
    EXPECT_EQ(main->childLinks(), QList<VXQTrack*>{side.get()});
    EXPECT_FALSE(main->setLinkAtEnd(VXQTrackEnd::Start, main.get()));
    EXPECT_FALSE(main->setLinkAtEnd(VXQTrackEnd::Start, rail.get()));
    EXPECT_EQ(main->startLink(), nullptr);

    // A track without length has no ends to join, and draws without harm.
    const auto dot = map.add({100, 100}, {100, 100});
    EXPECT_EQ(dot->startLink(), nullptr);
    EXPECT_EQ(dot->endLink(), nullptr);
    EXPECT_EQ(dot->connectFreeEnds(), 0);
    map.render();

    // Undoing the creation takes the junction away with the track; redo brings both back.
    for (int step = 0; step < 4; ++step)
        map.undo->undo();
    EXPECT_EQ(map.layer->countOfObjects(), 1);
    EXPECT_TRUE(main->childLinks().isEmpty());
    EXPECT_EQ(side->path().currentPoint(), QPointF(103, 104));
    map.undo->redo();
    EXPECT_EQ(side->endLink(), main.get());
    EXPECT_EQ(side->path().currentPoint(), QPointF(103, 100));
    EXPECT_EQ(main->childLinks(), QList<VXQTrack*>{side.get()});
}

TEST(Track, DraggedEndsLinkWhereTheyAreDroppedAndUndoAsOneStep)
{
    Map map;
    const auto main = map.add({20, 100}, {180, 100});
    const auto side = map.add({100, 180}, {100, 140});
    ASSERT_EQ(side->endLink(), nullptr);

    map.undo->beginUndoGrouping();
    side->dropEndAtPoint(VXQTrackEnd::End, {110, 98});
    map.undo->endUndoGrouping();
    EXPECT_EQ(side->endLink(), main.get());
    EXPECT_EQ(side->path().currentPoint(), QPointF(110, 100));

    map.undo->beginUndoGrouping();
    side->dropEndAtPoint(VXQTrackEnd::End, {110, 60});
    map.undo->endUndoGrouping();
    EXPECT_EQ(side->endLink(), nullptr);
    EXPECT_TRUE(main->childLinks().isEmpty());

    map.undo->undo();
    EXPECT_EQ(side->endLink(), main.get());
    map.undo->undo();
    EXPECT_EQ(side->endLink(), nullptr);
    EXPECT_EQ(side->path().currentPoint(), QPointF(100, 140));
}

TEST(Track, LinksSurviveTheDrawingsArchiveAndDisconnectAllUnlinksEveryJunctionAsOneUndoStep)
{
    Map map;
    const auto main = map.add({20, 100}, {180, 100});
    const auto side = map.add({100, 180}, {100, 100});
    const auto branch = map.add({60, 20}, {60, 100});
    const auto onward = map.add({180, 100}, {180, 20});
    ASSERT_EQ(onward->startLink(), main.get());

    const auto drawing = testsupport::roundTrip<VXDrawing>(*map.drawing);
    ASSERT_TRUE(drawing && drawing->firstLayerOfClass<VXQMappingLayer>());
    const QList<VXQTrack*> tracks = tracksOf(*drawing->firstLayerOfClass<VXQMappingLayer>());
    ASSERT_EQ(tracks.size(), 4);
    EXPECT_EQ(tracks[1]->endLink(), tracks[0]);
    EXPECT_EQ(tracks[2]->endLink(), tracks[0]);
    EXPECT_EQ(tracks[3]->startLink(), tracks[0]);
    EXPECT_EQ(setOf(tracks[0]->childLinks()), setOf({tracks[1], tracks[2], tracks[3]}));
    EXPECT_EQ(tracks[0]->startLink(), nullptr);

    map.undo->removeAllActions();
    main->disconnectAll();
    EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Disconnect All Junctions"));
    EXPECT_TRUE(main->childLinks().isEmpty());
    EXPECT_EQ(side->endLink(), nullptr);
    EXPECT_EQ(onward->startLink(), nullptr);
    map.undo->undo();
    EXPECT_EQ(setOf(main->childLinks()), setOf({side.get(), branch.get(), onward.get()}));
    map.undo->redo();
    EXPECT_TRUE(main->childLinks().isEmpty());
    EXPECT_EQ(branch->endLink(), nullptr);

    // A sub-track disconnects itself from its parent.
    map.undo->undo();
    side->disconnectAll();
    EXPECT_EQ(side->endLink(), nullptr);
    EXPECT_EQ(setOf(main->childLinks()), setOf({branch.get(), onward.get()}));

    // Without their parent in the archive the sub-tracks decode unlinked.
    map.layer->removeObject(main.get());
    const auto orphaned = testsupport::roundTrip<VXDrawing>(*map.drawing);
    ASSERT_TRUE(orphaned);
    const QList<VXQTrack*> left = tracksOf(*orphaned->firstLayerOfClass<VXQMappingLayer>());
    ASSERT_EQ(left.size(), 3);
    for (const VXQTrack* track : left)
        EXPECT_TRUE(!track->startLink() && !track->endLink());
}

TEST(Track, JunctionsMergeCasingsAndFillTheCornersOfJoinedEnds)
{
    Map map;
    map.add({20, 100}, {180, 100});
    map.add({100, 180}, {100, 100});
    // T-junction: where the side road enters, the main road's casing does not cross it.
    EXPECT_TRUE(near(map.render(true).pixelColor(95, 103), kFill));
    EXPECT_TRUE(near(map.render(false).pixelColor(95, 103), kCasing)); // classic rendering: it does

    // A corner: two butt-ended roads leave a notch on the outside that the junction fills.
    Map corner;
    const auto first = corner.add({20, 100}, {100, 100});
    const auto second = corner.add({100, 100}, {100, 20});
    ASSERT_EQ(second->startLink(), first.get());
    const QImage joined = corner.render();
    EXPECT_TRUE(near(joined.pixelColor(102, 102), kFill));
    EXPECT_TRUE(near(joined.pixelColor(104, 103), kCasing));
    second->disconnectAll();
    EXPECT_TRUE(near(corner.render().pixelColor(102, 102), Qt::white));

    // Zoomed in, the casing on the far side of a T-junction is as dark as anywhere along the road.
    Map tilted;
    const auto through = tilted.add({20, 50}, {180, 61});
    for (const auto& road : {through, tilted.add({97, 160}, {100, 56})})
        road->setStyle(factoryRoadStyle()); // round caps
    constexpr double zoom = 3;
    // Along the through road from (20, y) rising `rise` over its 160 points.
    const auto expectSeamlessCasing = [&](double y, double rise) {
        const QImage zoomed = tilted.render(true, zoom);
        const auto casingAbove = [&](int x) { // summed over the casing's pixels above the centre line
            const double centre = zoom * (y + (x / zoom - 20) * rise / 160);
            int darkness = 0;
            for (int y = int(centre - zoom * 8); y < int(centre); ++y)
                darkness += 255 - qRed(zoomed.pixel(x, y));
            return darkness;
        };
        for (int x = int(zoom * 92); x <= int(zoom * 108); ++x)
            EXPECT_NEAR(casingAbove(x), casingAbove(x + int(zoom * 40)), casingAbove(x) / 50) << x << " rise " << rise;
    };
    expectSeamlessCasing(50, 11);
    // Turned about the junction, the through road keeps the side road's end where it is; what the
    // side road's drawing keeps clear turns with it.
    platform::BezierPath turned;
    turned.moveToPoint({20, 39});
    turned.lineToPoint({180, 72});
    through->setPath(turned);
    expectSeamlessCasing(39, 33);
}

TEST(Track, SideRoadsFillUpToTheCentreLineAndNoFurtherWhetherTheyRunStraightOrBend)
{
    // Round-capped strokes, entering at an angle: straight into the main road, then bending a
    // couple of points before it.
    const QList<QList<QPointF>> sideRoads = {{{50, 180}, {100, 100}}, {{50, 180}, {99, 103}, {100, 100}}};
    for (const QList<QPointF>& points : sideRoads) {
        Map map;
        const auto main = map.add({20, 100}, {180, 100});
        const auto side = map.add(VXQTrack::trackWithPathType(tracktest::polyline(points), kVXQRoadTrackType));
        ASSERT_EQ(side->endLink(), main.get());
        const VXStylePtr rounded = tracktest::strokes({{kCasing, 12}, {kFill, kFillWidth}});
        for (const VXStrokePtr& stroke : rounded->renderersOfClass<VXStroke>())
            stroke->setLineCapStyle(int(platform::LineCapStyle::Round));
        side->setStyle(rounded);
        constexpr double zoom = 4;
        const QImage image = map.render(true, zoom);
        // The main road's casing beyond the junction is as dark as anywhere along it.
        const auto casingAbove = [&](double x) {
            int darkness = 0;
            for (int y = int(zoom * 94); y < int(zoom * 100); ++y)
                darkness += 255 - qRed(image.pixel(int(zoom * x), y));
            return darkness;
        };
        for (double x = 90; x <= 110; x += 0.5)
            EXPECT_NEAR(casingAbove(x), casingAbove(150), casingAbove(150) / 50) << x << " of " << points.size();
        // Below it, the side road's fill runs on unbroken up to the centre line.
        const QPointF end(100, 100);
        const QPointF back = points.at(points.size() - 2);
        for (double t = 0.02; t <= 0.5; t += 0.02) {
            const QPointF at = (end + t * (back - end)) * zoom;
            EXPECT_TRUE(near(image.pixelColor(at.toPoint()), kFill)) << at.x() << ", " << at.y();
        }
    }
}

TEST(Track, TranslucentSideRoadsShowNoSeamWhereTheirStrokesStopShort)
{
    Map map;
    map.add({20, 100}, {180, 100});
    const auto side = map.add({60, 180}, {100, 100});
    ASSERT_TRUE(side->endLink());
    const VXStylePtr translucent = tracktest::strokes({{kCasing, 12}, {QColor(0, 0, 255, 100), kFillWidth}});
    for (const VXStrokePtr& stroke : translucent->renderersOfClass<VXStroke>()) {
        stroke->setLineCapStyle(int(platform::LineCapStyle::Round));
        stroke->setLineJoinStyle(int(platform::LineJoinStyle::Round));
    }
    side->setStyle(translucent);
    constexpr double zoom = 4;
    const QImage image = map.render(true, zoom);
    // Along the side road's centre, from clear of the main road on back, the fill is as even as
    // anywhere: the strokes' flat ends and their near sides are painted once where they meet.
    const QPointF back = QPointF(-40, 80) / std::hypot(40, 80);
    const auto at = [&](double distance) { return image.pixelColor(((QPointF(100, 100) + distance * back) * zoom).toPoint()); };
    const QColor reference = at(40);
    for (double distance = 10; distance <= 30; distance += 0.25)
        EXPECT_TRUE(near(at(distance), reference)) << distance;
}

TEST(Track, TerminatorsFinishFreeEnds)
{
    Map map;
    const auto road = map.add({50, 100}, {150, 100});
    const auto beyondStart = [&] { return map.render().pixelColor(48, 100); };
    EXPECT_TRUE(near(beyondStart(), Qt::white));
    road->setStartTerminatorType(kVXQRoundTerminator);
    EXPECT_TRUE(near(beyondStart(), kFill));
    EXPECT_TRUE(near(map.render().pixelColor(44, 94), Qt::white)); // rounded: the corner stays clear
    road->setStartTerminatorType(kVXQSquareTerminator);
    EXPECT_TRUE(near(map.render().pixelColor(44, 94), kCasing));
    road->setStartTerminatorType(77); // unknown types draw plain
    EXPECT_TRUE(near(beyondStart(), Qt::white));

    // Each end takes the strokes of the style it lies in.
    const QColor water(40, 90, 220);
    road->setSelectionRange(ZQMakeAbsoluteStyleRange(50, 50));
    road->setStyle(VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), water, kFillWidth));
    road->setEndTerminatorType(kVXQRoundTerminator);
    EXPECT_TRUE(near(map.render().pixelColor(152, 100), water));
    EXPECT_TRUE(near(map.render().pixelColor(153, 104), Qt::white)); // one stroke: no casing ring

    // Strokes with round caps of their own end the same with a round terminator: their edge is
    // not drawn twice, which would darken it.
    Map rounded;
    const auto roundCapped = rounded.add({50, 100}, {150, 100});
    roundCapped->setStyle(factoryRoadStyle());
    const QImage plain = rounded.render(true, 3);
    roundCapped->setStartTerminatorType(kVXQRoundTerminator);
    EXPECT_EQ(rounded.render(true, 3), plain);
}

TEST(Track, RoundaboutsReplaceTheSelectedStretchAsOneUndoStep)
{
    Map map;
    const auto main = map.add({20, 100}, {180, 100});
    main->setEndTerminatorType(kVXQSquareTerminator);
    const auto west = map.add({40, 180}, {40, 100});
    const auto inside = map.add({100, 180}, {100, 100});
    const auto east = map.add({160, 180}, {160, 100});
    const platform::BezierPath original = main->path();
    main->insertMagicRoundabout(nullptr); // nothing selected
    main->setSelectionRange(main->range());
    main->insertMagicRoundabout(nullptr); // no track would be left
    EXPECT_EQ(map.layer->countOfObjects(), 4);

    main->setSelectionRange(ZQMakeAbsoluteStyleRange(60, 40)); // x 80 to 120
    map.undo->closeAutomaticGroup();
    main->insertMagicRoundabout(nullptr);
    EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Insert Roundabout"));
    EXPECT_EQ(map.layer->countOfObjects(), 6);
    VXQTrack* ring = main->endLink();
    VXQTrack* onward = east->endLink();
    ASSERT_TRUE(ring && onward);
    EXPECT_TRUE(ring->path().isClosed());
    EXPECT_EQ(ring->path().bounds(), QRectF(80, 80, 40, 40));
    EXPECT_TRUE(near(main->endPoint(VXQTrackEnd::End), {80, 100}));
    EXPECT_EQ(main->endTerminatorType(), kVXQPlainTerminator);
    EXPECT_EQ(onward->startLink(), ring);
    EXPECT_TRUE(near(onward->endPoint(VXQTrackEnd::Start), {120, 100}));
    EXPECT_EQ(onward->endTerminatorType(), kVXQSquareTerminator);
    EXPECT_EQ(west->endLink(), main.get());
    // Its junction was in the stretch: it runs into the ring now.
    EXPECT_EQ(inside->endLink(), ring);
    EXPECT_TRUE(near(inside->endPoint(VXQTrackEnd::End), {100, 120}));
    EXPECT_TRUE(near(inside->endPoint(VXQTrackEnd::Start), {100, 180}));

    map.undo->undo();
    EXPECT_EQ(map.layer->countOfObjects(), 4);
    EXPECT_EQ(main->path(), original);
    EXPECT_EQ(setOf(main->childLinks()), setOf({west.get(), inside.get(), east.get()}));
    EXPECT_TRUE(near(inside->endPoint(VXQTrackEnd::End), {100, 100}));
    map.undo->redo();
    EXPECT_EQ(east->endLink()->startLink(), main->endLink());

    // At the start of a track, the track itself gives way to what follows the roundabout.
    west->setSelectionRange(ZQMakeAbsoluteStyleRange(0, 40)); // y 180 to 140
    west->insertMagicRoundabout(nullptr);
    EXPECT_EQ(west->layer(), nullptr);
    ASSERT_EQ(main->childLinks().size(), 1);
    EXPECT_TRUE(near(main->childLinks().first()->endPoint(VXQTrackEnd::Start), {40, 140}));
}

TEST(Track, ARoundaboutAtTheEndOfASideRoadSitsOnTheJunctionAndCutsBothRoads)
{
    Map map;
    const auto main = map.add({20, 100}, {180, 100});
    const auto side = map.add({100, 180}, {100, 100});
    ASSERT_EQ(side->endLink(), main.get());
    const platform::BezierPath mainPath = main->path();
    side->setSelectionRange(ZQMakeAbsoluteStyleRange(40, 40)); // y 140 to 100, the joined end
    map.undo->closeAutomaticGroup();
    side->insertMagicRoundabout(nullptr);
    EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Insert Roundabout"));

    VXQTrack* ring = side->endLink();
    ASSERT_TRUE(ring);
    EXPECT_TRUE(ring->path().isClosed());
    EXPECT_TRUE(near(ring->path().bounds().center(), {100, 100}));
    EXPECT_NEAR(ring->path().bounds().width(), 40, 1e-6);
    EXPECT_TRUE(near(side->endPoint(VXQTrackEnd::End), {100, 120}));
    // The main road gives way on both sides.
    EXPECT_EQ(main->endLink(), ring);
    EXPECT_TRUE(near(main->endPoint(VXQTrackEnd::End), {80, 100}));
    ASSERT_EQ(map.layer->countOfObjects(), 4);
    QList<VXQTrack*> onRing = ring->childLinks();
    onRing.removeAll(main.get());
    onRing.removeAll(side.get());
    ASSERT_EQ(onRing.size(), 1);
    EXPECT_TRUE(near(onRing.first()->endPoint(VXQTrackEnd::Start), {120, 100}));
    EXPECT_TRUE(near(onRing.first()->endPoint(VXQTrackEnd::End), {180, 100}));

    map.undo->undo();
    EXPECT_EQ(map.layer->countOfObjects(), 2);
    EXPECT_EQ(main->path(), mainPath);
    EXPECT_EQ(side->endLink(), main.get());
}

TEST(Track, DrawingLeavesThePaintersOpacityAndAntialiasingAsItFoundThem)
{
    // A translucent side road joining a main road midway (its ends filled up to the centre line)
    // with a round terminator at its free end, drawn through both passes.
    Map map;
    map.add({20, 100}, {180, 100});
    const auto side = map.add({60, 180}, {100, 100});
    const VXStylePtr translucent = tracktest::strokes({{kCasing, 12}, {kFill, kFillWidth}});
    translucent->setOpacity(0.5);
    side->setStyle(translucent);
    side->setStartTerminatorType(kVXQRoundTerminator);
    ASSERT_TRUE(side->endLink());

    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setOpacity(0.8);
    const platform::GraphicsContext::Scope scope(&painter);
    map.layer->drawRectInViewShowingHighlighting(QRectF(0, 0, 200, 200), nullptr, false);
    EXPECT_DOUBLE_EQ(painter.opacity(), 0.8);
    EXPECT_FALSE(painter.testRenderHint(QPainter::Antialiasing));
    // Faded by both: the side road's fill near the junction lets the white through.
    const QColor faded = image.pixelColor(96, 108);
    EXPECT_GT(faded.blue(), kFill.blue() + 20);
    EXPECT_LT(faded.blue(), 250);
}
