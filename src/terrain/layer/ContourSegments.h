#pragma once

// The plotter's segments of each level of a computation, kept in bands of cell rows in the
// order the plotter sent them. A brush step re-plots only the bands whose heights it changed
// and joins each level it reached again from the segments as kept: joining the same segments
// in the same order makes the same contour as a computation from scratch, without walking
// the whole grid again.

#include <QPointF>
#include <QtGlobal>
#include <algorithm>
#include <vector>

class ContourSegments {
public:
    static constexpr qint64 kBandRows = 16;

    struct Segment {
        QPointF from;
        QPointF to;
    };
    using Band = std::vector<Segment>;
    // One level's bands, from the first cell row of the plotting on.
    using Bands = std::vector<Band>;

    ContourSegments() = default;
    ContourSegments(qsizetype levelCount, qint64 cellRows);

    qsizetype levelCount() const { return qsizetype(m_levels.size()); }
    bool isEmpty() const { return m_levels.empty(); }
    static qint64 bandOfRow(qint64 row) { return row / kBandRows; }
    static qint64 bandCountOfRows(qint64 cellRows) { return (std::max<qint64>(cellRows, 0) + kBandRows - 1) / kBandRows; }
    qint64 bandCount() const { return m_bandCount; }

    // Cell row `row` counted from the plotting's first.
    void add(qsizetype level, qint64 row, QPointF from, QPointF to);
    // The level's segments in `count` bands from `firstBand` on (all of them by default).
    quint64 countOfLevel(qsizetype level, qint64 firstBand = 0, qint64 count = -1) const;
    const Bands& bandsOfLevel(qsizetype level) const { return m_levels[size_t(level)]; }
    Bands takeBands(qsizetype level) { return std::move(m_levels[size_t(level)]); }
    void setBands(qsizetype level, Bands&& bands) { m_levels[size_t(level)] = std::move(bands); }
    // Puts `bands` in place of as many of the level's bands from `firstBand` on.
    void replaceBands(qsizetype level, qint64 firstBand, Bands&& bands);

private:
    std::vector<Bands> m_levels;
    qint64 m_bandCount = 0;
};
