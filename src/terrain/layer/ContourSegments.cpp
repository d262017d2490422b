#include "terrain/layer/ContourSegments.h"

ContourSegments::ContourSegments(qsizetype levelCount, qint64 cellRows)
    : m_levels(size_t(levelCount)), m_bandCount(bandCountOfRows(cellRows))
{
    for (Bands& bands : m_levels)
        bands.resize(size_t(m_bandCount));
}

void ContourSegments::add(qsizetype level, qint64 row, QPointF from, QPointF to)
{
    m_levels[size_t(level)][size_t(bandOfRow(row))].push_back({from, to});
}

quint64 ContourSegments::countOfLevel(qsizetype level, qint64 firstBand, qint64 count) const
{
    const Bands& bands = m_levels[size_t(level)];
    const qint64 end = count < 0 ? qint64(bands.size()) : std::min(qint64(bands.size()), firstBand + count);
    quint64 segments = 0;
    for (qint64 i = firstBand; i < end; ++i)
        segments += bands[size_t(i)].size();
    return segments;
}

void ContourSegments::replaceBands(qsizetype level, qint64 firstBand, Bands&& bands)
{
    Bands& kept = m_levels[size_t(level)];
    for (size_t i = 0; i < bands.size(); ++i)
        kept[size_t(firstBand) + i] = std::move(bands[i]);
}
