#include "terrain/layer/ContourCache.h"

ContourCache::ContourCache(const ContourResult& result)
    : m_paths(result.paths), m_strands(result.strands), m_leftOut(result.leftOut), m_exhausted(result.exhausted)
    , m_segments(result.segments)
{
    m_strands.resize(m_paths.size());
    trim();
}

void ContourCache::replaceLevel(qsizetype level, const QPainterPath& path, const QList<Strand>& strands, bool leftOut)
{
    while (m_paths.size() <= level) {
        m_paths.append(QPainterPath());
        m_strands.append(QList<Strand>());
    }
    m_paths[level] = path;
    m_strands[level] = strands;
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
