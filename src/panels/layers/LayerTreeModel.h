#pragma once

// The layers panel's tree, read live from the drawing: the drawing as an optional top row,
// then its layers and groups (index 0 first) and, while object rows are shown, the objects
// of each object layer (top-most first) and the slices of the slices layer (last first).
//
// The model keeps no copy of the tree. An index carries its parent item as internal pointer
// and finds its own item by row, so a removed object never leaves a pointer behind; the
// items are answered as QObject pointers for the moment they are asked for. Of the object
// and slice rows it remembers only how many the views were told of, since the layer has
// changed already when the notification comes.
//
// It follows the drawing through the framework's notifications: a change of any group's
// layers resets the model (the view restores its expansion and selection), a change of an
// object layer's objects or of the slices reloads that layer's rows, and changes of a
// layer's properties or info line redraw its row.

#include "platform/foundation/KeyValueObserving.h"
#include "platform/foundation/NotificationCenter.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QPointer>

class VXDrawableObject;
class VXDrawing;
class VXLayer;
class VXObjectDrawingLayer;
class VXQSlice;
class VLTMSlicesLayer;

class LayerTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    // The layer names, and the mark of the active layer.
    enum Column { MainColumn = 0, ActiveColumn = 1, ColumnCount = 2 };

    explicit LayerTreeModel(QObject* parent = nullptr);
    ~LayerTreeModel() override;

    VXDrawing* drawing() const;
    void setDrawing(VXDrawing* drawing);
    bool showsRoot() const { return m_showsRoot; }
    void setShowsRoot(bool shows);
    bool showsGraphicObjects() const { return m_showsGraphicObjects; }
    void setShowsGraphicObjects(bool shows);
    // While set, changes of the groups' layers are not followed; the owner reloads after.
    bool ignoresLayerChanges() const { return m_ignoresLayerChanges; }
    void setIgnoresLayerChanges(bool ignores) { m_ignoresLayerChanges = ignores; }

    // --- The tree by item (null is the top level) -------------------------------------------
    int numberOfChildrenOfItem(const QObject* item) const;
    // Null outside the range.
    QObject* childOfItem(int index, const QObject* item) const;
    bool isItemExpandable(const QObject* item) const;
    // The item whose children hold the item's row: null for a top-level row.
    QObject* parentOfItem(const QObject* item) const;
    // The item's position among its parent's rows; -1 when it has no row.
    int rowOfItemInParent(const QObject* item) const;

    QObject* itemForIndex(const QModelIndex& index) const;
    // Invalid when the item has no row.
    QModelIndex indexForItem(const QObject* item, int column = MainColumn) const;

    // Object rows: child i of an object layer is object count - 1 - i, and back.
    static int objectIndexForChildRow(int objectCount, int row) { return objectCount - 1 - row; }
    static int childRowForObjectIndex(int objectCount, int index) { return objectCount - 1 - index; }

    // --- Names ------------------------------------------------------------------------------------
    // Whether the row's name may be edited: a layer that allows renaming (not the drawing), an
    // unlocked object, a slice.
    bool isItemRenamable(const QObject* item) const;
    // A typed name as it is kept: line breaks become spaces, the ends are trimmed and a long
    // name is cut; empty when nothing is left, which renaming refuses.
    static QString cleanedName(const QString& typed);
    static constexpr int kMaximumNameLength = 255;
    // A layer takes the name, an object takes it as the user's name, a slice takes it without
    // its decimal digits as its title. False, changing nothing, when refused.
    bool renameItem(QObject* item, const QString& typed);

    // Rereads everything (a reset).
    void reloadData();
    // Rereads the object or slice rows below the layer.
    void reloadChildrenOfItem(QObject* layer);
    // Redraws the item's row.
    void reloadItem(const QObject* item);

    // --- QAbstractItemModel -------------------------------------------------------------------
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

Q_SIGNALS:
    // After object rows were reloaded: the view selects the layer's selected objects again.
    void childrenOfLayerReloaded(VXLayer* layer);
    // An object layer's selection changed.
    void selectionChangedInLayer(VXObjectDrawingLayer* layer);
    void activeLayerChanged();

private:
    static QVariant activeMarkToolTip(const QObject* item);
    bool isShownLayer(const QObject* sender) const;
    // The number of rows below the item that the views know of.
    int rowCountOfItem(const QObject* item) const;
    static bool hasItemRows(const QObject* item);
    void observeDrawing();
    void stopObservingDrawing();
    void observeLayers();
    void stopObservingLayers();
    void groupDidChange(const platform::Notification& notification);
    void objectsDidChange(const platform::Notification& notification);
    void slicesDidChange(const platform::Notification& notification);
    void infoLineDidChange(const platform::Notification& notification);

    QPointer<VXDrawing> m_drawing;
    bool m_showsRoot = true;
    bool m_showsGraphicObjects = false;
    bool m_ignoresLayerChanges = false;
    // Object and slice rows per layer as the views know them, from the first time they asked.
    mutable QHash<const QObject*, int> m_knownItemCounts;
    QList<platform::NotificationObserverToken> m_notificationTokens;
    // Key-value observations of the layers shown, by layer.
    QList<std::pair<QPointer<VXLayer>, platform::ObservationToken>> m_layerObservations;
    QList<platform::NotificationObserverToken> m_infoLineTokens;
};
