#pragma once

// Receives the contour plotter's segments, joins them level by level into strands and
// turns each level into one path: optionally simplified (Douglas-Peucker, tolerance 0.1)
// and then smoothed into curves.

#include "geodata/ZQContourBuilder.h"
#include "geodata/ZQContourPlotter.h"
#include "geodata/ZQDouglasPeuckerSimplifier.h"

#include <QList>
#include <map>
#include <memory>

class ZQBezierContourer : public ZQObject, public ZQContourPlotter::DataReceiver, public ZQContourPlotter::ProgressMonitor {
    Q_OBJECT

public:
    static constexpr double kSimplification = 0.1;

    // Drops every level's segments; called before each computation.
    void reset();
    void contourWithIndexLineFromPointToPoint(quint64 index, QPointF from, QPointF to) override;
    // Drops the segments level `index` received so far (a level too large to draw).
    void forgetContourForIndex(quint64 index);

    // The number of levels that received at least one segment.
    quint64 countOfContours() const { return quint64(m_contours.size()); }
    // The joined strands of level `index` as straight lines; nullopt when it has none.
    std::optional<QPainterPath> vectorPathForIndex(quint64 index) const;
    // The finished path of level `index`.
    std::optional<QPainterPath> contourPathForIndex(quint64 index) const;
    // One entry per level from 0 to the highest that received segments: its finished path,
    // or an empty path for a level without one.
    QList<QPainterPath> allContourPaths() const;

    double smoothing() const { return m_smoothing; }
    void setSmoothing(double smoothing) { m_smoothing = smoothing; }
    bool simplifies() const { return m_simplifier != nullptr; }
    void setSimplifies(bool simplifies);

    // As a progress monitor it logs and always goes on.
    bool notifyProgressValueMaxPhaseUserInfo(qint64 value, qint64 max, qint64 phase, const QVariant& userInfo) override;

private:
    std::map<quint64, ZQContourBuilder> m_contours;
    ZQContourBuilder* m_lastBuilder = nullptr; // segments of one level tend to come in runs
    quint64 m_lastIndex = 0;
    double m_smoothing = 1.0;
    std::unique_ptr<ZQDouglasPeuckerSimplifier> m_simplifier;
};
