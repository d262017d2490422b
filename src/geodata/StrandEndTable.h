#pragma once

// The open ends of contour strands by grid cell: a flat hash table with linear probing,
// which a contour computation fills and empties millions of times without allocating.

#include <QtGlobal>
#include <vector>

namespace geodata {

class StrandEndTable {
public:
    struct End {
        qint32 point;
        qint32 strand;
    };

    void insert(quint64 cell, End end);
    // Removes the end at `point` filed under `cell`, if there is one.
    void erase(quint64 cell, qint32 point);

    // Calls visit(end) for every end filed under `cell`.
    template <class Visit>
    void forEachAt(quint64 cell, Visit&& visit)
    {
        visitAt(*this, cell, visit);
    }
    template <class Visit>
    void forEachAt(quint64 cell, Visit&& visit) const
    {
        visitAt(*this, cell, visit);
    }

private:
    struct Slot {
        quint64 cell = 0;
        End end{-1, -1}; // a point below 0 marks a free slot
    };

    template <class Table, class Visit>
    static void visitAt(Table& table, quint64 cell, Visit& visit)
    {
        if (table.m_slots.empty())
            return;
        for (size_t at = table.home(cell); table.m_slots[at].end.point >= 0; at = (at + 1) & table.mask()) {
            if (table.m_slots[at].cell == cell)
                visit(table.m_slots[at].end);
        }
    }
    size_t mask() const { return m_slots.size() - 1; }
    size_t home(quint64 cell) const { return size_t((cell ^ (cell >> 29)) * 0xBF58476D1CE4E5B9ull >> 20) & mask(); }
    void grow();

    std::vector<Slot> m_slots; // a power of two in size, at most half full
    size_t m_count = 0;
};

} // namespace geodata
