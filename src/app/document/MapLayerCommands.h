#pragma once

// The map document's layer commands. With the Layers tab open in the window, each command
// selects the tab and the tab carries it out, which also answers the could... queries;
// without it the commands act on the drawing's active layer, one undo step each.

#include "platform/vantrix/model/VXLayer.h"

class LayersPanelCommands;
class ZQQuorvaneDocument;

class MapLayerCommands {
public:
    explicit MapLayerCommands(ZQQuorvaneDocument& document) : m_document(document) {}

    bool couldAddNewLayerOrLayerGroup() const;
    bool couldDuplicateLayer() const;
    // The last layer that can be drawn on stays.
    bool couldDeleteLayer() const;

    // "New Layer", "New Layer Group" (a group starts with one layer), "Delete Layer",
    // "Duplicate Layer".
    void newDrawingLayer(QObject* sender);
    void addLayerGroup(QObject* sender);
    void deleteLayer(QObject* sender);
    void duplicateLayer(QObject* sender);
    // Locks or unlocks the active layer ("Lock Layer" / "Unlock Layer").
    void toggleLock();
    // Makes the layer the sender represents (a menu item's VXLayerPtr) the active layer.
    void makeActive(QObject* sender);

    // Adds `layer` above the active layer (or on top), makes it active, names the undo step.
    void insertLayerWithActionName(const VXLayerPtr& layer, const QString& actionName);
    // Makes `layer` active so that undo gives the previous one back and redo `layer` again.
    void setActiveLayerUndoably(VXLayer* layer);

private:
    // The Layers tab's commands, or null.
    LayersPanelCommands* layersPanel() const;
    // Asks the tab `query`; when it answers yes, selects the tab and sends it `action`.
    void forwardToLayersPanel(bool (LayersPanelCommands::*query)() const,
                              void (LayersPanelCommands::*action)(QObject*), QObject* sender);

    ZQQuorvaneDocument& m_document;
};
