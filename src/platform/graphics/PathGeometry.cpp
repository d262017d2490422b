#include "platform/graphics/PathGeometry.h"

#include <QLineF>
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

namespace platform {

double Slope(QPointF p1, QPointF p2)
{
    return std::atan2(p2.y() - p1.y(), p2.x() - p1.x());
}

double PointFromLine(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    if (length == 0)
        return QLineF(p, a).length();
    return std::abs(d.x() * (a.y() - p.y()) - d.y() * (a.x() - p.x())) / length;
}

QTransform RotationTransform(double angle, QPointF centre)
{
    return QTransform::fromTranslate(-centre.x(), -centre.y())
         * QTransform().rotateRadians(angle)
         * QTransform::fromTranslate(centre.x(), centre.y());
}

QRectF ScaledRectForSize(QSizeF size, QRectF rect)
{
    if (!(size.width() > 0 && size.height() > 0))
        return QRectF(rect.center(), QSizeF(0, 0));
    const double scale = std::min(rect.width() / size.width(), rect.height() / size.height());
    QRectF fitted(QPointF(0, 0), size * scale);
    fitted.moveCenter(rect.center());
    return fitted;
}

QRectF CentreRectInRect(QRectF rect, QRectF container)
{
    rect.moveCenter(container.center());
    return rect;
}

QRectF UnionOfRectsInSet(const QList<QRectF>& rects)
{
    QRectF result;
    for (const QRectF& r : rects)
        result = result.united(r);
    return result;
}

QSizeF scaledSizeToFitSize(QSizeF size, QSizeF box)
{
    const double w = size.width(), h = size.height();
    if (w == h) {
        const double side = std::min(box.width(), box.height());
        return {side, side};
    }
    const double heightRatio = float(h / w);
    if (heightRatio * box.width() > box.height())
        return {box.height() * double(float(w / h)), box.height()};
    return {box.width(), box.width() * heightRatio};
}

namespace {

struct Ring {
    double signedArea = 0;
    QPointF centroid;
    QRectF bounds;
    const QPolygonF* polygon = nullptr;
};

// Computed relative to the first vertex, so map coordinates far from the origin keep
// their precision.
Ring measureRing(const QPolygonF& polygon)
{
    Ring ring;
    ring.polygon = &polygon;
    ring.bounds = polygon.boundingRect();
    if (polygon.size() < 3)
        return ring;
    const QPointF origin = polygon.first();
    double twiceArea = 0, cx = 0, cy = 0;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon[i] - origin;
        const QPointF b = polygon[(i + 1) % polygon.size()] - origin;
        const double cross = a.x() * b.y() - b.x() * a.y();
        twiceArea += cross;
        cx += (a.x() + b.x()) * cross;
        cy += (a.y() + b.y()) * cross;
    }
    ring.signedArea = twiceArea / 2;
    if (twiceArea != 0)
        ring.centroid = origin + QPointF(cx, cy) / (3 * twiceArea);
    return ring;
}

bool ringContainsRing(const Ring& outer, const Ring& inner)
{
    const QPointF probe = inner.polygon->first();
    return outer.bounds.contains(probe) && outer.polygon->containsPoint(probe, Qt::OddEvenFill);
}

} // namespace

double signedPolygonArea(const QPolygonF& ring)
{
    return measureRing(ring).signedArea;
}

namespace {

// One side of a ring, relative to the region's origin.
struct Edge {
    QPointF a, b;
    qsizetype ring = 0, index = 0; // which ring, and where in it
    double minX() const { return std::min(a.x(), b.x()); }
    double maxX() const { return std::max(a.x(), b.x()); }
    double yAt(double x) const { return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()); }
};

double cross(QPointF u, QPointF v)
{
    return u.x() * v.y() - u.y() * v.x();
}

int orientation(QPointF a, QPointF b, QPointF c)
{
    const double turn = cross(b - a, c - a);
    return (turn > 0) - (turn < 0);
}

bool onSegment(QPointF a, QPointF b, QPointF p)
{
    return std::min(a.x(), b.x()) <= p.x() && p.x() <= std::max(a.x(), b.x()) && std::min(a.y(), b.y()) <= p.y()
        && p.y() <= std::max(a.y(), b.y());
}

bool adjacent(const Edge& e, const Edge& f, const std::vector<qsizetype>& ringSizes)
{
    if (e.ring != f.ring)
        return false;
    const qsizetype n = ringSizes[size_t(e.ring)];
    return (e.index + 1) % n == f.index || (f.index + 1) % n == e.index;
}

// Whether two sides meet (touching counts), and where they cross properly.
bool sidesMeet(const Edge& e, const Edge& f, std::optional<double>& crossingX)
{
    const int o1 = orientation(e.a, e.b, f.a), o2 = orientation(e.a, e.b, f.b);
    const int o3 = orientation(f.a, f.b, e.a), o4 = orientation(f.a, f.b, e.b);
    if (o1 * o2 < 0 && o3 * o4 < 0) {
        const QPointF d = e.b - e.a;
        crossingX = e.a.x() + d.x() * cross(f.a - e.a, f.b - f.a) / cross(d, f.b - f.a);
        return true;
    }
    return (o1 == 0 && onSegment(e.a, e.b, f.a)) || (o2 == 0 && onSegment(e.a, e.b, f.b))
        || (o3 == 0 && onSegment(f.a, f.b, e.a)) || (o4 == 0 && onSegment(f.a, f.b, e.b));
}

// The x of every proper crossing of sides, or nothing when no two sides that are not
// neighbours meet at all (the rings are then simple, nested or apart). Sweeps the sides in x,
// testing only those whose x ranges overlap.
std::optional<std::vector<double>> crossingsIfAnySidesMeet(std::vector<Edge> edges,
                                                           const std::vector<qsizetype>& ringSizes)
{
    std::sort(edges.begin(), edges.end(), [](const Edge& e, const Edge& f) { return e.minX() < f.minX(); });
    std::vector<double> crossings;
    bool met = false;
    std::vector<const Edge*> active;
    for (const Edge& edge : edges) {
        std::erase_if(active, [&](const Edge* other) { return other->maxX() < edge.minX(); });
        const double low = std::min(edge.a.y(), edge.b.y()), high = std::max(edge.a.y(), edge.b.y());
        for (const Edge* other : active) {
            if (std::max(other->a.y(), other->b.y()) < low || std::min(other->a.y(), other->b.y()) > high
                || adjacent(edge, *other, ringSizes))
                continue;
            std::optional<double> crossingX;
            if (sidesMeet(edge, *other, crossingX)) {
                met = true;
                if (crossingX)
                    crossings.push_back(*crossingX);
            }
        }
        active.push_back(&edge);
    }
    if (!met)
        return std::nullopt;
    return crossings;
}

// Rings that touch or cross: the region is cut into vertical slabs at every vertex and
// crossing, inside which no sides cross, so each filled span between neighbouring sides is
// a trapezoid.
RegionMeasure measureBySlabs(const std::vector<Edge>& allEdges, std::vector<double> xs,
                             const std::function<bool(int)>& filled, QPointF origin)
{
    std::vector<Edge> edges;
    for (const Edge& e : allEdges) {
        if (e.a.x() != e.b.x()) // upright sides bound no slab
            edges.push_back(e);
        xs.push_back(e.a.x());
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::sort(edges.begin(), edges.end(), [](const Edge& e, const Edge& f) { return e.minX() < f.minX(); });

    double area = 0, momentX = 0, momentY = 0;
    std::vector<const Edge*> active;
    std::vector<std::pair<double, const Edge*>> ordered;
    size_t next = 0;
    for (size_t k = 0; k + 1 < xs.size(); ++k) {
        const double x0 = xs[k], x1 = xs[k + 1], middle = (x0 + x1) / 2, width = x1 - x0;
        std::erase_if(active, [&](const Edge* e) { return e->maxX() <= x0; });
        while (next < edges.size() && edges[next].minX() <= x0)
            active.push_back(&edges[next++]);
        ordered.clear();
        for (const Edge* e : active)
            ordered.emplace_back(e->yAt(middle), e);
        std::sort(ordered.begin(), ordered.end(), [](const auto& p, const auto& q) { return p.first < q.first; });
        int winding = 0;
        for (size_t i = 0; i + 1 < ordered.size(); ++i) {
            const Edge& lower = *ordered[i].second;
            winding += lower.b.x() > lower.a.x() ? 1 : -1;
            if (!filled(winding))
                continue;
            const Edge& upper = *ordered[i + 1].second;
            const double h0 = upper.yAt(x0) - lower.yAt(x0), h1 = upper.yAt(x1) - lower.yAt(x1);
            const double m0 = (upper.yAt(x0) + lower.yAt(x0)) / 2, m1 = (upper.yAt(x1) + lower.yAt(x1)) / 2;
            area += width * (h0 + h1) / 2;
            momentX += x0 * width * (h0 + h1) / 2 + width * width * (h0 / 6 + h1 / 3);
            momentY += width / 6 * (2 * m0 * h0 + m0 * h1 + m1 * h0 + 2 * m1 * h1);
        }
    }
    if (!(area > 0))
        return {};
    return {area, origin + QPointF(momentX, momentY) / area};
}

// Rings that neither touch nor cross: each adds or removes its area by how the winding
// number changes across it.
RegionMeasure measureNestedRings(const QList<QPolygonF>& polygons, const std::function<bool(int)>& filled)
{
    std::vector<Ring> rings;
    for (const QPolygonF& polygon : polygons) {
        const Ring ring = measureRing(polygon);
        if (ring.signedArea != 0 && std::isfinite(ring.signedArea))
            rings.push_back(ring);
    }
    double area = 0;
    QPointF moment;
    for (const Ring& ring : rings) {
        int windingOutside = 0;
        for (const Ring& other : rings) {
            if (&other != &ring && ringContainsRing(other, ring))
                windingOutside += other.signedArea > 0 ? 1 : -1;
        }
        const int windingInside = windingOutside + (ring.signedArea > 0 ? 1 : -1);
        const int weight = int(filled(windingInside)) - int(filled(windingOutside));
        area += weight * std::abs(ring.signedArea);
        moment += weight * std::abs(ring.signedArea) * ring.centroid;
    }
    if (area <= 0)
        return {};
    return {area, moment / area};
}

} // namespace

RegionMeasure measureRegion(const QList<QPolygonF>& polygons, WindingRule rule)
{
    const std::function<bool(int)> filled = [rule](int winding) {
        return rule == WindingRule::NonZero ? winding != 0 : (winding & 1) != 0;
    };
    std::vector<Edge> edges;
    std::vector<qsizetype> ringSizes;
    QPointF origin;
    for (const QPolygonF& polygon : polygons) {
        // Repeated points (a closing point above all) would part neighbouring sides.
        QPolygonF corners;
        for (const QPointF& p : polygon)
            if (corners.isEmpty() || p != corners.last())
                corners.append(p);
        while (corners.size() > 1 && corners.first() == corners.last())
            corners.removeLast();
        if (corners.size() < 3)
            continue;
        if (ringSizes.empty())
            origin = corners.first();
        for (qsizetype i = 0; i < corners.size(); ++i) {
            const QPointF a = corners[i] - origin, b = corners[(i + 1) % corners.size()] - origin;
            if (!std::isfinite(a.x()) || !std::isfinite(a.y()))
                return {};
            edges.push_back({a, b, qsizetype(ringSizes.size()), i});
        }
        ringSizes.push_back(corners.size());
    }
    std::optional<std::vector<double>> crossings = crossingsIfAnySidesMeet(edges, ringSizes);
    if (!crossings)
        return measureNestedRings(polygons, filled);
    return measureBySlabs(edges, std::move(*crossings), filled, origin);
}

} // namespace platform
