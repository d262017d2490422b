#pragma once

// The computed contours of a terrain layer: one path per level (empty where a level has none,
// listed up to the highest level that has one) and, for drawing, each path's strands with
// their bounds, so a redraw of a small area strokes only the strands that reach it.

#include <QList>
#include <QPainterPath>
#include <QRectF>

class ContourCache {
public:
    struct Strand {
        QPainterPath path;
        QRectF bounds; // of the control points
    };

    explicit ContourCache(const QList<QPainterPath>& levelPaths);

    const QList<QPainterPath>& paths() const { return m_paths; }
    const QList<Strand>& strandsOfLevel(qsizetype level) const { return m_strands[level]; }
    qsizetype levelCount() const { return m_paths.size(); }
    // Replaces one level's path, growing or trimming the list as a full computation would list it.
    void replaceLevel(qsizetype level, const QPainterPath& path);

private:
    static QList<Strand> strandsOf(const QPainterPath& path);

    QList<QPainterPath> m_paths;
    QList<QList<Strand>> m_strands;
};
