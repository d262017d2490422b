// The placed symbol's place in its layer's numbering sequence, and the sequence commands.

#include "symbols/placed/VXQSymbol.h"

#include "app/VXQMappingLayer.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Alert.h"
#include "symbols/sequences/LayerSequences.h"
#include "symbols/sequences/VXQSymbolSequence.h"

#include <QApplication>
#include <QSet>
#include <algorithm>

void VXQSymbol::attachToSequence(VXQSymbolSequence* sequence)
{
    if (sequence == m_sequence)
        return;
    m_sequence = sequence;
    loadSequenceNumber();
}

void VXQSymbol::setSequence(VXQSymbolSequence* sequence)
{
    if (sequence == m_sequence)
        return;
    // Leaving through the sequence keeps its list and the symbol's reference in step.
    if (m_sequence && m_sequence->containsSymbol(this))
        m_sequence->removeSymbol(this);
    if (sequence)
        sequence->addSymbol(std::static_pointer_cast<VXQSymbol>(shared_from_this()));
    else
        attachToSequence(nullptr);
}

void VXQSymbol::loadSequenceNumber()
{
    if (!m_sequence)
        return;
    const qint64 number = m_sequence->sequenceNumberForSymbol(this);
    if (number == VXQSymbolSequence::kNotFound)
        return;
    // The attributes follow the sequence, whose own changes are what undo restores.
    const platform::UndoSuspension suspension(undoManager());
    announceChangeForKey(QStringLiteral("positionInSequence"), [&] { m_sequenceIndex = number; });
    setMetadataItemValueForKey(m_sequence->sequenceStringForSymbol(this), kVXQSequenceNumberKey);
    setMetadataItemValueForKey(number, kVXQSequenceCardKey);
    notifyVisualChange();
}

void VXQSymbol::adjustSequence(VXQSymbolSequence* previous)
{
    auto* mappingLayer = qobject_cast<VXQMappingLayer*>(layer());
    const VXQSymbolSequencePtr target =
        mappingLayer && m_master ? layersequences::sequenceForSymbolMaster(*mappingLayer, m_master) : nullptr;
    if (previous && previous == target.get())
        return;
    if (previous)
        previous->removeSymbol(this);
    if (target)
        target->addSymbol(std::static_pointer_cast<VXQSymbol>(shared_from_this()));
}

VXQSymbolSequence* VXQSymbol::makeSequencable()
{
    auto* mappingLayer = qobject_cast<VXQMappingLayer*>(layer());
    if (locked() || !m_master || m_master->locked() || !mappingLayer)
        return m_sequence;
    // A document read with a sequence over a master that is not sequenceable here (another
    // process's built-in master, say) keeps its numbers; the master only has to allow them.
    if (m_sequence) {
        if (!m_master->sequenceable()) {
            m_master->setSequenceable(true);
            nameUndoAction(tr("Make Sequenceable"));
        }
        return m_sequence;
    }
    m_master->setSequenceable(true);
    adjustSequence(nullptr);
    if (m_sequence) {
        // The master's symbols on this layer alone, in stacking order: other layers and
        // documents number their own.
        QList<VXQSymbolPtr> members;
        for (const VXDrawableObjectPtr& object : mappingLayer->allSymbols()) {
            auto symbol = std::static_pointer_cast<VXQSymbol>(object);
            if (symbol->master() == m_master)
                members.append(symbol);
        }
        m_sequence->setSymbols(members);
    }
    nameUndoAction(tr("Make Sequenceable"));
    return m_sequence;
}

void VXQSymbol::makeUnsequencable()
{
    if (m_sequence && m_master)
        m_master->setSequenceable(false);
}

qint64 VXQSymbol::positionInSequence() const
{
    return m_sequence ? m_sequence->sequenceNumberForSymbol(this) : m_sequenceIndex;
}

void VXQSymbol::setPositionInSequence(qint64 position)
{
    if (!m_sequence || m_sequence->count() == 0 || !m_sequence->containsSymbol(this))
        return;
    const qint64 offset = m_sequence->startingOffset();
    const qint64 target = std::clamp(position, offset, m_sequence->maxSequenceNumber());
    m_sequence->moveSymbolAtIndexToIndex(positionInSequence() - offset, target - offset);
}

void VXQSymbol::notePriorPositionInSequence()
{
    m_priorSequenceIndex = positionInSequence();
}

void VXQSymbol::objectWasAddedToLayer(VXObjectOwnerLayer* layer)
{
    VXDrawableObject::objectWasAddedToLayer(layer);
    adjustSequence(m_sequence);
}

void VXQSymbol::objectWasRemovedFromLayer(VXObjectOwnerLayer* layer)
{
    VXDrawableObject::objectWasRemovedFromLayer(layer);
    if (m_sequence)
        m_sequence->removeSymbol(this);
}

// --- Commands ------------------------------------------------------------------------------------------

void VXQSymbol::renumberSequence(QObject*)
{
    if (locked() || !m_sequence)
        return;
    auto alert = platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        tr("Renumber Symbol Sequence of '%1'?").arg(masterName()), tr("Cancel"), tr("Renumber"), {},
        tr("Symbol sequence number of new symbols with this master will be renumbered from 1. This will eliminate "
           "any gaps in the sequence."));
    const std::weak_ptr<ZQObject> weakSelf = weak_from_this();
    alert.beginSheetModalForWindowCompletionHandler(QApplication::activeWindow(), [weakSelf](int returnCode) {
        const auto self = std::static_pointer_cast<VXQSymbol>(weakSelf.lock());
        if (returnCode != platform::Alert::kAlternateReturn || !self || !self->m_sequence)
            return;
        self->m_sequence->renumber();
        self->nameUndoAction(tr("Renumber Symbols"));
    });
}

void VXQSymbol::toggleAutoRenumbering(QObject*)
{
    if (m_sequence)
        m_sequence->setAutoRenumbers(!m_sequence->autoRenumbers());
}

void VXQSymbol::setSequenceKindAction(QObject* sender)
{
    if (locked() || !m_sequence || !sender)
        return;
    m_sequence->setSequenceKind(sender->property("tag").toInt());
    nameUndoAction(tr("Sequence Type"));
}

void VXQSymbol::moveInSequenceTo(qint64 position, QObject* sender)
{
    if (locked() || !m_sequence)
        return;
    setPositionInSequence(position);
    if (const QString title = sender ? sender->property("title").toString() : QString(); !title.isEmpty())
        nameUndoAction(title);
}

void VXQSymbol::moveForwardInSequence(QObject* sender)
{
    moveInSequenceTo(positionInSequence() + 1, sender);
}

void VXQSymbol::moveBackwardInSequence(QObject* sender)
{
    moveInSequenceTo(positionInSequence() - 1, sender);
}

void VXQSymbol::moveToStartOfSequence(QObject* sender)
{
    if (m_sequence)
        moveInSequenceTo(m_sequence->startingOffset(), sender);
}

void VXQSymbol::moveToEndOfSequence(QObject* sender)
{
    if (m_sequence)
        moveInSequenceTo(m_sequence->maxSequenceNumber(), sender);
}

const void* VXQSymbol::sharedReceiverKeyForAction(const QByteArray& action) const
{
    static const QSet<QByteArray> sequenceWide{"renumberSequence", "toggleAutoRenumbering", "insertKeyTable"};
    return sequenceWide.contains(action) ? m_sequence.data() : nullptr;
}

void VXQSymbol::insertKeyTable(QObject*)
{
    if (m_sequence)
        m_sequence->createAndInsertKeyTable();
}
