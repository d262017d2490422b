// A city of 10,000 road tracks, each styled by three range styles with casings, 300 of them
// made to join another track and most others joining the road their ends fall on, rendered
// into a 4000 x 3000 image through a mapping layer (the casing pass, shims and junctions
// included), against the same three stretches of every road drawn as plain paths with the same
// styles in a plain object layer, with each kind of shim blend. The two are drawn alternately,
// so that a busy machine slows both alike. Also the time to draw one more track into the city
// and redraw the region it covers, as a view does after the tool.

#include "support/BenchSupport.h"
#include "support/DrawingImage.h"
#include "support/TrackCity.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "tracks/TrackClasses.h"
#include "tracks/model/VXQTrack.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace bench;

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

// A seamless casing lies under every track's content, so tracks paint the image twice (all casings,
// then all contents) where plain paths paint once: 1.25-1.52 measured, 1.12-1.22 in instructions.
constexpr double kTracksOverPlainPaths = 1.6;

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerTrackClasses();

    const City city = makeCity();
    std::shared_ptr<VXQMappingLayer> layer;
    const VXDrawingPtr tracks = trackDrawing(city, layer);
    const VXDrawingPtr plain = plainDrawing(city);

    QImage image;
    const auto drawTracks = [&] { image = bench::renderDrawing(*tracks, tracks->bounds()); };
    const auto drawPlain = [&] { image = bench::renderDrawing(*plain, plain->bounds()); };
    drawPlain();
    // The default last, so the city keeps it for adding a track.
    const std::pair<int, const char*> blends[] = {{kZQShimBlendWidthAndColour, "_colour_blend"},
                                                  {kZQShimBlendNone, "_no_blend"},
                                                  {ZQMultiStylePath::defaultShimBlending(), ""}};
    for (const auto& [blending, suffix] : blends) {
        for (const VXDrawableObjectPtr& object : layer->objects())
            static_cast<VXQTrack*>(object.get())->setShimBlending(blending);
        // The first drawing after the change works out what each track draws; a view draws many more.
        drawTracks();
        const auto [ours, peer] = bench::medianSecondsSideBySide(5, drawTracks, drawPlain);
        bench::printComparison(QStringLiteral("tracks_city_10k") + suffix, ours, peer, kTracksOverPlainPaths);
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
