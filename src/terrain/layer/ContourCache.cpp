#include "terrain/layer/ContourCache.h"

ContourCache::ContourCache(const QList<QPainterPath>& levelPaths) : m_paths(levelPaths)
{
    m_strands.reserve(levelPaths.size());
    for (const QPainterPath& path : levelPaths)
        m_strands.append(strandsOf(path));
}

void ContourCache::replaceLevel(qsizetype level, const QPainterPath& path)
{
    while (m_paths.size() <= level) {
        m_paths.append(QPainterPath());
        m_strands.append(QList<Strand>());
    }
    m_paths[level] = path;
    m_strands[level] = strandsOf(path);
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
