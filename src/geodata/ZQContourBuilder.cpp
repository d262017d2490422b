#include "geodata/ZQContourBuilder.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Compared squared: the square root would be taken for every candidate end.
bool isWithinTolerance(QPointF a, QPointF b)
{
    const double dx = a.x() - b.x(), dy = a.y() - b.y();
    return dx * dx + dy * dy < ZQContourBuilder::kTolerance * ZQContourBuilder::kTolerance;
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
    if (!finite || isWithinTolerance(from, to))
        return;
    const Match a = match(from);
    const Match b = match(to);

    if (a.strand < 0 && b.strand < 0) {
        const qint32 head = addPoint(from);
        const qint32 tail = addPoint(to);
        link(head, tail);
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
        if (a.atHead == b.atHead) {
            Strand& turned = m_strands[size_t(a.strand)];
            std::swap(turned.head, turned.tail);
        }
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
        if (!isWithinTolerance(at, m_points[size_t(candidate.point)].at))
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
    const qint32 neighbour = nextAfter(end.atHead ? strand.head : strand.tail, -1);
    return neighbour >= 0 && isWithinTolerance(m_points[size_t(neighbour)].at, other);
}

qint32 ZQContourBuilder::addPoint(QPointF at)
{
    m_points.push_back({at, cellKey(cellOf(at))});
    return qint32(m_points.size() - 1);
}

void ZQContourBuilder::addEnd(qint32 point, qint32 strand)
{
    m_ends.insert(m_points[size_t(point)].cell, {point, strand});
}

void ZQContourBuilder::removeEnd(qint32 point)
{
    m_ends.erase(m_points[size_t(point)].cell, point);
}

void ZQContourBuilder::retarget(qint32 point, qint32 strand)
{
    m_ends.forEachAt(m_points[size_t(point)].cell, [&](geodata::StrandEndTable::End& end) {
        if (end.point == point)
            end.strand = strand;
    });
}

void ZQContourBuilder::link(qint32 a, qint32 b)
{
    qint32* const aLinks = m_points[size_t(a)].links;
    qint32* const bLinks = m_points[size_t(b)].links;
    aLinks[aLinks[0] < 0 ? 0 : 1] = b;
    bLinks[bLinks[0] < 0 ? 0 : 1] = a;
}

qint32 ZQContourBuilder::nextAfter(qint32 point, qint32 from) const
{
    const qint32* const links = m_points[size_t(point)].links;
    return links[0] == from ? links[1] : links[0];
}

void ZQContourBuilder::extend(qint32 strandIndex, bool atHead, QPointF at)
{
    Strand& strand = m_strands[size_t(strandIndex)];
    const qint32 point = addPoint(at);
    qint32& end = atHead ? strand.head : strand.tail;
    removeEnd(end);
    link(end, point);
    end = point;
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
    link(first.tail, second.head);
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
        for (qint32 from = strand->head, at = nextAfter(from, -1); at >= 0;) {
            path.lineTo(m_points[size_t(at)].at);
            from = std::exchange(at, nextAfter(at, from));
        }
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
        // Rounded down by hand: std::floor is a library call here, and this runs for every point.
        const double scaled = std::clamp(coordinate / kCellSize, -kLimit, kLimit);
        const qint64 truncated = qint64(scaled);
        return double(truncated) > scaled ? truncated - 1 : truncated;
    };
    return {index(at.x()), index(at.y())};
}
