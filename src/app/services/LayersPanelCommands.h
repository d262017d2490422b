#pragma once

// The layer commands of the Layers tab, which the map document hands its menu commands to
// while the tab is open (the tab is built above the application core).

class QObject;

class LayersPanelCommands {
public:
    virtual ~LayersPanelCommands() = default;

    virtual bool canAddLayerOrGroup() const = 0;
    virtual bool canDeleteLayerOrGroup() const = 0;
    virtual bool canDuplicateLayerOrGroup() const = 0;
    virtual void addLayerAction(QObject* sender) = 0;
    virtual void addlayerGroupAction(QObject* sender) = 0;
    virtual void duplicateLayerAction(QObject* sender) = 0;
    virtual void deleteLayerAction(QObject* sender) = 0;
    // The document that answers the tab's delegate messages.
    virtual void setDelegate(QObject* delegate) = 0;
};
