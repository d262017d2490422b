// A style change on every polygon of a large import: 70,000 polygons, each with a style of
// its own that the map's document library holds as an item observing it, all given a new
// opacity at once. Each change posts to the style's observers; the time is that of the whole
// edit, posts and the items' bookkeeping included.
#include "support/BenchSupport.h"
#include "support/BigLibrary.h"

#include "library/catalogue/VXQLibraryCatalogue.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QApplication>
#include <QTemporaryDir>

namespace {

constexpr int kPolygons = 70000;

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    QTemporaryDir place;
    benchscene::prepareLibraryHome(place);
    VXQLibraryCatalogue::initialize();

    std::vector<VXStylePtr> styles;
    std::vector<std::shared_ptr<VXDrawableShape>> polygons;
    QList<ZQObjectPtr> objects;
    for (int i = 0; i < kPolygons; ++i) {
        VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(QColor::fromHsv(i % 360, 120, 200), Qt::black);
        style->setName(QStringLiteral("Parcel %1").arg(i));
        polygons.push_back(VXDrawableShape::drawableShapeWithRect(QRectF(i % 300, i / 300, 1, 1), style));
        objects.append(style);
        styles.push_back(std::move(style));
    }
    const VXQLibraryPtr imported =
        VXQLibraryCatalogue::documentLibraryWithNameForItemsCreateOnDisk(QStringLiteral("Parcels"), objects, false);
    if (!imported || imported->itemCount() != kPolygons) {
        std::fprintf(stderr, "the document library did not take the %d styles\n", kPolygons);
        return 1;
    }

    std::vector<double> runs;
    for (int run = 0; run < 3; ++run)
        runs.push_back(bench::secondsOf([&] {
            for (const VXStylePtr& style : styles)
                style->setOpacity(run % 2 ? 1.0 : 0.5);
        }));
    VXQLibraryCatalogue::applicationWillQuit();
    bench::printValue(QStringLiteral("notification_bulk_style_70000"), bench::median(runs), "s", 1);
    return 0;
}
