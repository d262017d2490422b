#include "symbols/placed/SymbolSequenceMembership.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/ui/MenuItem.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/sequences/LayerSequences.h"
#include "symbols/sequences/VXQSymbolSequence.h"

#include <algorithm>

void SymbolSequenceMembership::join(VXQSymbolSequence* sequence)
{
    VXQSymbolSequence* const current = m_sequence;
    if (sequence == current)
        return;
    if (current && current->containsSymbol(&m_symbol))
        current->removeSymbol(&m_symbol);
    if (sequence)
        sequence->addSymbol(std::static_pointer_cast<VXQSymbol>(m_symbol.shared_from_this()));
    else
        attach(nullptr);
}

void SymbolSequenceMembership::attach(VXQSymbolSequence* sequence)
{
    if (sequence == m_sequence)
        return;
    m_sequence = sequence;
    loadNumber();
}

void SymbolSequenceMembership::adjust(VXQSymbolSequence* previous)
{
    auto* mappingLayer = qobject_cast<VXQMappingLayer*>(m_symbol.layer());
    const VXQSymbolMasterPtr& master = m_symbol.master();
    const VXQSymbolSequencePtr target =
        mappingLayer && master ? layersequences::sequenceForSymbolMaster(*mappingLayer, master) : nullptr;
    if (previous && previous == target.get())
        return;
    if (previous)
        previous->removeSymbol(&m_symbol);
    if (target)
        target->addSymbol(std::static_pointer_cast<VXQSymbol>(m_symbol.shared_from_this()));
}

void SymbolSequenceMembership::leave()
{
    if (m_sequence)
        m_sequence->removeSymbol(&m_symbol);
}

void SymbolSequenceMembership::loadNumber()
{
    const std::optional<qint64> number = numberInSequence();
    if (!number)
        return;
    // The attributes follow the sequence, whose own changes are what undo restores.
    const platform::UndoSuspension suspension(m_symbol.undoManager());
    m_symbol.announceChangeForKey(QStringLiteral("positionInSequence"), [&] { m_loadedNumber = *number; });
    m_symbol.setMetadataItemValueForKey(m_sequence->sequenceStringForSymbol(&m_symbol), kVXQSequenceNumberKey);
    m_symbol.setMetadataItemValueForKey(*number, kVXQSequenceCardKey);
    m_symbol.notifyVisualChange();
}

VXQSymbolSequence* SymbolSequenceMembership::makeSequenceable()
{
    auto* mappingLayer = qobject_cast<VXQMappingLayer*>(m_symbol.layer());
    const VXQSymbolMasterPtr master = m_symbol.master();
    if (m_symbol.locked() || !master || master->locked() || !mappingLayer)
        return m_sequence;
    // A document read with a sequence over a master that is not sequenceable here (another
    // process's built-in master, say) keeps its numbers; the master only has to allow them.
    if (m_sequence) {
        if (!master->sequenceable()) {
            master->setSequenceable(true);
            m_symbol.nameUndoAction(tr("Make Sequenceable"));
        }
        return m_sequence;
    }
    master->setSequenceable(true);
    adjust(nullptr);
    if (m_sequence) {
        // The master's symbols on this layer alone, in stacking order: other layers and
        // documents number their own.
        QList<VXQSymbolPtr> members;
        for (const VXDrawableObjectPtr& object : mappingLayer->allSymbols()) {
            auto symbol = std::static_pointer_cast<VXQSymbol>(object);
            if (symbol->master() == master)
                members.append(symbol);
        }
        m_sequence->setSymbols(members);
    }
    m_symbol.nameUndoAction(tr("Make Sequenceable"));
    return m_sequence;
}

void SymbolSequenceMembership::makeUnsequenceable()
{
    if (m_sequence && m_symbol.master())
        m_symbol.master()->setSequenceable(false);
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
