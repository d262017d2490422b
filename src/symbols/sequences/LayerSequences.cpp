#include "symbols/sequences/LayerSequences.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "symbols/masters/VXQSymbolMaster.h"

namespace layersequences {

VXQSymbolSequencePtr sequenceForSymbolMasterCreateIfNeeded(VXQMappingLayer& layer, const VXQSymbolMasterPtr& master,
                                                           bool createIfNeeded)
{
    ZQ_ASSERT(master, QStringLiteral("cannot obtain a sequence for nil master"));
    if (!master->sequenceable())
        return nullptr;
    if (VXQSymbolSequencePtr existing = sequenceForMasterID(layer, master->uniqueKey()); existing || !createIfNeeded)
        return existing;
    const VXQSymbolSequencePtr made = VXQSymbolSequence::sequenceWithSymbolMaster(master);
    made->setLayer(&layer);
    layer.setSequenceForKey(made, master->uniqueKey());
    return made;
}

VXQSymbolSequencePtr sequenceForMasterID(const VXQMappingLayer& layer, const QString& masterKey)
{
    return std::dynamic_pointer_cast<VXQSymbolSequence>(layer.sequenceForKey(masterKey));
}

QList<VXQSymbolSequencePtr> sequencesOfLayer(const VXQMappingLayer& layer)
{
    QList<VXQSymbolSequencePtr> sequences;
    for (const ZQObjectPtr& held : layer.sequences())
        if (auto sequence = std::dynamic_pointer_cast<VXQSymbolSequence>(held))
            sequences.append(std::move(sequence));
    return sequences;
}

void removeSequence(VXQMappingLayer& layer, VXQSymbolSequence* sequence)
{
    ZQ_ASSERT(sequence, QStringLiteral("can't remove nil sequence"));
    if (ZQUndoManager* undo = layer.undoManager())
        undo->removeAllActionsWithTarget(sequence);
    sequence->setLayer(nullptr);
    const VXQMappingLayer::Sequences held = layer.sequences();
    for (auto entry = held.cbegin(); entry != held.cend(); ++entry)
        if (entry.value().get() == sequence)
            layer.setSequenceForKey(nullptr, entry.key());
}

void setSequenceManagementEnabled(VXQMappingLayer& layer, bool enabled)
{
    for (const VXQSymbolSequencePtr& sequence : sequencesOfLayer(layer))
        sequence->setManagementEnabled(enabled);
}

} // namespace layersequences
