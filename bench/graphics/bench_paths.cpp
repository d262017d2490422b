// Path measuring and stroking on a 100,000-segment polyline.

#include "support/BenchSupport.h"

#include "platform/graphics/BezierPath.h"

#include <QGuiApplication>
#include <QPainterPathStroker>
#include <cmath>
#include <cstdio>
#include <random>

using platform::BezierPath;

namespace {

constexpr int kSegments = 100000;
constexpr int kQueries = 1000000;
constexpr int kRuns = 5;

// A wandering line like a digitised coastline.
BezierPath polyline()
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> turn(-0.3, 0.3);
    BezierPath path;
    QPointF p(0, 0);
    double heading = 0;
    path.moveToPoint(p);
    for (int i = 0; i < kSegments; ++i) {
        heading += turn(random);
        p += QPointF(std::cos(heading), std::sin(heading)) * 2.0;
        path.lineToPoint(p);
    }
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const BezierPath source = polyline();

    const double preparation = bench::medianSeconds(kRuns, [&] {
        BezierPath fresh = source;
        fresh.lineToPoint(fresh.currentPoint()); // drops the shared flattening
        bench::keep(fresh.length());
    });

    BezierPath measured = source;
    const double total = measured.length();
    std::vector<double> lengths(kQueries);
    std::mt19937 random(11);
    std::uniform_real_distribution<double> along(0, total);
    for (double& l : lengths)
        l = along(random);
    const double queries = bench::medianSeconds(kRuns, [&] {
        double slope = 0, sum = 0;
        for (double l : lengths)
            sum += measured.pointOnPathAtLengthSlope(l, &slope).x() + slope;
        bench::keep(sum);
    });

    BezierPath round = source;
    round.setLineJoinStyle(platform::LineJoinStyle::Round);
    round.setLineCapStyle(platform::LineCapStyle::Round);
    const double ours = bench::medianSeconds(kRuns, [&] { bench::keep(round.strokedPathWithStrokeWidth(3.0)); });
    const double peer = bench::medianSeconds(kRuns, [&] {
        QPainterPathStroker stroker;
        stroker.setWidth(3.0);
        stroker.setJoinStyle(Qt::RoundJoin);
        stroker.setCapStyle(Qt::RoundCap);
        bench::keep(stroker.createStroke(source.painterPath()));
    });

    bench::printValue("path_prepare_100k_segments", preparation, "s", 0.05);
    bench::printValue("path_point_at_length_100k_segments", queries / kQueries * 1e9, "ns", 1000);
    bench::printComparison("path_stroke_round_joins_100k_segments", ours, peer, 1.5);
    return 0;
}
