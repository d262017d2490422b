// The spatial index of object layers with a map's mix of objects: 10,000 long roads and rivers
// (wandering lines spanning a tenth to a third of a 20,000-unit sheet) among 10,000 small
// buildings. Times the region queries a view makes (1,000 x 600 windows at random places,
// exact bounds test included) and removing every road, one after another.

#include "support/BenchSupport.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <cmath>

namespace {

constexpr double kSheet = 20000;
constexpr int kRoads = 10000;
constexpr int kBuildings = 10000;
constexpr int kQueries = 2000;
constexpr QSizeF kWindow(1000, 600);

VXDrawableObjectPtr road(QRandomGenerator& random)
{
    platform::BezierPath path;
    QPointF point(random.bounded(kSheet), random.bounded(kSheet));
    const double heading = random.bounded(2 * M_PI);
    const double stride = (kSheet / 10 + random.bounded(kSheet / 4.5)) / 6;
    path.moveToPoint(point);
    for (int i = 0; i < 6; ++i) {
        const double turn = heading + random.bounded(0.6) - 0.3;
        point += QPointF(std::cos(turn), std::sin(turn)) * stride;
        path.lineToPoint(point);
    }
    return VXDrawablePath::drawablePathWithBezierPath(path);
}

void fill(VXBSPDirectObjectStorage& storage)
{
    QRandomGenerator random(20261207);
    storage.setIndexBounds({0, 0, kSheet, kSheet});
    for (int i = 0; i < kBuildings; ++i) {
        const QRectF house(random.bounded(kSheet), random.bounded(kSheet), 10 + random.bounded(30.0), 10 + random.bounded(30.0));
        storage.insertObjectsAtIndexes({VXDrawableShape::drawableShapeWithRect(house, nullptr)}, {storage.count()});
    }
    for (int i = 0; i < kRoads; ++i)
        storage.insertObjectsAtIndexes({road(random)}, {storage.count()});
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    registerVantrixDrawingClasses();

    QList<QRectF> windows;
    QRandomGenerator random(7);
    for (int i = 0; i < kQueries; ++i)
        windows.append({{random.bounded(kSheet - kWindow.width()), random.bounded(kSheet - kWindow.height())}, kWindow});

    VXBSPDirectObjectStorage storage;
    fill(storage);
    qsizetype found = 0;
    const double query = bench::medianSeconds(5, [&] {
        for (const QRectF& window : windows)
            found += storage.objectsIntersectingRect(window).size();
    });
    bench::keep(found);
    bench::printValue(QStringLiteral("storage_region_query_10000_long_roads"), query * 1000 / kQueries, "ms", 0.1);

    std::vector<double> removals;
    for (int run = 0; run < 3; ++run) {
        VXBSPDirectObjectStorage filled;
        fill(filled);
        removals.push_back(bench::secondsOf([&] {
            while (filled.count() > kBuildings)
                filled.removeObjectsAtIndexes({filled.count() - 1});
        }));
    }
    bench::printValue(QStringLiteral("storage_remove_10000_long_roads"), bench::median(removals) * 1000, "ms", 50);
    return 0;
}
