#pragma once

// A placed symbol's place in its layer's numbering sequence for its master: the sequence (not
// owned: the layer keeps it), the number it last gave the symbol and the number remembered
// before a layer copy. The sequence holds the order; the membership asks it for numbers,
// moves the symbol within them and says which sequence commands apply.

#include <QPointer>
#include <limits>
#include <optional>

class VXQSymbol;
class VXQSymbolSequence;

namespace platform {
class MenuItem;
} // namespace platform

class SymbolSequenceMembership {
public:
    static constexpr qint64 kNoNumber = std::numeric_limits<qint64>::max();
    enum class Move { Forward, Backward, ToStart, ToEnd };

    explicit SymbolSequenceMembership(const VXQSymbol& symbol)
        : m_symbol(symbol)
    {
    }
    SymbolSequenceMembership(const SymbolSequenceMembership&) = delete;
    SymbolSequenceMembership& operator=(const SymbolSequenceMembership&) = delete;

    VXQSymbolSequence* sequence() const { return m_sequence; }
    // Only the reference, which the sequence sets as it takes or drops the symbol; false when
    // it is already that one.
    bool refer(VXQSymbolSequence* sequence);
    // The number the sequence gives the symbol now; none without one or outside it.
    std::optional<qint64> numberInSequence() const;
    void setLoadedNumber(qint64 number) { m_loadedNumber = number; }
    // The sequence's number; without a sequence the last one loaded.
    qint64 position() const;
    qint64 priorPosition() const { return m_priorPosition; }
    void notePriorPosition() { m_priorPosition = position(); }
    // A copy of a symbol keeps its original's numbers but joins no sequence by copying.
    void adoptNumbersOf(const SymbolSequenceMembership& original);

    // The position a move aims for; none without a sequence.
    std::optional<qint64> targetOf(Move move) const;
    // Moves the symbol to `position`, kept within the sequence's numbers; nothing unless the
    // symbol is a member.
    void moveTo(qint64 position) const;

    // Enabled or not for the sequence commands and "makeSequencable", setting their check
    // marks; none for other actions.
    std::optional<bool> validateMenuItem(platform::MenuItem* item) const;

private:
    // Unlocked in a sequence of a sequenceable master.
    bool numbered() const;

    const VXQSymbol& m_symbol;
    QPointer<VXQSymbolSequence> m_sequence;
    qint64 m_loadedNumber = kNoNumber;
    qint64 m_priorPosition = kNoNumber;
};
