#pragma once

// Length measurement of a QPainterPath. The path is flattened once into a polyline with a
// cumulative length table; every flattened vertex remembers the source segment and curve
// parameter it came from, so queries answer points on the true curves and sub-paths keep
// their curves. Preparation is O(n); length queries are O(log n).
//
// Lengths run through the subpaths in order; the jump from one subpath to the next adds
// nothing. Immutable once built, so one measure may be shared by copies of a path.

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <limits>
#include <vector>

namespace platform {

class PathMeasure {
public:
    // The largest distance between a curve and its flattened polyline, in path units.
    static constexpr double kDefaultFlatness = 0.01;

    explicit PathMeasure(const QPainterPath& path, double flatness = kDefaultFlatness);
    // How many measures the process has built: tests check with it that a measure is kept.
    static quint64 measuresBuilt();

    double length() const;
    bool isEmpty() const { return m_vertices.empty(); }

    // The point at `length` (clamped to the path) and, when asked, the direction of travel
    // there in radians. A path without segments answers its only point (or the origin) and 0.
    QPointF pointAtLength(double length, double* slope = nullptr) const;

    struct NearestPoint {
        double length = -1; // -1 when no point of the path lies within the distance asked
        double distance = std::numeric_limits<double>::infinity();
        QPointF point;
    };
    // The point of the path nearest to `p`, considering only points within `maxDistance`.
    NearestPoint nearestPoint(QPointF p, double maxDistance = std::numeric_limits<double>::infinity()) const;

    // The part of the path between two lengths (in either order, clamped to the path), with
    // curves cut exactly; empty when the range holds no length.
    QPainterPath pathBetweenLengths(double from, double to) const;

    // The flattened polyline, one polygon per subpath (single points included).
    QList<QPolygonF> flattenedSubpaths() const;

private:
    struct Segment {
        QPointF p0, c1, c2, p1; // a line uses p0 and p1 only
        bool isCurve = false;
        bool startsSubpath = false;
        QPointF pointAt(double t) const;
        QPointF tangentAt(double t) const;
        void appendPiece(QPainterPath& path, double t0, double t1) const;
    };
    struct Vertex {
        QPointF point;
        qint32 segment = -1; // the segment this vertex ends; -1 for a subpath's first point
        bool onCurve = false;
        double t = 0; // curve parameter of the vertex within that segment
    };
    struct Chunk {
        QRectF bounds;
        size_t first = 0, last = 0; // vertex range, edges between consecutive vertices
    };
    struct Location {
        size_t edgeEnd = 0; // index of the vertex that ends the edge
        qint32 segment = -1;
        double t = 0;
    };

    void appendSegment(const Segment& segment, double flatness, int maxSteps);
    void appendVertex(QPointF point, qint32 segment, double t);
    void buildChunks();
    // The edge holding `length`; at a joint the edge after it, or before it when `preferEarlier`.
    Location locate(double length, bool preferEarlier) const;

    std::vector<Segment> m_segments;
    std::vector<Vertex> m_vertices;
    std::vector<double> m_lengths; // cumulative length at each vertex, apart for fast searching
    std::vector<Chunk> m_chunks;
    QList<QPointF> m_isolatedPoints; // subpaths of a single point, kept for flattenedSubpaths
};

} // namespace platform
