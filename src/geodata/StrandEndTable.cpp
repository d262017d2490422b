#include "geodata/StrandEndTable.h"

#include <utility>

namespace geodata {

void StrandEndTable::insert(quint64 cell, End end)
{
    if (2 * (m_count + 1) > m_slots.size())
        grow();
    size_t at = home(cell);
    while (m_slots[at].end.point >= 0)
        at = (at + 1) & mask();
    m_slots[at] = {cell, end};
    ++m_count;
}

// Backward-shift deletion: later slots of the probe run move up, so no tombstones pile up.
void StrandEndTable::erase(quint64 cell, qint32 point)
{
    if (m_slots.empty())
        return;
    size_t hole = home(cell);
    while (m_slots[hole].end.point >= 0 && !(m_slots[hole].cell == cell && m_slots[hole].end.point == point))
        hole = (hole + 1) & mask();
    if (m_slots[hole].end.point < 0)
        return;
    for (size_t next = (hole + 1) & mask(); m_slots[next].end.point >= 0; next = (next + 1) & mask()) {
        const size_t wanted = home(m_slots[next].cell);
        // The slot may move into the hole unless its home lies cyclically in (hole, next].
        const bool homeAfterHole = hole < next ? (wanted > hole && wanted <= next) : (wanted > hole || wanted <= next);
        if (!homeAfterHole) {
            m_slots[hole] = m_slots[next];
            hole = next;
        }
    }
    m_slots[hole] = Slot();
    --m_count;
}

void StrandEndTable::grow()
{
    std::vector<Slot> old = std::exchange(m_slots, std::vector<Slot>(m_slots.empty() ? 64 : 2 * m_slots.size()));
    m_count = 0;
    for (const Slot& slot : old) {
        if (slot.end.point >= 0)
            insert(slot.cell, slot.end);
    }
}

} // namespace geodata
