// The placed symbol's place in its layer's numbering sequence, and the sequence commands.

#include "symbols/placed/VXQSymbol.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Alert.h"
#include "symbols/sequences/LayerSequences.h"
#include "symbols/sequences/VXQSymbolSequence.h"

#include <QApplication>
#include <QSet>

void VXQSymbol::attachToSequence(VXQSymbolSequence* sequence)
{
    if (m_membership.refer(sequence))
        loadSequenceNumber();
}

void VXQSymbol::setSequence(VXQSymbolSequence* sequence)
{
    VXQSymbolSequence* const current = m_membership.sequence();
    if (sequence == current)
        return;
    // Leaving through the sequence keeps its list and the symbol's reference in step.
    if (current && current->containsSymbol(this))
        current->removeSymbol(this);
    if (sequence)
        sequence->addSymbol(std::static_pointer_cast<VXQSymbol>(shared_from_this()));
    else
        attachToSequence(nullptr);
}

void VXQSymbol::loadSequenceNumber()
{
    const std::optional<qint64> number = m_membership.numberInSequence();
    if (!number)
        return;
    // The attributes follow the sequence, whose own changes are what undo restores.
    const platform::UndoSuspension suspension(undoManager());
    announceChangeForKey(QStringLiteral("positionInSequence"), [&] { m_membership.setLoadedNumber(*number); });
    setMetadataItemValueForKey(sequence()->sequenceStringForSymbol(this), kVXQSequenceNumberKey);
    setMetadataItemValueForKey(*number, kVXQSequenceCardKey);
    notifyVisualChange();
}

void VXQSymbol::adjustSequence(VXQSymbolSequence* previous)
{
    auto* mappingLayer = qobject_cast<VXQMappingLayer*>(layer());
    const VXQSymbolSequencePtr target =
        mappingLayer && master() ? layersequences::sequenceForSymbolMaster(*mappingLayer, master()) : nullptr;
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
    if (locked() || !master() || master()->locked() || !mappingLayer)
        return sequence();
    // A document read with a sequence over a master that is not sequenceable here (another
    // process's built-in master, say) keeps its numbers; the master only has to allow them.
    if (sequence()) {
        if (!master()->sequenceable()) {
            master()->setSequenceable(true);
            nameUndoAction(tr("Make Sequenceable"));
        }
        return sequence();
    }
    master()->setSequenceable(true);
    adjustSequence(nullptr);
    if (sequence()) {
        // The master's symbols on this layer alone, in stacking order: other layers and
        // documents number their own.
        QList<VXQSymbolPtr> members;
        for (const VXDrawableObjectPtr& object : mappingLayer->allSymbols()) {
            auto symbol = std::static_pointer_cast<VXQSymbol>(object);
            if (symbol->master() == master())
                members.append(symbol);
        }
        sequence()->setSymbols(members);
    }
    nameUndoAction(tr("Make Sequenceable"));
    return sequence();
}

void VXQSymbol::makeUnsequencable()
{
    if (sequence() && master())
        master()->setSequenceable(false);
}

void VXQSymbol::objectWasAddedToLayer(VXObjectOwnerLayer* layer)
{
    VXDrawableObject::objectWasAddedToLayer(layer);
    adjustSequence(sequence());
}

void VXQSymbol::objectWasRemovedFromLayer(VXObjectOwnerLayer* layer)
{
    VXDrawableObject::objectWasRemovedFromLayer(layer);
    if (sequence())
        sequence()->removeSymbol(this);
}

// --- Commands ------------------------------------------------------------------------------------------

void VXQSymbol::renumberSequence(QObject*)
{
    if (locked() || !sequence())
        return;
    auto alert = platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        tr("Renumber Symbol Sequence of '%1'?").arg(masterName()), tr("Cancel"), tr("Renumber"), {},
        tr("Symbol sequence number of new symbols with this master will be renumbered from 1. This will eliminate "
           "any gaps in the sequence."));
    const std::weak_ptr<ZQObject> weakSelf = weak_from_this();
    alert.beginSheetModalForWindowCompletionHandler(QApplication::activeWindow(), [weakSelf](int returnCode) {
        const auto self = std::static_pointer_cast<VXQSymbol>(weakSelf.lock());
        if (returnCode != platform::Alert::kAlternateReturn || !self || !self->sequence())
            return;
        self->sequence()->renumber();
        self->nameUndoAction(tr("Renumber Symbols"));
    });
}

void VXQSymbol::toggleAutoRenumbering(QObject*)
{
    if (sequence())
        sequence()->setAutoRenumbers(!sequence()->autoRenumbers());
}

void VXQSymbol::setSequenceKindAction(QObject* sender)
{
    if (locked() || !sequence() || !sender)
        return;
    sequence()->setSequenceKind(sender->property("tag").toInt());
    nameUndoAction(tr("Sequence Type"));
}

void VXQSymbol::moveInSequence(SymbolSequenceMembership::Move move, QObject* sender)
{
    const std::optional<qint64> target = m_membership.targetOf(move);
    if (locked() || !target)
        return;
    m_membership.moveTo(*target);
    if (const QString title = sender ? sender->property("title").toString() : QString(); !title.isEmpty())
        nameUndoAction(title);
}

void VXQSymbol::moveForwardInSequence(QObject* sender)
{
    moveInSequence(SymbolSequenceMembership::Move::Forward, sender);
}

void VXQSymbol::moveBackwardInSequence(QObject* sender)
{
    moveInSequence(SymbolSequenceMembership::Move::Backward, sender);
}

void VXQSymbol::moveToStartOfSequence(QObject* sender)
{
    moveInSequence(SymbolSequenceMembership::Move::ToStart, sender);
}

void VXQSymbol::moveToEndOfSequence(QObject* sender)
{
    moveInSequence(SymbolSequenceMembership::Move::ToEnd, sender);
}

const void* VXQSymbol::sharedReceiverKeyForAction(const QByteArray& action) const
{
    static const QSet<QByteArray> sequenceWide{"renumberSequence", "toggleAutoRenumbering", "insertKeyTable"};
    return sequenceWide.contains(action) ? sequence() : nullptr;
}

void VXQSymbol::insertKeyTable(QObject*)
{
    if (sequence())
        sequence()->createAndInsertKeyTable();
}
