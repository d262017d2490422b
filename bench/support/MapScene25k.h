#pragma once

// A map-like scene of 25,000 objects on a 4000 x 3000 point drawing: 20,000 roads (50-vertex
// polylines, 2 wide with round joins, drawn over a casing) above 5,000 filled polygons, made
// from a fixed seed; and the same scene written as SVG for the peer renderers.

#include "platform/graphics/ColourUtilities.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXStroke.h"

#include <QPolygonF>
#include <QRandomGenerator>
#include <cmath>

namespace benchscene {

inline constexpr QSize kCanvas(4000, 3000);
inline constexpr int kRoads = 20000;
inline constexpr int kRoadVertices = 50;
inline constexpr int kPolygons = 5000;

inline const QColor kCasing(90, 90, 90);
inline const QColor kRoad(250, 220, 120);
inline const QList<QColor> kAreaColours{QColor(200, 230, 190), QColor(180, 210, 240), QColor(235, 220, 200),
                                        QColor(220, 200, 230)};

struct Scene {
    QList<QPolygonF> areas;
    QList<int> areaColours;
    QList<QPolygonF> roads;
};

inline Scene makeScene()
{
    QRandomGenerator random(4242);
    Scene scene;
    for (int i = 0; i < kPolygons; ++i) {
        const QPointF centre(random.bounded(double(kCanvas.width())), random.bounded(double(kCanvas.height())));
        const int corners = 6 + random.bounded(7);
        const double radius = 10 + random.bounded(40.0);
        QPolygonF ring;
        for (int c = 0; c < corners; ++c) {
            const double angle = 2 * M_PI * c / corners;
            const double r = radius * (0.6 + random.bounded(0.4));
            ring << centre + QPointF(r * std::cos(angle), r * std::sin(angle));
        }
        scene.areas.append(ring);
        scene.areaColours.append(random.bounded(int(kAreaColours.size())));
    }
    for (int i = 0; i < kRoads; ++i) {
        QPointF p(random.bounded(double(kCanvas.width())), random.bounded(double(kCanvas.height())));
        double heading = random.bounded(2 * M_PI);
        QPolygonF road;
        for (int v = 0; v < kRoadVertices; ++v) {
            road << p;
            heading += random.bounded(0.8) - 0.4;
            p += QPointF(std::cos(heading), std::sin(heading)) * (4 + random.bounded(6.0));
        }
        scene.roads.append(road);
    }
    return scene;
}

inline VXStylePtr roadStyle()
{
    auto style = std::make_shared<VXStyle>();
    for (const auto& [width, colour] : {std::pair{3.5, kCasing}, std::pair{2.0, kRoad}}) {
        auto stroke = VXStroke::strokeWithWidthColour(width, colour);
        stroke->setLineJoinStyle(int(platform::LineJoinStyle::Round));
        stroke->setLineCapStyle(int(platform::LineCapStyle::Round));
        style->addRenderer(stroke);
    }
    return style;
}

inline VXDrawingPtr makeDrawing(const Scene& scene)
{
    VXDrawingPtr drawing = VXDrawing::drawingWithSize(QSizeF(kCanvas));
    auto areas = std::make_shared<VXObjectDrawingLayer>();
    auto roads = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(areas);
    drawing->addLayer(roads); // on top
    QList<VXStylePtr> fills;
    for (const QColor& colour : kAreaColours)
        fills.append(VXStyle::styleWithFillColourStrokeColour(colour, QColor()));
    for (qsizetype i = 0; i < scene.areas.size(); ++i) {
        platform::BezierPath path;
        path.appendBezierPathWithPoints(scene.areas[i]);
        path.closePath();
        areas->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(path, fills[scene.areaColours[i]]));
    }
    const VXStylePtr road = roadStyle();
    for (const QPolygonF& line : scene.roads) {
        platform::BezierPath path;
        path.appendBezierPathWithPoints(line);
        roads->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(path, road));
    }
    return drawing;
}

inline QByteArray svgOf(const Scene& scene)
{
    QByteArray svg;
    svg.reserve(16 << 20);
    svg += QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %1 %2\">\n"
                          "<rect width=\"%1\" height=\"%2\" fill=\"#ffffff\"/>\n")
               .arg(kCanvas.width())
               .arg(kCanvas.height())
               .toUtf8();
    auto points = [](const QPolygonF& polygon) {
        QByteArray text;
        for (const QPointF& p : polygon)
            text += QByteArray::number(p.x(), 'f', 2) + ',' + QByteArray::number(p.y(), 'f', 2) + ' ';
        return text;
    };
    for (qsizetype i = 0; i < scene.areas.size(); ++i)
        svg += "<polygon fill=\"" + platform::hexString(kAreaColours[scene.areaColours[i]]).toUtf8() + "\" points=\""
               + points(scene.areas[i]) + "\"/>\n";
    // Casing then road for each road in turn, as the style draws them.
    const QByteArray casing = "<polyline fill=\"none\" stroke=\"" + platform::hexString(kCasing).toUtf8()
                              + "\" stroke-width=\"3.5\" stroke-linejoin=\"round\" stroke-linecap=\"round\" points=\"";
    const QByteArray road = "<polyline fill=\"none\" stroke=\"" + platform::hexString(kRoad).toUtf8()
                            + "\" stroke-width=\"2\" stroke-linejoin=\"round\" stroke-linecap=\"round\" points=\"";
    for (const QPolygonF& line : scene.roads) {
        const QByteArray coordinates = points(line);
        svg += casing + coordinates + "\"/>\n" + road + coordinates + "\"/>\n";
    }
    svg += "</svg>\n";
    return svg;
}

} // namespace benchscene
