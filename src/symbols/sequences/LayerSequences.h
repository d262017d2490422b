#pragma once

// The symbol sequences of a mapping layer: one per sequenceable master whose symbols the layer
// holds, kept in the layer under the master's unique key, made on demand. The layer's map is
// empty while it holds none.

#include "symbols/sequences/VXQSymbolSequence.h"

class VXQMappingLayer;

namespace layersequences {

// The layer's sequence for `master`, made (in the master's default kind) when there is none
// and `createIfNeeded`; none for a master that is not sequenceable.
VXQSymbolSequencePtr sequenceForSymbolMasterCreateIfNeeded(VXQMappingLayer& layer, const VXQSymbolMasterPtr& master,
                                                           bool createIfNeeded);
inline VXQSymbolSequencePtr sequenceForSymbolMaster(VXQMappingLayer& layer, const VXQSymbolMasterPtr& master)
{
    return sequenceForSymbolMasterCreateIfNeeded(layer, master, true);
}
VXQSymbolSequencePtr sequenceForMasterID(const VXQMappingLayer& layer, const QString& masterKey);
QList<VXQSymbolSequencePtr> sequencesOfLayer(const VXQMappingLayer& layer);
// Detaches the sequence from the layer and purges the undo actions aimed at it.
void removeSequence(VXQMappingLayer& layer, VXQSymbolSequence* sequence);
void setSequenceManagementEnabled(VXQMappingLayer& layer, bool enabled);

} // namespace layersequences
