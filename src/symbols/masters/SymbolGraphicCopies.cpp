#include "symbols/masters/SymbolGraphicCopies.h"

SymbolGraphicCopies::Loan SymbolGraphicCopies::borrow(const MakeCopy& makeCopy)
{
    quint64 generation = 0;
    {
        const QMutexLocker lock(&m_lock);
        generation = m_generation;
        if (!m_idle.empty()) {
            VXDrawableObjectPtr copy = std::move(m_idle.back());
            m_idle.pop_back();
            return Loan(*this, std::move(copy), generation);
        }
    }
    return Loan(*this, makeCopy(), generation);
}

void SymbolGraphicCopies::clear()
{
    std::vector<VXDrawableObjectPtr> forgotten;
    {
        const QMutexLocker lock(&m_lock);
        ++m_generation;
        forgotten.swap(m_idle);
    }
    // Destroyed outside the lock, which drawing threads wait for.
}

int SymbolGraphicCopies::idleCount() const
{
    const QMutexLocker lock(&m_lock);
    return int(m_idle.size());
}

void SymbolGraphicCopies::giveBack(VXDrawableObjectPtr copy, quint64 generation)
{
    if (!copy)
        return;
    // A copy of a graphic replaced meanwhile is not kept: it goes with `copy`, after the lock.
    const QMutexLocker lock(&m_lock);
    if (generation == m_generation)
        m_idle.push_back(std::move(copy));
}
