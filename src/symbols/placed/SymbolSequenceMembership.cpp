#include "symbols/placed/SymbolSequenceMembership.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/ui/MenuItem.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/sequences/VXQSymbolSequence.h"

#include <algorithm>

bool SymbolSequenceMembership::refer(VXQSymbolSequence* sequence)
{
    if (sequence == m_sequence)
        return false;
    m_sequence = sequence;
    return true;
}

std::optional<qint64> SymbolSequenceMembership::numberInSequence() const
{
    const qint64 number = m_sequence ? m_sequence->sequenceNumberForSymbol(&m_symbol) : VXQSymbolSequence::kNotFound;
    return number == VXQSymbolSequence::kNotFound ? std::nullopt : std::optional(number);
}

qint64 SymbolSequenceMembership::position() const
{
    return m_sequence ? m_sequence->sequenceNumberForSymbol(&m_symbol) : m_loadedNumber;
}

void SymbolSequenceMembership::adoptNumbersOf(const SymbolSequenceMembership& original)
{
    m_loadedNumber = original.m_loadedNumber;
    m_priorPosition = original.m_priorPosition;
}

std::optional<qint64> SymbolSequenceMembership::targetOf(Move move) const
{
    if (!m_sequence)
        return std::nullopt;
    switch (move) {
    case Move::Forward: return position() + 1;
    case Move::Backward: return position() - 1;
    case Move::ToStart: return m_sequence->startingOffset();
    case Move::ToEnd: return m_sequence->maxSequenceNumber();
    }
    return std::nullopt;
}

void SymbolSequenceMembership::moveTo(qint64 position) const
{
    if (!m_sequence || m_sequence->count() == 0 || !m_sequence->containsSymbol(&m_symbol))
        return;
    const qint64 offset = m_sequence->startingOffset();
    const qint64 target = std::clamp(position, offset, m_sequence->maxSequenceNumber());
    m_sequence->moveSymbolAtIndexToIndex(this->position() - offset, target - offset);
}

bool SymbolSequenceMembership::numbered() const
{
    const VXQSymbolMasterPtr& master = m_symbol.master();
    return !m_symbol.locked() && m_sequence && master && master->sequenceable();
}

std::optional<bool> SymbolSequenceMembership::validateMenuItem(platform::MenuItem* item) const
{
    const QByteArray action = item->action();
    const bool locked = m_symbol.locked();
    const auto checkedWhen = [item](bool on) {
        item->setState(on ? platform::MenuItem::OnState : platform::MenuItem::OffState);
    };
    if (action == "makeSequencable") {
        const VXQSymbolMasterPtr& master = m_symbol.master();
        checkedWhen(numbered());
        // Numbering a master whose graphic has nowhere to show the number changes nothing
        // visible, so the command says why before it is chosen.
        item->setToolTip(master && !master->styleSuggestsSequenceable()
                             ? QObject::tr("This symbol shows no number: its graphic has no sequence-number field")
                             : QString());
        return !locked && !numbered() && master && !master->locked() && qobject_cast<VXQMappingLayer*>(m_symbol.layer());
    }
    if (action == "renumberSequence")
        return !locked && m_sequence && !m_sequence->autoRenumbers();
    if (action == "toggleAutoRenumbering") {
        checkedWhen(m_sequence && m_sequence->autoRenumbers());
        return !locked && m_sequence;
    }
    if (action == "setSequenceKindAction") {
        checkedWhen(m_sequence && m_sequence->sequenceKind() == item->tag());
        return numbered();
    }
    if (action == "moveForwardInSequence" || action == "moveToEndOfSequence")
        return numbered() && position() < m_sequence->maxSequenceNumber();
    if (action == "moveBackwardInSequence" || action == "moveToStartOfSequence")
        return numbered() && position() > m_sequence->startingOffset();
    if (action == "insertKeyTable")
        return m_sequence != nullptr;
    return std::nullopt;
}
