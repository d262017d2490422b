#pragma once

// A map like an imported shapefile layer pair: parcels (filled and outlined polygons of 5 to 9
// corners) under roads (polylines of 6 to 20 vertices with round joins), spread evenly over a
// sheet, with a few shared styles as an import makes them. Seeded, so every run draws the same.

#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXStroke.h"

#include <QRandomGenerator>
#include <cmath>

namespace bench {

struct LargeMap {
    VXDrawingPtr drawing;
    std::shared_ptr<VXObjectDrawingLayer> parcels;
    std::shared_ptr<VXObjectDrawingLayer> roads;
};

inline QList<VXStylePtr> largeMapParcelStyles()
{
    QList<VXStylePtr> styles;
    for (const QColor& fill : {QColor(200, 230, 190), QColor(180, 210, 240), QColor(235, 220, 200),
                               QColor(220, 200, 230), QColor(240, 240, 200)})
        styles.append(VXStyle::styleWithFillColourStrokeColourStrokeWidth(fill, fill.darker(160), 0.5));
    return styles;
}

inline QList<VXStylePtr> largeMapRoadStyles()
{
    QList<VXStylePtr> styles;
    for (const auto& [width, colour] : {std::pair{1.0, QColor(90, 90, 90)}, std::pair{2.5, QColor(210, 130, 50)}}) {
        auto style = std::make_shared<VXStyle>();
        auto stroke = VXStroke::strokeWithWidthColour(width, colour);
        stroke->setLineJoinStyle(int(platform::LineJoinStyle::Round));
        stroke->setLineCapStyle(int(platform::LineCapStyle::Round));
        style->addRenderer(stroke);
        styles.append(style);
    }
    return styles;
}

// `objects` features on a sheet of `paper` points, about two parcels to each road.
inline LargeMap makeLargeMap(int objects, QSizeF paper, quint32 seed = 200000)
{
    QRandomGenerator random(seed);
    LargeMap map{VXDrawing::drawingWithSize(paper), std::make_shared<VXObjectDrawingLayer>(),
                 std::make_shared<VXObjectDrawingLayer>()};
    map.drawing->addLayer(map.parcels);
    map.drawing->addLayer(map.roads); // on top
    map.drawing->setActiveLayer(map.roads.get());
    const QList<VXStylePtr> parcelStyles = largeMapParcelStyles();
    const QList<VXStylePtr> roadStyles = largeMapRoadStyles();
    // Parcels sized so that they tile the sheet about once over.
    const double parcelRadius = std::sqrt(paper.width() * paper.height() / (objects * 2.0 / 3.0)) * 0.45;
    QList<VXDrawableObjectPtr> parcels, roads;
    for (int i = 0; i < objects; ++i) {
        const QPointF start(random.bounded(paper.width()), random.bounded(paper.height()));
        platform::BezierPath path;
        if (i % 3 != 2) {
            QPolygonF ring;
            const int corners = 5 + random.bounded(5);
            for (int c = 0; c < corners; ++c) {
                const double angle = 2 * M_PI * c / corners;
                const double r = parcelRadius * (0.6 + random.bounded(0.5));
                ring << start + QPointF(r * std::cos(angle), r * std::sin(angle));
            }
            path.appendBezierPathWithPoints(ring);
            path.closePath();
            parcels.append(VXDrawablePath::drawablePathWithBezierPathWithStyle(
                path, parcelStyles[random.bounded(int(parcelStyles.size()))]));
        } else {
            QPolygonF line;
            QPointF p = start;
            double heading = random.bounded(2 * M_PI);
            for (int v = 0, vertices = 6 + random.bounded(15); v < vertices; ++v) {
                line << p;
                heading += random.bounded(0.6) - 0.3;
                p += QPointF(std::cos(heading), std::sin(heading)) * parcelRadius * (0.5 + random.bounded(0.5));
            }
            path.appendBezierPathWithPoints(line);
            roads.append(VXDrawablePath::drawablePathWithBezierPathWithStyle(
                path, roadStyles[random.bounded(int(roadStyles.size()))]));
        }
    }
    map.parcels->addObjectsFromArray(parcels);
    map.roads->addObjectsFromArray(roads);
    return map;
}

} // namespace bench
