#pragma once

// Plane geometry shared by drawing code: angles, distances, rectangle fitting and the
// area and centroid of polygon rings. Angles are in radians; coordinates are y-down.

#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

namespace platform {

enum class WindingRule { NonZero, EvenOdd };

// The angle of the line from p1 to p2 (atan2, so in -pi..pi).
double Slope(QPointF p1, QPointF p2);

// The perpendicular distance from p to the infinite line through a and b
// (the distance to a when a and b coincide).
double PointFromLine(QPointF p, QPointF a, QPointF b);

// A rotation by `angle` about `centre`.
QTransform RotationTransform(double angle, QPointF centre);

// The largest rectangle with the proportions of `size`, centred in `rect`
// (an empty rectangle at the centre when `size` has no area).
QRectF ScaledRectForSize(QSizeF size, QRectF rect);

// `rect` moved so that its centre is the centre of `container`; its size is kept.
QRectF CentreRectInRect(QRectF rect, QRectF container);

// The union of the rectangles; null rectangles are ignored.
QRectF UnionOfRectsInSet(const QList<QRectF>& rects);

// `size` scaled proportionally to fit `box`. The ratios are rounded to single precision
// so icons come out at the same sizes as in documents made elsewhere.
QSizeF scaledSizeToFitSize(QSizeF size, QSizeF box);

// The shoelace area of a ring (implicitly closed): positive when the ring runs clockwise
// on a y-down screen (counter-clockwise in y-up mathematics), negative otherwise.
double signedPolygonArea(const QPolygonF& ring);

// Area and centroid of the region that a set of rings (implicitly closed) encloses under a
// winding rule, whatever their orientation: nested, apart, touching, overlapping or crossing
// themselves.
struct RegionMeasure {
    double area = 0;  // never negative
    QPointF centroid; // the null point when the area is 0
};
RegionMeasure measureRegion(const QList<QPolygonF>& rings, WindingRule rule);

} // namespace platform
