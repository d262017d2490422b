#pragma once

// The city the track benchmarks draw: 10,000 roads of five random segments over a 4000 x 3000
// canvas, each styled by three range styles with casings, 300 of them starting halfway along
// another road. The same seed gives the same city to every benchmark that draws it.

#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "tracks/styles/FactoryTrackStyles.h"
#include "tracks/model/VXQTrack.h"

#include <QRandomGenerator>
#include <cmath>

namespace bench {

inline constexpr QSize kCanvas(4000, 3000);
inline constexpr int kTracks = 10000;
inline constexpr int kJunctions = 300;
inline constexpr int kSegments = 5;

inline VXStylePtr roadStyle(const QColor& casing, double casingWidth, const QColor& fill, double fillWidth)
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

inline platform::BezierPath randomRoad(QRandomGenerator& random, QPointF start)
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
inline City makeCity()
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
inline QList<ZQStyleRange> thirds(double length)
{
    return {ZQMakeAbsoluteStyleRange(0, length / 3), ZQMakeAbsoluteStyleRange(length / 3, length / 3),
            ZQMakeAbsoluteStyleRange(2 * length / 3, length / 3)};
}

inline VXQTrackPtr makeTrack(const City& city, int index)
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

} // namespace bench
