#include "tracks/TrackConversion.h"

#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/VXMetadataItem.h"
#include "platform/vantrix/VXObjectDrawingLayer.h"

namespace {

bool isConvertible(const VXDrawableObject& object)
{
    return qobject_cast<const VXDrawablePath*>(&object) && !qobject_cast<const ZQMultiStylePath*>(&object);
}

} // namespace

VXQTrackPtr trackFromPath(const VXDrawablePath& path)
{
    if (!isConvertible(path))
        return nullptr;
    VXQTrackPtr track = VXQTrack::trackWithPathType(path.path(), kVXQGenericTrackType);
    if (path.style())
        track->setStyle(path.style());
    track->assignUserNameWithFlag(path.name(), path.hasUserAssignedName());
    // Items are copied: the path lives on in the undo stack and must keep its own.
    platform::MetadataContainer::Items items;
    for (auto item = path.metadata().cbegin(); item != path.metadata().cend(); ++item)
        items.insert(item.key(), std::static_pointer_cast<VXMetadataItem>(item.value()->copy()));
    track->setMetadata(items);
    track->setVisible(path.visible());
    return track;
}

bool canConvertSelectionToTracks(const VXObjectDrawingLayer& layer)
{
    const QList<VXDrawableObjectPtr> selection = layer.selectedAvailableObjects();
    return std::any_of(selection.cbegin(), selection.cend(),
                       [](const VXDrawableObjectPtr& object) { return isConvertible(*object); });
}

int convertSelectionToTracks(VXObjectDrawingLayer& layer)
{
    if (!canConvertSelectionToTracks(layer))
        return 0;
    layer.recordSelectionForUndo();
    QList<VXDrawableObjectPtr> selection = layer.selection();
    int converted = 0;
    for (VXDrawableObjectPtr& object : selection) {
        if (object->locked() || !object->visible())
            continue;
        auto* path = qobject_cast<VXDrawablePath*>(object.get());
        VXQTrackPtr track = path ? trackFromPath(*path) : nullptr;
        if (!track)
            continue;
        const int index = layer.indexOfObject(object.get());
        layer.removeObjectFromObjectsAtIndex(index);
        layer.insertObjectInObjectsAtIndex(track, index);
        object = track;
        ++converted;
    }
    layer.exchangeSelectionWithObjectsFromArray(selection);
    layer.commitSelectionUndoWithActionName(kConvertToTrackActionName);
    if (ZQUndoManager* undo = layer.undoManager(); undo && !undo->isUndoing() && !undo->isRedoing())
        undo->setActionName(kConvertToTrackActionName);
    return converted;
}
