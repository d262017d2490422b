// The city of the track benchmarks with one "%%name" label along every road, rendered into
// the same 4000 x 3000 image: the label pass of the mapping layer (every road's labels laid
// along their stretch of the road) against the roads' own pass (casings and contents).

#include "support/BenchSupport.h"
#include "support/DrawingImage.h"
#include "support/TrackCity.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/graphics/GraphicsContext.h"
#include "symbols/SymbolClasses.h"
#include "symbols/labels/PathLabelContainer.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

using namespace bench;

QList<VXQTrackPtr> labelledCity(const City& city)
{
    QList<VXQTrackPtr> tracks;
    for (int i = 0; i < kTracks; ++i) {
        VXQTrackPtr track = makeTrack(city, i);
        track->setMetadataItemValueForKey(QStringLiteral("Road %1").arg(i), QStringLiteral("name"));
        const VXQTextPathLabelPtr label = VXQTextPathLabel::label();
        PathLabelContainer::of(*track).addTextLabel(label);
        label->sizeToPath(nullptr);
        label->fitToText(nullptr);
        tracks.append(track);
    }
    return tracks;
}

// What the mapping layer's label pass draws: every object's labels, in order.
void drawLabels(const QList<VXQTrackPtr>& tracks, QImage& image)
{
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const platform::GraphicsContext::Scope scope(&painter);
    for (const VXQTrackPtr& track : tracks)
        track->drawTextLabelsInView(nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerSymbolClasses();

    const City city = makeCity();
    const QList<VXQTrackPtr> tracks = labelledCity(city);
    VXDrawingPtr drawing = VXDrawing::drawingWithSize(kCanvas);
    auto layer = std::make_shared<VXQMappingLayer>();
    drawing->addLayer(layer);
    layer->addObjectsFromArray(QList<VXDrawableObjectPtr>(tracks.begin(), tracks.end()));
    std::fprintf(stderr, "roads: %d, one label each\n", kTracks);

    // The roads' pass with the labels hidden, then the labels alone.
    const auto hideLabels = [&](bool hidden) {
        for (const VXQTrackPtr& track : tracks)
            track->setLabelsHidden(hidden);
    };
    QImage roads;
    hideLabels(true);
    const double peer = bench::medianSeconds(3, [&] { roads = bench::renderDrawing(*drawing, drawing->bounds()); });
    hideLabels(false);
    QImage labels(kCanvas, QImage::Format_ARGB32_Premultiplied);
    const double ours = bench::medianSeconds(3, [&] { drawLabels(tracks, labels); });
    bench::keep(roads);
    bench::keep(labels);
    bench::printComparison(QStringLiteral("path_labels_10000"), ours, peer, 0.4);
    return 0;
}
