#pragma once

// Joins the loose segments of one contour level into strands: polylines that grow at
// either end, merge when a segment bridges two of them, and close when a segment links a
// strand's two ends. Points closer than the tolerance are the same point; the point
// already in a strand keeps its coordinates.

#include "geodata/StrandEndTable.h"

#include <QPainterPath>
#include <QPointF>
#include <vector>

class ZQContourBuilder {
public:
    static constexpr double kTolerance = 0.0001;

    void addSegmentFromPointToPoint(QPointF from, QPointF to);

    // Every strand of at least 4 points, newest first; closed strands as closed sub-paths.
    QPainterPath contourPath() const;

private:
    // Links carry no direction, so turning a strand round only swaps its head and tail:
    // merges would otherwise rewrite whole strands. A strand end has one link of -1.
    struct Point {
        QPointF at;
        quint64 cell; // the key of its cell in the end table
        qint32 links[2] = {-1, -1};
    };
    struct Strand {
        qint32 head;
        qint32 tail;
        qint64 count;
        bool closed = false;
        bool merged = false; // absorbed into another strand
    };
    struct Match {
        qint32 strand = -1;
        bool atHead = false;
    };

    // Strands are numbered in creation order, and a merge keeps the older position, so
    // the newest strand has the highest number: matching prefers it, head before tail.
    Match match(QPointF at) const;
    // Whether the segment from a strand end to `other` is the edge already at that end.
    bool repeatsEndEdge(const Match& end, QPointF other) const;
    qint32 addPoint(QPointF at);
    void addEnd(qint32 point, qint32 strand);
    void removeEnd(qint32 point);
    void retarget(qint32 point, qint32 strand);
    void link(qint32 a, qint32 b);
    // The neighbour of an end point, or of `point` when arriving from `from`.
    qint32 nextAfter(qint32 point, qint32 from) const;
    void extend(qint32 strand, bool atHead, QPointF at);
    // Appends `second` behind `first`'s tail; `first` keeps its place in the list.
    void append(qint32 first, qint32 second);

    struct Cell {
        qint64 column;
        qint64 row;
    };
    static constexpr double kCellSize = 100 * kTolerance;
    static quint64 cellKey(const Cell& cell);
    static Cell cellOf(QPointF at);

    std::vector<Point> m_points;
    std::vector<Strand> m_strands;
    geodata::StrandEndTable m_ends; // open strand ends by cell
};
