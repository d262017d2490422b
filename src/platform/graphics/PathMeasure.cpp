#include "platform/graphics/PathMeasure.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace platform {

namespace {

std::atomic<quint64> s_measuresBuilt{0};

// Hostile coordinates must not turn one curve, or many, into unbounded memory.
constexpr int kMaxStepsPerCurve = 1024;
constexpr int kMinStepsPerCurve = 16;
constexpr qint64 kVertexBudget = 4 << 20;
constexpr size_t kVerticesPerChunk = 64;
constexpr double kRelativeFlatness = 1e-3;

double distance(QPointF a, QPointF b)
{
    return std::hypot(b.x() - a.x(), b.y() - a.y());
}

double norm(QPointF v)
{
    return std::hypot(v.x(), v.y());
}

// Uniform steps that keep a cubic within `flatness` of its chords (Wang's bound). Small
// curves get a finer flatness so their lengths stay accurate relative to their size.
int flatteningSteps(QPointF p0, QPointF c1, QPointF c2, QPointF p1, double flatness, int maxSteps)
{
    const double extent = std::max({norm(c1 - p0), norm(c2 - c1), norm(p1 - c2)});
    flatness = std::min(flatness, kRelativeFlatness * extent);
    const double bend = std::max(norm(p0 - 2 * c1 + c2), norm(c1 - 2 * c2 + p1));
    if (bend == 0)
        return 1;
    const double steps = std::ceil(std::sqrt(0.75 * bend / flatness));
    if (!(steps < maxSteps))
        return maxSteps;
    return std::max(1, int(steps));
}

double distanceToRect(QPointF p, const QRectF& r)
{
    const double dx = std::max({r.left() - p.x(), 0.0, p.x() - r.right()});
    const double dy = std::max({r.top() - p.y(), 0.0, p.y() - r.bottom()});
    return std::hypot(dx, dy);
}

struct Cubic {
    QPointF p[4];
};

// de Casteljau: the part of the cubic before t and the part after it.
std::pair<Cubic, Cubic> split(const Cubic& c, double t)
{
    auto lerp = [t](QPointF a, QPointF b) { return a + (b - a) * t; };
    const QPointF ab = lerp(c.p[0], c.p[1]), bc = lerp(c.p[1], c.p[2]), cd = lerp(c.p[2], c.p[3]);
    const QPointF abc = lerp(ab, bc), bcd = lerp(bc, cd);
    const QPointF mid = lerp(abc, bcd);
    return {Cubic{{c.p[0], ab, abc, mid}}, Cubic{{mid, bcd, cd, c.p[3]}}};
}

} // namespace

QPointF PathMeasure::Segment::pointAt(double t) const
{
    if (!isCurve)
        return p0 + (p1 - p0) * t;
    const double s = 1 - t;
    return s * s * s * p0 + 3 * s * s * t * c1 + 3 * s * t * t * c2 + t * t * t * p1;
}

QPointF PathMeasure::Segment::tangentAt(double t) const
{
    if (!isCurve)
        return p1 - p0;
    const double s = 1 - t;
    return 3 * s * s * (c1 - p0) + 6 * s * t * (c2 - c1) + 3 * t * t * (p1 - c2);
}

void PathMeasure::Segment::appendPiece(QPainterPath& path, double t0, double t1) const
{
    if (!isCurve) {
        path.lineTo(pointAt(t1));
        return;
    }
    Cubic piece{{p0, c1, c2, p1}};
    if (t1 < 1)
        piece = split(piece, t1).first;
    if (t0 > 0 && t1 > 0)
        piece = split(piece, t0 / t1).second;
    path.cubicTo(piece.p[1], piece.p[2], piece.p[3]);
}

quint64 PathMeasure::measuresBuilt()
{
    return s_measuresBuilt.load(std::memory_order_relaxed);
}

PathMeasure::PathMeasure(const QPainterPath& path, double flatness)
{
    s_measuresBuilt.fetch_add(1, std::memory_order_relaxed);
    if (!(flatness > 0 && std::isfinite(flatness)))
        flatness = kDefaultFlatness;
    qint64 curves = 0;
    for (int i = 0; i < path.elementCount(); ++i)
        curves += path.elementAt(i).type == QPainterPath::CurveToElement;
    const int maxSteps = int(std::clamp<qint64>(kVertexBudget / std::max<qint64>(curves, 1), kMinStepsPerCurve,
                                                kMaxStepsPerCurve));
    m_vertices.reserve(size_t(path.elementCount()));
    m_lengths.reserve(size_t(path.elementCount()));
    QPointF current;
    bool afterMove = false;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            current = e;
            appendVertex(current, -1, 0);
            afterMove = true;
            break;
        case QPainterPath::LineToElement:
            appendSegment({current, {}, {}, e, false, afterMove}, flatness, maxSteps);
            current = e;
            afterMove = false;
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 >= path.elementCount())
                break;
            appendSegment({current, e, path.elementAt(i + 1), path.elementAt(i + 2), true, afterMove}, flatness,
                          maxSteps);
            current = path.elementAt(i + 2);
            afterMove = false;
            i += 2;
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    buildChunks();
}

void PathMeasure::appendSegment(const Segment& segment, double flatness, int maxSteps)
{
    const auto index = qint32(m_segments.size());
    m_segments.push_back(segment);
    if (m_vertices.empty())
        appendVertex(segment.p0, -1, 0);
    if (!segment.isCurve) {
        appendVertex(segment.p1, index, 1);
        return;
    }
    const int steps = flatteningSteps(segment.p0, segment.c1, segment.c2, segment.p1, flatness, maxSteps);
    for (int i = 1; i < steps; ++i)
        appendVertex(segment.pointAt(double(i) / steps), index, double(i) / steps);
    appendVertex(segment.p1, index, 1);
}

void PathMeasure::appendVertex(QPointF point, qint32 segment, double t)
{
    const double step = segment < 0 ? 0.0 : distance(m_vertices.back().point, point);
    m_lengths.push_back(length() + step);
    m_vertices.push_back({point, segment, segment >= 0 && m_segments[size_t(segment)].isCurve, t});
}

void PathMeasure::buildChunks()
{
    for (size_t first = 0; first < m_vertices.size(); first += kVerticesPerChunk) {
        Chunk chunk;
        chunk.first = first;
        chunk.last = std::min(first + kVerticesPerChunk, m_vertices.size() - 1);
        double left = m_vertices[first].point.x(), right = left;
        double top = m_vertices[first].point.y(), bottom = top;
        for (size_t k = first + 1; k <= chunk.last; ++k) {
            const QPointF p = m_vertices[k].point;
            left = std::min(left, p.x());
            right = std::max(right, p.x());
            top = std::min(top, p.y());
            bottom = std::max(bottom, p.y());
        }
        chunk.bounds = QRectF(QPointF(left, top), QPointF(right, bottom));
        m_chunks.push_back(chunk);
    }
}

double PathMeasure::length() const
{
    return m_lengths.empty() ? 0 : m_lengths.back();
}

PathMeasure::Location PathMeasure::locate(double length, bool preferEarlier) const
{
    const auto begin = m_lengths.begin(), end = m_lengths.end();
    auto it = preferEarlier && length > 0 ? std::lower_bound(begin, end, length) : std::upper_bound(begin, end, length);
    if (it == end)
        it = std::lower_bound(begin, end, length);
    const size_t k = size_t(it - begin);
    const Vertex& from = m_vertices[k - 1];
    const Vertex& to = m_vertices[k];
    const double t0 = from.segment == to.segment ? from.t : 0;
    const double fraction = (length - m_lengths[k - 1]) / (m_lengths[k] - m_lengths[k - 1]);
    return {k, to.segment, t0 + fraction * (to.t - t0)};
}

QPointF PathMeasure::pointAtLength(double length, double* slope) const
{
    if (slope)
        *slope = 0;
    if (m_vertices.empty())
        return {};
    const double total = this->length();
    if (!(total > 0))
        return m_vertices.front().point;
    length = std::clamp(std::isnan(length) ? 0.0 : length, 0.0, total);
    const Location at = locate(length, length >= total);
    const Vertex& from = m_vertices[at.edgeEnd - 1];
    const Vertex& to = m_vertices[at.edgeEnd];
    // A line is one edge with t running 0..1, so it needs no look at its segment.
    const QPointF chord = to.point - from.point;
    QPointF point = from.point + at.t * chord;
    QPointF direction = chord;
    if (to.onCurve) {
        const Segment& segment = m_segments[size_t(at.segment)];
        point = segment.pointAt(at.t);
        if (const QPointF tangent = segment.tangentAt(at.t); norm(tangent) > 0)
            direction = tangent;
    }
    if (slope)
        *slope = std::atan2(direction.y(), direction.x());
    return point;
}

PathMeasure::NearestPoint PathMeasure::nearestPoint(QPointF p, double maxDistance) const
{
    NearestPoint best;
    if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || !(maxDistance >= 0))
        return best;
    for (const Chunk& chunk : m_chunks) {
        if (distanceToRect(p, chunk.bounds) > std::min(best.distance, maxDistance))
            continue;
        for (size_t k = chunk.first; k <= chunk.last; ++k) {
            const Vertex& to = m_vertices[k];
            if (to.segment < 0) {
                // A subpath of a single point is found at its own length.
                const bool isolated = k + 1 == m_vertices.size() || m_vertices[k + 1].segment < 0;
                const double d = distance(p, to.point);
                if (isolated && d < best.distance && d <= maxDistance)
                    best = {m_lengths[k], d, to.point};
                continue;
            }
            const Vertex& from = m_vertices[k - 1];
            const QPointF edge = to.point - from.point;
            const double edgeLengthSquared = QPointF::dotProduct(edge, edge);
            const double u = edgeLengthSquared > 0
                                 ? std::clamp(QPointF::dotProduct(p - from.point, edge) / edgeLengthSquared, 0.0, 1.0)
                                 : 0.0;
            const QPointF onEdge = from.point + u * edge;
            const double d = distance(p, onEdge);
            if (d < best.distance && d <= maxDistance)
                best = {m_lengths[k - 1] + u * (m_lengths[k] - m_lengths[k - 1]), d, onEdge};
        }
    }
    return best;
}

QPainterPath PathMeasure::pathBetweenLengths(double from, double to) const
{
    const double total = length();
    if (std::isnan(from) || std::isnan(to) || !(total > 0))
        return {};
    if (from > to)
        std::swap(from, to);
    from = std::clamp(from, 0.0, total);
    to = std::clamp(to, 0.0, total);
    if (!(to > from))
        return {};
    const Location start = locate(from, false), end = locate(to, true);
    QPainterPath path;
    path.moveTo(m_segments[size_t(start.segment)].pointAt(start.t));
    for (qint32 s = start.segment; s <= end.segment; ++s) {
        const Segment& segment = m_segments[size_t(s)];
        if (s != start.segment && segment.startsSubpath)
            path.moveTo(segment.p0);
        segment.appendPiece(path, s == start.segment ? start.t : 0, s == end.segment ? end.t : 1);
    }
    return path;
}

QList<QPolygonF> PathMeasure::flattenedSubpaths() const
{
    QList<QPolygonF> subpaths;
    for (const Vertex& v : m_vertices) {
        if (v.segment < 0)
            subpaths.append(QPolygonF());
        subpaths.last().append(v.point);
    }
    return subpaths;
}

} // namespace platform
