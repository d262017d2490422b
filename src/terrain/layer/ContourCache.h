#pragma once

// The computed contours of a terrain layer: one path per level (empty where a level has none,
// listed up to the highest level that has one) and, for drawing, each path's strands with
// their bounds, so a redraw of a small area strokes only the strands that reach it. It also
// keeps which levels were too large to draw, or that none could be, for the map to say so,
// and the segments they were joined from, while those stay complete.

#include "terrain/layer/ContourComputation.h"

#include <QList>
#include <QPainterPath>
#include <QRectF>
#include <QSet>

class ContourCache {
public:
    using Strand = ContourStrand;

    // The levels of a computation of all of them.
    explicit ContourCache(const ContourResult& result);

    const QList<QPainterPath>& paths() const { return m_paths; }
    const QList<Strand>& strandsOfLevel(qsizetype level) const { return m_strands[level]; }
    qsizetype levelCount() const { return m_paths.size(); }
    // Replaces one level's path, growing or trimming the list as a full computation would list it.
    void replaceLevel(qsizetype level, const QPainterPath& path, const QList<Strand>& strands, bool leftOut = false);
    // Empty once a level was replaced without them.
    ContourSegments& segments() { return m_segments; }
    void forgetSegments() { m_segments = {}; }
    // No level is drawn: all together were too large.
    bool isExhausted() const { return m_exhausted; }
    // Empty when every level is drawn.
    QString problem() const;

private:
    void trim();

    QList<QPainterPath> m_paths;
    QList<QList<Strand>> m_strands;
    QSet<qsizetype> m_leftOut;
    bool m_exhausted = false;
    ContourSegments m_segments;
};
