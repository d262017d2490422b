#pragma once

// A placed symbol's place in its layer's numbering sequence for its master: the sequence (not
// owned: the layer keeps it), the number it last gave the symbol and the number remembered
// before a layer copy. The sequence holds the order; the membership joins and leaves it as the
// symbol changes layer or master, writes the number it gives into the symbol's attributes,
// moves the symbol within the numbers and says which sequence commands apply.

#include <QCoreApplication>
#include <QPointer>
#include <limits>
#include <optional>

class VXQSymbol;
class VXQSymbolSequence;

namespace platform {
class MenuItem;
} // namespace platform

class SymbolSequenceMembership {
    // The texts are the symbol's own.
    Q_DECLARE_TR_FUNCTIONS(VXQSymbol)

public:
    static constexpr qint64 kNoNumber = std::numeric_limits<qint64>::max();
    enum class Move { Forward, Backward, ToStart, ToEnd };

    explicit SymbolSequenceMembership(VXQSymbol& symbol)
        : m_symbol(symbol)
    {
    }
    SymbolSequenceMembership(const SymbolSequenceMembership&) = delete;
    SymbolSequenceMembership& operator=(const SymbolSequenceMembership&) = delete;

    VXQSymbolSequence* sequence() const { return m_sequence; }
    // Leaves the current sequence (null: and joins none) and joins `sequence`, through the
    // sequences so that their lists and the reference stay in step.
    void join(VXQSymbolSequence* sequence);
    // Only the reference, which the sequence sets as it takes or drops the symbol, and the
    // number it then gives.
    void attach(VXQSymbolSequence* sequence);
    // Moves from `previous` (or none) into the layer's sequence for the master.
    void adjust(VXQSymbolSequence* previous);
    // The symbol left its layer.
    void leave();
    // Writes the number the sequence gives into "QVNL_SEQUENCE_NUMBER" (as shown) and
    // "QVNL_SEQUENCE_CARD" (the number), without an undo step of its own.
    void loadNumber();
    // Makes the master sequenceable and numbers its symbols on this layer in stacking order
    // ("Make Sequenceable"); answers the sequence. Nothing while locked; a member only makes
    // its master sequenceable again.
    VXQSymbolSequence* makeSequenceable();
    void makeUnsequenceable();
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

    VXQSymbol& m_symbol;
    QPointer<VXQSymbolSequence> m_sequence;
    qint64 m_loadedNumber = kNoNumber;
    qint64 m_priorPosition = kNoNumber;
};
