#include "geodata/ZQBezierContourer.h"

#include "platform/graphics/BezierPath.h"

#include "platform/foundation/ZQLog.h"

void ZQBezierContourer::reset()
{
    m_contours.clear();
    m_lastBuilder = nullptr;
}

void ZQBezierContourer::contourWithIndexLineFromPointToPoint(quint64 index, QPointF from, QPointF to)
{
    if (!m_lastBuilder || m_lastIndex != index) {
        m_lastBuilder = &m_contours[index];
        m_lastIndex = index;
    }
    m_lastBuilder->addSegmentFromPointToPoint(from, to);
}

void ZQBezierContourer::forgetContourForIndex(quint64 index)
{
    m_contours.erase(index);
    if (m_lastIndex == index)
        m_lastBuilder = nullptr;
}

std::optional<QPainterPath> ZQBezierContourer::vectorPathForIndex(quint64 index) const
{
    const auto builder = m_contours.find(index);
    if (builder == m_contours.end())
        return std::nullopt;
    return builder->second.contourPath();
}

std::optional<QPainterPath> ZQBezierContourer::contourPathForIndex(quint64 index) const
{
    std::optional<QPainterPath> path = vectorPathForIndex(index);
    if (!path)
        return std::nullopt;
    if (m_simplifier)
        path = m_simplifier->simplifyPath(*path);
    // Without smoothing the curve would only retrace the polyline.
    if (!(m_smoothing > 0))
        return path;
    return platform::BezierPath(*path).bezierPathByInterpolatingPath(m_smoothing).painterPath();
}

// Levels that receive segments normally form the run 0, 1, 2, ...; a level in between
// without segments still keeps its place, so entry i is always level i.
QList<QPainterPath> ZQBezierContourer::allContourPaths() const
{
    QList<QPainterPath> paths;
    if (m_contours.empty())
        return paths;
    for (quint64 index = 0; index <= m_contours.rbegin()->first; ++index)
        paths.append(contourPathForIndex(index).value_or(QPainterPath()));
    return paths;
}

void ZQBezierContourer::setSimplifies(bool simplifies)
{
    if (!simplifies) {
        m_simplifier.reset();
    } else if (!m_simplifier) {
        m_simplifier = std::make_unique<ZQDouglasPeuckerSimplifier>();
        m_simplifier->setSimplification(kSimplification);
    }
}

bool ZQBezierContourer::notifyProgressValueMaxPhaseUserInfo(qint64 value, qint64 max, qint64 phase, const QVariant&)
{
    ZQLog(QStringLiteral("plotting %1 of %2 (phase = %3)").arg(value).arg(max).arg(phase));
    return true;
}
