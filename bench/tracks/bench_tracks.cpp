// A city of 10,000 road tracks, each styled by three range styles with casings and 300 of
// them joining another track, rendered into a 4000 x 3000 image through a mapping layer (the
// casing pass, shims and junctions included), against the same three stretches of every road
// drawn as plain paths with the same styles in a plain object layer, with each kind of shim
// blend. Also the time to draw one more track into the city and redraw the region it covers,
// as a view does after the tool.

#include "support/BenchSupport.h"
#include "support/DrawingImage.h"

#include "app/VXQMappingLayer.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "tracks/FactoryTrackStyles.h"
#include "tracks/TrackClasses.h"
#include "tracks/VXQTrack.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr QSize kCanvas(4000, 3000);
constexpr int kTracks = 10000;
constexpr int kJunctions = 300;
constexpr int kSegments = 5;

VXStylePtr roadStyle(const QColor& casing, double casingWidth, const QColor& fill, double fillWidth)
{
    auto style = std::make_shared<VXStyle>();
    for (const auto& [colour, width] : {std::pair{casing, casingWidth}, std::pair{fill, fillWidth}}) {
        VXStrokePtr stroke = VXStroke::strokeWithWidthColour(width, colour);
        stroke->setLineCapStyle(int(platform::LineCapStyle::Round));
        stroke->setLineJoinStyle(int(platform::LineJoinStyle::Round));
        style->addRenderer(stroke);
    }
    return style;
}

struct City {
    QList<platform::BezierPath> roads;
    QList<VXStylePtr> styles;
};

platform::BezierPath randomRoad(QRandomGenerator& random, QPointF start)
{
    platform::BezierPath road;
    road.moveToPoint(start);
    double heading = random.bounded(2 * M_PI);
    QPointF point = start;
    for (int i = 0; i < kSegments; ++i) {
        heading += random.bounded(0.8) - 0.4;
        const double step = 30 + random.bounded(30.0);
        point += QPointF(std::cos(heading) * step, std::sin(heading) * step);
        road.lineToPoint(point);
    }
    return road;
}

// Roads 0..kJunctions-1 start halfway along road i + kJunctions, so they join it.
City makeCity()
{
    QRandomGenerator random(20261207);
    City city;
    city.styles = {factoryRoadStyle(), roadStyle(QColor(70, 70, 70), 8, Qt::white, 5),
                   roadStyle(QColor(120, 40, 20), 10, QColor(240, 150, 80), 7)};
    for (int i = 0; i < kTracks; ++i) {
        const QPointF start(200 + random.bounded(kCanvas.width() - 400.0), 200 + random.bounded(kCanvas.height() - 400.0));
        city.roads.append(randomRoad(random, start));
    }
    for (int i = 0; i < kJunctions; ++i) {
        const platform::BezierPath& parent = city.roads[i + kJunctions];
        city.roads[i] = randomRoad(random, parent.pointOnPathAtLengthSlope(parent.length() / 2));
    }
    return city;
}

// The three stretches of a road, a third of its length each.
QList<ZQStyleRange> thirds(double length)
{
    return {ZQMakeAbsoluteStyleRange(0, length / 3), ZQMakeAbsoluteStyleRange(length / 3, length / 3),
            ZQMakeAbsoluteStyleRange(2 * length / 3, length / 3)};
}

VXQTrackPtr makeTrack(const City& city, int index)
{
    const platform::BezierPath& road = city.roads[index];
    VXQTrackPtr track = VXQTrack::trackWithPathType(road, kVXQRoadTrackType);
    QList<ZQRangeDrawingStylePtr> styles;
    const QList<ZQStyleRange> ranges = thirds(road.length());
    for (int k = 0; k < 3; ++k)
        styles.append(ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(city.styles[(index + k) % 3], ranges[k]));
    track->setStyles(styles);
    return track;
}

VXDrawingPtr trackDrawing(const City& city, std::shared_ptr<VXQMappingLayer>& layer)
{
    VXDrawingPtr drawing = VXDrawing::drawingWithSize(kCanvas);
    layer = std::make_shared<VXQMappingLayer>();
    drawing->addLayer(layer);
    QList<VXDrawableObjectPtr> tracks;
    for (int i = 0; i < kTracks; ++i)
        tracks.append(makeTrack(city, i));
    layer->addObjectsFromArray(tracks);
    int joined = 0;
    for (int i = 0; i < kJunctions; ++i) {
        auto* track = static_cast<VXQTrack*>(tracks[i].get());
        if (track->startLink() || track->setLinkAtEnd(VXQTrackEnd::Start, static_cast<VXQTrack*>(tracks[i + kJunctions].get())))
            ++joined;
    }
    std::fprintf(stderr, "tracks: %d, junctions made: %d\n", kTracks, joined);
    return drawing;
}

VXDrawingPtr plainDrawing(const City& city)
{
    VXDrawingPtr drawing = VXDrawing::drawingWithSize(kCanvas);
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    QList<VXDrawableObjectPtr> paths;
    for (int i = 0; i < kTracks; ++i) {
        const platform::BezierPath& road = city.roads[i];
        const QList<ZQStyleRange> ranges = thirds(road.length());
        for (int k = 0; k < 3; ++k)
            paths.append(VXDrawablePath::drawablePathWithBezierPathWithStyle(
                road.bezierPathWithRange(ranges[k].location, ranges[k].length), city.styles[(i + k) % 3]));
    }
    layer->addObjectsFromArray(paths);
    return drawing;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerTrackClasses();

    const City city = makeCity();
    std::shared_ptr<VXQMappingLayer> layer;
    const VXDrawingPtr tracks = trackDrawing(city, layer);
    const VXDrawingPtr plain = plainDrawing(city);

    QImage image;
    const double peer = bench::medianSeconds(3, [&] { image = bench::renderDrawing(*plain, plain->bounds()); });
    // The default last, so the city keeps it for adding a track.
    const std::pair<int, const char*> blends[] = {{kZQShimBlendWidthAndColour, "_colour_blend"},
                                                  {kZQShimBlendNone, "_no_blend"},
                                                  {ZQMultiStylePath::defaultShimBlending(), ""}};
    for (const auto& [blending, suffix] : blends) {
        for (const VXDrawableObjectPtr& object : layer->objects())
            static_cast<VXQTrack*>(object.get())->setShimBlending(blending);
        const double ours = bench::medianSeconds(3, [&] { image = bench::renderDrawing(*tracks, tracks->bounds()); });
        bench::printComparison(QStringLiteral("tracks_city_10k") + suffix, ours, peer, 1.5);
    }

    // One more road across the middle of town, drawn with undo as the tool does.
    ZQUndoManager undo;
    tracks->setUndoManager(&undo);
    QRandomGenerator random(7);
    std::vector<double> times;
    for (int run = 0; run < 9; ++run) {
        const City one{{randomRoad(random, QPointF(2000, 1500))}, city.styles};
        const VXQTrackPtr track = makeTrack(one, 0);
        times.push_back(bench::medianSeconds(1, [&] {
            layer->addObject(track);
            image = bench::renderDrawing(*tracks, track->bounds());
        }));
        layer->removeObject(track.get());
        undo.removeAllActions();
    }
    std::sort(times.begin(), times.end());
    const double addOne = times[times.size() / 2];
    bench::printValue("tracks_add_one", addOne * 1000, "ms", 16);
    return 0;
}
