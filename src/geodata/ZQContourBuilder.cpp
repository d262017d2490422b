#include "geodata/ZQContourBuilder.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

} // namespace

// A segment shorter than the tolerance (or not finite) joins nothing to anything; its two
// ends would match the same strand end and close a strand that is not closed. A segment
// that repeats the last edge at a strand's end is dropped: where a level runs exactly along
// a grid edge, both triangles beside the edge report it. A closed strand takes no further
// segments.
void ZQContourBuilder::addSegmentFromPointToPoint(QPointF from, QPointF to)
{
    const bool finite = std::isfinite(from.x()) && std::isfinite(from.y()) && std::isfinite(to.x())
        && std::isfinite(to.y());
    if (!finite || distance(from, to) < kTolerance)
        return;
    const Match a = match(from);
    const Match b = match(to);

    if (a.strand < 0 && b.strand < 0) {
        const qint32 head = addPoint(from);
        const qint32 tail = addPoint(to);
        m_points[size_t(head)].next = tail;
        m_points[size_t(tail)].previous = head;
        m_strands.push_back({head, tail, 2});
        addEnd(head, qint32(m_strands.size() - 1));
        addEnd(tail, qint32(m_strands.size() - 1));
    } else if (b.strand < 0) {
        if (!repeatsEndEdge(a, to))
            extend(a.strand, a.atHead, to);
    } else if (a.strand < 0) {
        if (!repeatsEndEdge(b, from))
            extend(b.strand, b.atHead, from);
    } else if (a.strand == b.strand) {
        if (a.atHead != b.atHead && m_strands[size_t(a.strand)].count > 2) {
            Strand& strand = m_strands[size_t(a.strand)];
            strand.closed = true;
            removeEnd(strand.head);
            removeEnd(strand.tail);
        }
    } else {
        // Turn `from`'s strand so that the segment runs from one strand's tail to the other's head.
        if (a.atHead == b.atHead)
            reverse(m_strands[size_t(a.strand)]);
        if (b.atHead)
            append(a.strand, b.strand);
        else
            append(b.strand, a.strand);
    }
}

ZQContourBuilder::Match ZQContourBuilder::match(QPointF at) const
{
    Match best;
    auto consider = [&](const geodata::StrandEndTable::End& candidate) {
        if (distance(at, m_points[size_t(candidate.point)].at) >= kTolerance)
            return;
        const bool atHead = m_strands[size_t(candidate.strand)].head == candidate.point;
        if (candidate.strand > best.strand || (candidate.strand == best.strand && atHead))
            best = {candidate.strand, atHead};
    };
    // Cells are much larger than the tolerance, so a neighbouring cell matters only for a
    // point that lies within the tolerance of its own cell's edge.
    const Cell low = cellOf(at - QPointF(kTolerance, kTolerance));
    const Cell high = cellOf(at + QPointF(kTolerance, kTolerance));
    for (qint64 column = low.column; column <= high.column; ++column) {
        for (qint64 row = low.row; row <= high.row; ++row)
            m_ends.forEachAt(cellKey({column, row}), consider);
    }
    return best;
}

bool ZQContourBuilder::repeatsEndEdge(const Match& end, QPointF other) const
{
    const Strand& strand = m_strands[size_t(end.strand)];
    const qint32 neighbour = end.atHead ? m_points[size_t(strand.head)].next : m_points[size_t(strand.tail)].previous;
    return neighbour >= 0 && distance(m_points[size_t(neighbour)].at, other) < kTolerance;
}

qint32 ZQContourBuilder::addPoint(QPointF at)
{
    m_points.push_back({at});
    return qint32(m_points.size() - 1);
}

void ZQContourBuilder::addEnd(qint32 point, qint32 strand)
{
    m_ends.insert(cellKey(cellOf(m_points[size_t(point)].at)), {point, strand});
}

void ZQContourBuilder::removeEnd(qint32 point)
{
    m_ends.erase(cellKey(cellOf(m_points[size_t(point)].at)), point);
}

void ZQContourBuilder::retarget(qint32 point, qint32 strand)
{
    m_ends.forEachAt(cellKey(cellOf(m_points[size_t(point)].at)), [&](geodata::StrandEndTable::End& end) {
        if (end.point == point)
            end.strand = strand;
    });
}

void ZQContourBuilder::reverse(Strand& strand)
{
    for (qint32 at = strand.head; at >= 0;) {
        Point& point = m_points[size_t(at)];
        std::swap(point.next, point.previous);
        at = point.previous;
    }
    std::swap(strand.head, strand.tail);
}

void ZQContourBuilder::extend(qint32 strandIndex, bool atHead, QPointF at)
{
    Strand& strand = m_strands[size_t(strandIndex)];
    const qint32 point = addPoint(at);
    if (atHead) {
        removeEnd(strand.head);
        m_points[size_t(point)].next = strand.head;
        m_points[size_t(strand.head)].previous = point;
        strand.head = point;
    } else {
        removeEnd(strand.tail);
        m_points[size_t(point)].previous = strand.tail;
        m_points[size_t(strand.tail)].next = point;
        strand.tail = point;
    }
    addEnd(point, strandIndex);
    ++strand.count;
}

void ZQContourBuilder::append(qint32 firstIndex, qint32 secondIndex)
{
    Strand& first = m_strands[size_t(firstIndex)];
    Strand& second = m_strands[size_t(secondIndex)];
    removeEnd(first.tail);
    removeEnd(second.head);
    retarget(second.tail, firstIndex);
    m_points[size_t(first.tail)].next = second.head;
    m_points[size_t(second.head)].previous = first.tail;
    first.tail = second.tail;
    first.count += second.count;
    second.merged = true;
}

QPainterPath ZQContourBuilder::contourPath() const
{
    QPainterPath path;
    for (auto strand = m_strands.rbegin(); strand != m_strands.rend(); ++strand) {
        if (strand->merged || strand->count < 4)
            continue;
        path.moveTo(m_points[size_t(strand->head)].at);
        for (qint32 at = m_points[size_t(strand->head)].next; at >= 0; at = m_points[size_t(at)].next)
            path.lineTo(m_points[size_t(at)].at);
        if (strand->closed)
            path.closeSubpath();
    }
    return path;
}

quint64 ZQContourBuilder::cellKey(const Cell& cell)
{
    return quint64(cell.column) * 0x9E3779B97F4A7C15ull ^ quint64(cell.row);
}

ZQContourBuilder::Cell ZQContourBuilder::cellOf(QPointF at)
{
    // Far-out coordinates share cells; the distance test still tells their points apart.
    static constexpr double kLimit = 1e15;
    auto index = [](double coordinate) {
        return qint64(std::floor(std::clamp(coordinate / kCellSize, -kLimit, kLimit)));
    };
    return {index(at.x()), index(at.y())};
}
