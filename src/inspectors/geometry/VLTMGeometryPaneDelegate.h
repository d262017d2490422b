#pragma once

// What the panes of the Geometry tab may ask of the tab beyond the objects to edit: the layer
// the selection is in, how many objects are selected, which controls of the position and size
// pane apply to the selection, and the name and info lines above the panes. Panes reach it by
// casting their data source or delegate.

#include <QString>

class VXObjectDrawingLayer;

class VLTMGeometryPaneDelegate {
public:
    virtual ~VLTMGeometryPaneDelegate() = default;

    // The drawing's active object layer, or null.
    virtual VXObjectDrawingLayer* wantsCurrentDrawingLayerForController(QObject* controller) = 0;
    virtual qint64 wantsCountOfSelectedObjectsForController(QObject* controller) = 0;
    // The position and size pane's options mask for the selection shown.
    virtual quint32 drawableControllerWantsInterfaceOptions(QObject* controller) = 0;

    virtual void setNameString(const QString& name) = 0;
    virtual void setNeedsInfoUpdate() = 0;
};
