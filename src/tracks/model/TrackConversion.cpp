#include "tracks/model/TrackConversion.h"

#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/model/VXMetadataItem.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

namespace {

bool isConvertible(const VXDrawableObject& object)
{
    return qobject_cast<const VXDrawablePath*>(&object) && !qobject_cast<const ZQMultiStylePath*>(&object);
}

// Carries the menu's command to the layer it was opened on; lives as long as the menu item.
class ConvertToTrackCommand : public QObject {
    Q_OBJECT

public:
    ConvertToTrackCommand(VXObjectDrawingLayer* layer, QObject* parent)
        : QObject(parent)
        , m_layer(layer)
    {
    }

    Q_INVOKABLE void convertToTrack(QObject*)
    {
        if (m_layer)
            convertSelectionToTracks(*m_layer);
    }
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem*) const
    {
        return m_layer && canConvertSelectionToTracks(*m_layer);
    }

private:
    QPointer<VXObjectDrawingLayer> m_layer;
};

void addConvertToTrackMenuItem(VXDrawableObject& object, platform::Menu& menu, QPointF)
{
    auto* layer = qobject_cast<VXObjectDrawingLayer*>(object.layer());
    if (!layer || !isConvertible(object) || !layer->isSelectedObject(&object))
        return;
    menu.addSeparator();
    platform::MenuItem* item = menu.addItemWithTitleActionKeyEquivalent(kConvertToTrackActionName, "convertToTrack");
    item->setTarget(new ConvertToTrackCommand(layer, item));
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
    track->setMetadata(path.metadata());
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
    QList<VXDrawableObjectPtr> originals;
    QList<VXDrawableObjectPtr> tracks;
    for (VXDrawableObjectPtr& object : selection) {
        if (object->locked() || !object->visible())
            continue;
        auto* path = qobject_cast<VXDrawablePath*>(object.get());
        VXQTrackPtr track = path ? trackFromPath(*path) : nullptr;
        if (!track)
            continue;
        originals.append(object);
        tracks.append(track);
        object = track;
    }
    layer.replaceObjectsInPlace(originals, tracks);
    layer.exchangeSelectionWithObjectsFromArray(selection);
    layer.commitSelectionUndoWithActionName(kConvertToTrackActionName);
    if (ZQUndoManager* undo = layer.undoManager(); undo && !undo->isUndoing() && !undo->isRedoing())
        undo->setActionName(kConvertToTrackActionName);
    return int(tracks.size());
}

void addConvertToTrackMenuExtension()
{
    static const bool added = [] {
        VXDrawableObject::addContextualMenuExtension(addConvertToTrackMenuItem);
        return true;
    }();
    Q_UNUSED(added);
}

#include "TrackConversion.moc"
