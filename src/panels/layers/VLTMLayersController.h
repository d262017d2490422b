#pragma once

// The Layers tab: the drawing's layer tree as an outline (LayerTreeModel), from which the user
// adds, duplicates, deletes, renames, locks, hides and activates layers, shows the objects and
// slices of each layer, reorders layers and objects by dragging, and keeps the outline's
// selection and the active object layer's selection in step.
//
// Changes go through the framework's layer and object operations, which register their undo;
// the panel names the steps of its structural changes. The delegate (the map document, not
// owned) is asked through invokable methods, each only when it has it:
//   layersControllerNeedsClassForDrawingLayers(QObject*) -> QString class name
//   layersControllerNeedsClassForLayerGroup(QObject*) -> QString class name
//   layersControllerShowGridOptionsForLayer(QObject*, VXLayer*), ...ShowDrawingOptionsForDrawing,
//   ...ShowExportOptionsForLayer, ...ShowIndexGridOptionsForLayer
//   windowForSheet() -> QWidget*

#include "app/services/LayersPanelCommands.h"
#include "app/sidebar/VLTMTabContentViewController.h"
#include "panels/layers/LayerDropRules.h"
#include "platform/vantrix/model/VXLayer.h"

#include <QItemSelection>
#include <QPointer>
#include <optional>

class LayerTreeModel;
class ObjectRowWatcher;
class VLTMLayerOpacityPopoverController;
class LayersOutlineView;
class QPushButton;
class VXDrawableObject;
using VXDrawableObjectPtr = std::shared_ptr<VXDrawableObject>;
class VXDrawing;
class VXLayerGroup;
class VXObjectDrawingLayer;
namespace platform {
class Menu;
class MenuItem;
class Popover;
} // namespace platform

inline const QString kVLTMLayersControllerCompactView = QStringLiteral("kVLTMLayersControllerCompactView");
inline const QString kVLTMLayersControllerActiveFollowsSelection =
    QStringLiteral("kVLTMLayersControllerActiveFollowsSelection");
inline const QString kVLTMLayersControllerShowsGraphicObjects =
    QStringLiteral("kVLTMLayersControllerShowsGraphicObjects");

class VLTMLayersController : public VLTMTabContentViewController, public LayersPanelCommands {
    Q_OBJECT

public:
    static constexpr int kLayerRowHeight = 50;
    static constexpr int kItemRowHeight = 30;
    // Name editing starts this long after a layer was added.
    static constexpr int kNameEditingDelay = 300;

    // Reads the start values of the three view options.
    VLTMLayersController();
    ~VLTMLayersController() override;
    static std::shared_ptr<VLTMLayersController> make();

    static bool compactRowsDefault();
    static void setCompactRowsDefault(bool compact);
    static bool activeFollowsSelectionDefault();
    static void setActiveFollowsSelectionDefault(bool follows);
    static bool showsTopLevelDefault() { return true; }

    VXDrawing* drawing() const;
    void setDrawing(VXDrawing* drawing) override;
    LayerTreeModel& model() const { return *m_model; }
    // Icons and changes of the object rows painted.
    ObjectRowWatcher& rowWatcher() const { return *m_rowWatcher; }
    LayersOutlineView* outlineView();
    QPushButton* deleteButton();
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) override { m_delegate = delegate; }

    bool showsRoot() const;
    void setShowsRoot(bool shows);
    bool activeFollowsSelection() const { return m_activeFollowsSelection; }
    void setActiveFollowsSelection(bool follows) { m_activeFollowsSelection = follows; }
    bool compactRows() const { return m_compactRows; }
    void setCompactRows(bool compact);
    bool showsGraphicObjects() const;
    void setShowsGraphicObjects(bool shows);
    // 30 points for every row when compact; else 50 for layer rows and 30 for object and slice rows.
    int heightOfRowByItem(const QObject* item) const;

    // --- Commands (the context menu and the document send them) ---------------------------------
    Q_INVOKABLE void addLayerAction(QObject* sender = nullptr) override;
    Q_INVOKABLE void addlayerGroupAction(QObject* sender = nullptr) override;
    Q_INVOKABLE void duplicateLayerAction(QObject* sender = nullptr) override;
    Q_INVOKABLE void deleteLayerAction(QObject* sender = nullptr) override;
    Q_INVOKABLE void toggleShowsRootAction(QObject* sender = nullptr);
    Q_INVOKABLE void toggleActiveFollowsSelectionAction(QObject* sender = nullptr);
    Q_INVOKABLE void toggleCompactRowsAction(QObject* sender = nullptr);
    Q_INVOKABLE void toggleShowsGraphicObjectsAction(QObject* sender = nullptr);
    Q_INVOKABLE void collapseAllAction(QObject* sender = nullptr);
    Q_INVOKABLE void expandAllAction(QObject* sender = nullptr);
    Q_INVOKABLE void layersEditorHelpAction(QObject* sender = nullptr);
    // Titles and check marks of the panel's own items; the others are enabled when the panel has them.
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // The context menu for a click on the item's row (null: below the rows): the row's own items
    // over the panel's, validated.
    std::unique_ptr<platform::Menu> contextMenuForItem(QObject* item);

    // --- Opacity -------------------------------------------------------------------------------
    // The one popover of every object layer row, made on first use.
    platform::Popover* opacityPopover();
    VLTMLayerOpacityPopoverController* opacityPopoverController();
    // Shows the popover for an object layer against `anchor` (outline viewport coordinates);
    // other layers have none. False when nothing is shown.
    bool showOpacityPopoverForLayer(VXLayer* layer, const QRect& anchor);
    // The popover's controls set the opacity of the layer it was shown for.
    Q_INVOKABLE void opacityAction(QObject* sender);
    VXLayer* opacityLayer() const { return m_opacityLayer; }

    // Asks for a colour (a window-modal dialog) that becomes the layer's selection colour or
    // the slice's colour; nothing happens if the item is gone by then.
    void chooseColourForItem(QObject* item);

    // The delegate's `selector` (controller, item), when it has it.
    void delegateShowOptions(const char* selector, QObject* item);
    // Names the drawing's current undo step.
    void setUndoActionName(const QString& name) const;

    // --- Queries -------------------------------------------------------------------------------
    // Where a new layer goes: the drawing with nothing selected, a selected group, else the
    // group of the selected layer (or of the selected object's or slice's layer).
    VXLayerGroup* selectedParentGroup() const;
    // The drawing with nothing selected; the layer of a selected object or slice; else the item.
    VXLayer* selectedLayer() const;
    bool canAddLayerOrGroup() const override;
    bool canDeleteLayerOrGroup() const override;
    bool canDuplicateLayerOrGroup() const override;
    // The selected items in row order.
    QList<QObject*> selectedItems() const;

    // --- Model operations ------------------------------------------------------------------------
    // Names the layer ("Layer Group" for a group, "Drawing Layer" for an unnamed layer, made
    // unique) and adds it on top of the selected parent group; false, adding nothing, when that
    // group is locked.
    bool addLayer(const VXLayerPtr& layer);
    // At index 0 of the group (the drawing when null), active, selected alone, its name edited
    // shortly after; one step "Add Layer".
    void addLayerToGroup(const VXLayerPtr& layer, VXLayerGroup* group, bool animated);
    // Asks first (as a sheet); nothing for a layer that may not be deleted.
    void confirmDeleteLayer(VXLayer* layer);
    // One step "Delete Layer"; the drawing keeps no active layer when it was this one.
    void deleteLayer(VXLayer* layer, bool animated);

    // --- Moving (dragging rows) -------------------------------------------------------------------
    // Moves the layer from its group (or `fromGroup`) to `toGroup` (the drawing when null) at
    // drop position `index`, which counts the layer's own slot when it stays in its group; one
    // step "Move Layer", the layer selected. False, moving nothing, for a destination that is
    // no group, is locked, or is the layer or lies inside it.
    bool moveLayer(VXLayer* layer, VXLayerGroup* fromGroup, VXLayerGroup* toGroup, int index);
    // Moves the objects (all of one layer) to row position `row` of `toLayer` (their own layer
    // when null): above the object at count - row. To another layer they keep their stacking
    // order and become its selection, "Move Objects To Layer"; within their layer "Change Object
    // Order".
    bool moveDrawables(const QList<VXDrawableObjectPtr>& objects, VXObjectDrawingLayer* toLayer, int row);
    // The drop rules and their carrying out for the drag in the shared slot.
    LayerDropRules::Drop validateDrop(const QString& type, QObject* proposedItem, int childIndex) const;
    bool acceptDrop(const QString& type, QObject* proposedItem, int childIndex);

    // --- Selection -------------------------------------------------------------------------------
    // A selection of several rows stands only when all are objects of one layer.
    static bool selectionIsAllowed(const QList<QObject*>& items);
    // The objects of the selected object rows become the layer's selection.
    void synchroniseSelectionToLayer(VXObjectDrawingLayer* layer);
    // The layer's selected objects become the selected rows.
    void synchroniseSelectionFromLayer(VXObjectDrawingLayer* layer);
    // Selects the item's row alone and scrolls to it.
    void selectItem(const QObject* item);

    // Starts editing the name in the item's row.
    void editNameOfItem(const QObject* item);

protected:
    QWidget* loadView() override;

private:
    void outlineSelectionDidChange();
    void layerSelectionDidChange(VXObjectDrawingLayer* layer);
    void rememberViewState();
    void restoreViewState();
    bool isExpanded(const QObject* item) const;
    QWidget* windowForSheet() const;
    QVariant askDelegate(const char* selector) const;
    VXLayerPtr makeLayerOfDelegateClass(const char* selector, const QMetaObject& fallback) const;
    void updateDeleteButton();

    LayerTreeModel* m_model;
    ObjectRowWatcher* m_rowWatcher;
    QPointer<LayersOutlineView> m_outlineView;
    QPointer<QPushButton> m_deleteButton;
    QPointer<QObject> m_delegate;
    bool m_activeFollowsSelection;
    bool m_compactRows;
    // Set while the outline's selection follows a layer's, which must not follow back.
    bool m_responding = false;
    // Set while a refused selection is put back.
    bool m_restoringSelection = false;
    QItemSelection m_acceptedSelection;
    // What a reset of the model must not lose. The open and selected rows are followed as they
    // change: when the reset comes the tree has changed already, so the rows no longer say.
    QList<QPointer<QObject>> m_expandedItems;
    QList<QPointer<QObject>> m_selectedItems;
    QList<QPointer<QObject>> m_selectedItemsBeforeReset;
    QPointer<platform::Popover> m_opacityPopover;
    std::shared_ptr<VLTMLayerOpacityPopoverController> m_opacityController;
    QPointer<VXLayer> m_opacityLayer;
    // The opacity a slider drag started from, while it lasts.
    std::optional<double> m_opacityBeforeDrag;
};
