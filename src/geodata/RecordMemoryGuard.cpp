#include "geodata/RecordMemoryGuard.h"

#include <algorithm>

namespace geodata {

RecordMemoryGuard::RecordMemoryGuard(Probe probe, qint64 margin) : m_probe(std::move(probe)), m_margin(margin) {}

bool RecordMemoryGuard::admits(qint64 kept, qint64 transient)
{
    if (!m_measured || (m_free && m_granted + kept + transient > std::min(*m_free / 4, kMeasureStep)))
        measure();
    if (!m_free)
        return true;
    const qint64 left = *m_free - m_granted - kept;
    if (left < m_margin || left - transient < m_margin / 2)
        return false;
    m_granted += kept;
    return true;
}

void RecordMemoryGuard::measure()
{
    m_free = m_probe();
    m_measured = true;
    m_granted = 0;
}

} // namespace geodata
