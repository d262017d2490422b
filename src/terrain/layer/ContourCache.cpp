#include "terrain/layer/ContourCache.h"

#include "terrain/layer/ContourComputation.h"

ContourCache::ContourCache(const QList<QPainterPath>& levelPaths, const QSet<qsizetype>& leftOut, bool exhausted)
    : m_paths(levelPaths), m_leftOut(leftOut), m_exhausted(exhausted)
{
    m_strands.reserve(levelPaths.size());
    for (const QPainterPath& path : levelPaths)
        m_strands.append(strandsOf(path));
    trim();
}

void ContourCache::replaceLevel(qsizetype level, const QPainterPath& path, bool leftOut)
{
    while (m_paths.size() <= level) {
        m_paths.append(QPainterPath());
        m_strands.append(QList<Strand>());
    }
    m_paths[level] = path;
    m_strands[level] = strandsOf(path);
    if (leftOut)
        m_leftOut.insert(level);
    else
        m_leftOut.remove(level);
    trim();
}

QString ContourCache::problem() const { return ContourComputation::problemText(m_exhausted, m_leftOut.size()); }

void ContourCache::trim()
{
    while (!m_paths.isEmpty() && m_paths.last().isEmpty()) {
        m_paths.removeLast();
        m_strands.removeLast();
    }
}

QList<ContourCache::Strand> ContourCache::strandsOf(const QPainterPath& path)
{
    QList<Strand> strands;
    QPainterPath current;
    const auto finish = [&] {
        if (!current.isEmpty())
            strands.append({current, current.controlPointRect()});
        current = QPainterPath();
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        switch (element.type) {
        case QPainterPath::MoveToElement:
            finish();
            current.moveTo(element);
            break;
        case QPainterPath::LineToElement:
            current.lineTo(element);
            break;
        case QPainterPath::CurveToElement:
            current.cubicTo(element, path.elementAt(i + 1), path.elementAt(i + 2));
            i += 2;
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    finish();
    return strands;
}
