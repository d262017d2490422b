#pragma once

// What the symbol subsystem asks of the framework's groups and layers: every placed symbol
// under a group or a layer group, which drawables may become a new master's graphic, and styles
// handed over as values.

#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QList>

class VXLayerGroup;
class VXShapeGroup;

// The symbols among the group's members and those of nested groups, in stacking order.
QList<VXDrawableObjectPtr> allSymbols(const VXShapeGroup& group);
// The symbols of every mapping layer below the layer group, nested groups included; layers
// from the top, each layer's symbols in stacking order.
QList<VXDrawableObjectPtr> allSymbols(const VXLayerGroup& group);

// The objects that may become a master's graphic (canBeConvertedToSymbol), in order.
QList<VXDrawableObjectPtr> validSymbolDonorObjectsFromArray(const QList<VXDrawableObjectPtr>& objects);

// A style handed over through key-value coding, as a style or as the object pointer that
// object properties take; null for anything else.
VXStylePtr styleOfValue(const QVariant& value);
