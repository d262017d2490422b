#include "symbols/utilities/SymbolUtilities.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/model/VXLayerGroup.h"

QList<VXDrawableObjectPtr> allSymbols(const VXShapeGroup& group)
{
    return VXQMappingLayer::symbolsAmongObjects(group.groupObjects());
}

QList<VXDrawableObjectPtr> allSymbols(const VXLayerGroup& group)
{
    QList<VXDrawableObjectPtr> symbols;
    for (const VXLayerPtr& layer : group.flattenedLayers()) {
        if (const auto* mappingLayer = qobject_cast<const VXQMappingLayer*>(layer.get()))
            symbols.append(mappingLayer->allSymbols());
    }
    return symbols;
}

QList<VXDrawableObjectPtr> validSymbolDonorObjectsFromArray(const QList<VXDrawableObjectPtr>& objects)
{
    QList<VXDrawableObjectPtr> donors;
    for (const VXDrawableObjectPtr& object : objects) {
        if (object && object->canBeConvertedToSymbol())
            donors.append(object);
    }
    return donors;
}

VXStylePtr styleOfValue(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<VXStylePtr>())
        return value.value<VXStylePtr>();
    if (value.metaType() == QMetaType::fromType<ZQObjectPtr>())
        return std::dynamic_pointer_cast<VXStyle>(value.value<ZQObjectPtr>());
    return nullptr;
}
