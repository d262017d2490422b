#pragma once

// The contours of a height grid at given levels, computed within a budget of segments: on a
// noisy grid every level crosses nearly every cell, and joining and smoothing tens of millions
// of segments would exhaust memory and stall the program. A level that needs more than
// kMaximumSegmentsPerLevel segments is left out; when all levels together need more than
// kMaximumSegments, the computation stops and none are drawn. The result says which. (A request
// may set other limits.)
//
// A computation reads only the request, so it may run on any thread while the layer's own
// grid changes; the levels are shared out to the idle cores. It stops early, answering
// nothing, once its cancel flag is set.

#include "geodata/ZQMatrixArray.h"
#include "terrain/layer/ContourSegments.h"

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSet>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <optional>

namespace ContourComputation {
inline constexpr quint64 kMaximumSegmentsPerLevel = 500'000;
inline constexpr quint64 kMaximumSegments = 2'000'000;
} // namespace ContourComputation

struct ContourRequest {
    std::shared_ptr<const ZQMatrixArray> grid; // full rows; must not change while computed
    QList<double> levels;                      // upward
    double cellSize = 1;
    QPointF origin;
    bool simplifies = false;
    double smoothing = 0;
    quint64 maximumSegmentsPerLevel = ContourComputation::kMaximumSegmentsPerLevel;
    quint64 maximumSegments = ContourComputation::kMaximumSegments;
    // The result keeps the plotter's segments, for brush steps to recompute from.
    bool keepsSegments = false;
};

// One subpath of a level's contour, as drawing strokes it.
struct ContourStrand {
    QPainterPath path;
    QRectF bounds; // of the control points
};

struct ContourResult {
    // One path per requested level: empty where the level crosses nothing or was left out.
    QList<QPainterPath> paths;
    // Each path cut into its strands, which the computing threads do rather than the views.
    QList<QList<ContourStrand>> strands;
    // Positions in the request's levels of the levels left out.
    QSet<qsizetype> leftOut;
    // The whole budget was spent (or memory ran out): no path was made.
    bool exhausted = false;
    bool cancelled = false;
    // Kept when asked and every level was drawn; empty otherwise.
    ContourSegments segments;
};

namespace ContourComputation {

ContourResult compute(const ContourRequest& request, const std::atomic<bool>* cancel = nullptr);

// The request's levels, kept in `segments` as its levels at `positions`, after the heights of
// cell rows `firstRow` to `lastRow` changed: re-plots only those rows' bands, then joins each
// level again from its segments. Nothing when a level would be left out or the budget spent
// (a computation from scratch says how); the segments are then as they were.
std::optional<ContourResult> recomputeRows(const ContourRequest& request, const QList<qsizetype>& positions,
                                           qint64 firstRow, qint64 lastRow, ContourSegments& segments);

// The threads computations share their levels out to (not Qt's global pool, which the views'
// painting waits on); background computations start there too.
QThreadPool& threadPool();

// Lines or curves in one strand at most.
inline constexpr int kMostStrandPieces = 64;
// The subpaths of `path`, each cut into strands of at most kMostStrandPieces.
QList<ContourStrand> strandsOf(const QPainterPath& path);

// What a map shows in place of what was left out; empty when nothing was.
QString problemText(bool exhausted, qsizetype levelsLeftOut);

} // namespace ContourComputation
