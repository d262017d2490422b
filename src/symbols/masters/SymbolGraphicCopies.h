#pragma once

// Copies of a symbol master's graphic for the threads that draw its instances at once.
//
// An instance draws by lending a graphic its placement and attributes: for the while the
// graphic takes the instance as its container, and its cached paths follow. One graphic can
// do that for one thread only, so each drawing borrows a copy no other thread holds and gives
// it back when done. Copies are kept for later drawings until the graphic they copy is
// replaced; there are as many as threads ever drew the master at once.

#include "platform/vantrix/drawables/VXDrawableObject.h"

#include <QMutex>
#include <functional>
#include <vector>

class SymbolGraphicCopies {
public:
    using MakeCopy = std::function<VXDrawableObjectPtr()>;

    // A copy held by one thread; given back when the loan ends.
    class Loan {
    public:
        Loan(SymbolGraphicCopies& copies, VXDrawableObjectPtr copy, quint64 generation)
            : m_copies(copies), m_copy(std::move(copy)), m_generation(generation)
        {
        }
        ~Loan() { m_copies.giveBack(std::move(m_copy), m_generation); }
        Loan(const Loan&) = delete;
        Loan& operator=(const Loan&) = delete;

        VXDrawableObject& operator*() const { return *m_copy; }
        VXDrawableObject* operator->() const { return m_copy.get(); }

    private:
        SymbolGraphicCopies& m_copies;
        VXDrawableObjectPtr m_copy;
        quint64 m_generation;
    };

    // An idle copy, else a new one from `makeCopy`, which runs outside this pool's lock.
    Loan borrow(const MakeCopy& makeCopy);
    // Forgets the copies: idle ones go now, those lent out when they come back.
    void clear();
    int idleCount() const;

private:
    void giveBack(VXDrawableObjectPtr copy, quint64 generation);

    mutable QMutex m_lock;
    std::vector<VXDrawableObjectPtr> m_idle;
    quint64 m_generation = 0;
};
