#include "panels/layers/LayerDropRules.h"

#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

namespace {

const VXDrawing* drawingOfItem(const QObject* item)
{
    if (const auto* layer = qobject_cast<const VXLayer*>(item))
        return layer->drawing();
    if (const auto* object = qobject_cast<const VXDrawableObject*>(item))
        return object->layer() ? object->layer()->drawing() : nullptr;
    return nullptr;
}

} // namespace

QString LayerDropRules::pasteboardTypeForDraggedItems(const QList<QObject*>& items)
{
    const QObject* first = items.value(0);
    if (!first || qobject_cast<const VXDrawing*>(first) || first->property("locked").toBool() || !drawingOfItem(first))
        return {};
    if (qobject_cast<const VXLayer*>(first))
        return kVLTMLayerDragPasteboardType;
    // Only drawable objects move between layers: a slice row never starts a drag.
    if (qobject_cast<const VXDrawableObject*>(first))
        return kVLTMDrawableRowPasteboardType;
    return {};
}

LayerDropRules::Drop LayerDropRules::validateDrop(const QString& type, const QList<QObject*>& dragged,
                                                  QObject* proposedItem, int childIndex, const VXDrawing* drawing,
                                                  bool showsRoot)
{
    // A drag from another document's panel moves nothing here.
    if (!drawing || dragged.isEmpty() ||
        std::any_of(dragged.begin(), dragged.end(), [&](const QObject* item) { return drawingOfItem(item) != drawing; }))
        return {};
    if (type == kVLTMLayerDragPasteboardType) {
        const auto* layer = qobject_cast<const VXLayer*>(dragged.first());
        if (!layer)
            return {};
        auto* group = qobject_cast<VXLayerGroup*>(proposedItem);
        if (proposedItem && !group)
            return {};
        if (childIndex < 0 && (!group || group == layer->layerGroup() || group == drawing))
            return {};
        if (!group && showsRoot && childIndex == 0)
            return {};
        VXLayerGroup* destination = group ? group : const_cast<VXDrawing*>(drawing);
        const auto* movedGroup = qobject_cast<const VXLayerGroup*>(layer);
        if (destination->locked() || (movedGroup && movedGroup->containsLayer(destination)))
            return {};
        return {true, destination, childIndex};
    }
    if (type == kVLTMDrawableRowPasteboardType) {
        if (!std::all_of(dragged.begin(), dragged.end(),
                         [](const QObject* item) { return qobject_cast<const VXDrawableObject*>(item); }))
            return {};
        auto* layer = qobject_cast<VXObjectDrawingLayer*>(proposedItem);
        if (!layer || layer->locked())
            return {};
        return {true, layer, std::max(childIndex, 0)};
    }
    return {};
}

QList<QPointer<QObject>>& LayerDropRules::slot()
{
    static QList<QPointer<QObject>> items;
    return items;
}

QList<QObject*> LayerDropRules::draggedItems()
{
    QList<QObject*> items;
    for (const QPointer<QObject>& item : std::as_const(slot()))
        if (item)
            items.append(item);
    return items;
}

void LayerDropRules::setDraggedItems(const QList<QObject*>& items)
{
    slot().clear();
    for (QObject* item : items)
        slot().append(item);
}
