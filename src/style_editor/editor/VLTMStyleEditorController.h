#pragma once

// The Style tab of a map window. It edits one style at a time, the common style of the active
// layer's selection or the current tool's style: a header (name, library line, editable and
// shared flags, opacity, swatch) over a stack of collapsible panes, one per component, nested
// for groups, with the component drawn last at the top.
//
// Which style: selection changes (per layer) and tool-style changes are each coalesced into one
// update on the next run-loop turn, and the last update to run decides. Several different
// styles show "Multiple Styles" and an empty stack; an empty selection keeps the style shown.
// The stack is rebuilt on the next turn after the style's render list changes, so a burst of
// changes rebuilds it once.
//
// Styles keep no document: every edit made here (by the editor or its panes) registers its undo
// with the document's undo manager (the drawing's), whichever objects use the style.
//
// The commands of the tab (adding and pasting components, reset, clone, renaming, library,
// display units, help) and their validation live in VLTMStyleEditorCommands.cpp; the header's
// widgets and states in VLTMStyleEditorView.cpp.

#include "app/sidebar/VLTMObjectControllerDataSource.h"
#include "app/sidebar/VLTMTabContentViewController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/inspector/DisplayBindings.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "style_editor/swatch/VXQStyleImageView.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QVariantMap>

class QMimeData;
class VLTMStyleComponentController;
class VXObjectDrawingLayer;
class VXQLibrary;

// Posted when the editor attaches a style to the selection {"style": the style}.
inline const QString kVXStyleInspectorDidCreateNewStyle = QStringLiteral("kVXStyleInspectorDidCreateNewStyle");

class VLTMStyleEditorController : public VLTMTabContentViewController,
                                  public VLTMObjectControllerDataSource,
                                  public platform::DisplayBindingSource {
    Q_OBJECT

public:
    // Pane name of the component class ("VLTMStyleEditSub_<class>") -> collapsed flag: all
    // components of a class share it.
    static inline const QString kCollapseStateKey = QStringLiteral("kVLTMStyleEditorCollapseState");
    static inline const QString kShowsDrawingUnitsKey = QStringLiteral("kVLTMStyleEditorShowsDrawingUnits");
    static inline const QString kShowsAdornmentsKey = QStringLiteral("kVLTMStyleEditorShowsAdornments");
    static inline const QString kTabIdentifier = QStringLiteral("VLTMTabViewStyle");

    VLTMStyleEditorController();
    ~VLTMStyleEditorController() override;
    // Named after its tab.
    static std::shared_ptr<VLTMStyleEditorController> make();

    static bool styleEditorShowsAdornments();
    static void setStyleEditorShowsAdornments(bool shows);

    // --- The drawing and its selection -------------------------------------------------------
    VXDrawing* drawing() const { return m_drawing; }
    // Follows the drawing's active layer, selections and units from then on.
    void setDrawing(VXDrawing* drawing) override;
    QList<VXDrawableObjectPtr> selection() const { return m_selectionCache; }
    void selectionChanged(const platform::Notification& notification);
    void activeLayerChanged(const platform::Notification& notification);
    // Schedules setSelection with the layer's selection on the next turn.
    void setSelectionFromLayer(VXObjectDrawingLayer* layer);
    // Shows the styles of the objects and follows their "style" from then on.
    void setSelection(const QList<VXDrawableObjectPtr>& selection);
    // The style history's style, on the next turn, while the editor's window is active.
    void toolStyleChanged(const platform::Notification& notification);

    // --- Content -----------------------------------------------------------------------------
    QList<VXStylePtr> content() const { return m_styleList; }
    // The one style shown; null when none or several are.
    VXStylePtr style() const;
    // An empty list keeps what is shown.
    void setContent(const QList<VXStylePtr>& styles);
    // "name", "opacity", "isStyleRegistered", "locked", "styleSharable", "renderList".
    static QStringList styleObservingKeypaths();
    // The value every style of the content shares; the multiple-values marker when they differ,
    // the not-applicable marker when one cannot answer, nothing without content.
    QVariant commonValueForKeyPath(const QString& keyPath) const;
    void setCommonValueForKeyPath(const QVariant& value, const QString& keyPath);

    // --- Data source of the panes ---------------------------------------------------------------
    // The component being built into a pane.
    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController* controller) override;
    ZQUndoManager* undoManager() const override;

    // --- The pane stack ------------------------------------------------------------------------------
    ZQCollapsibleContainerView* styleComponentStackView();
    // Every pane, in building order (top of the stack first, groups before their members).
    const QList<std::shared_ptr<VLTMStyleComponentController>>& subControllers() const { return m_subControllers; }
    VLTMStyleComponentController* subcontrollerForComponent(const VXRasterizer* component) const;
    VLTMStyleComponentController* subcontrollerForView(const QWidget* view) const;
    VLTMStyleComponentController* subcontrollerForHostingView(const QObject* container) const;
    // Builds the stack for the shown style on the next turn.
    void rebuildUI();
    void buildUIForStyle(const VXStylePtr& style);
    void buildUIForStyleGroupInParentContainerParentController(VXRastGroup* group, ZQCollapsibleContainerView* parent,
                                                               VLTMStyleComponentController* parentController);
    void tearDownUIIfNeeded();
    void removeComponentController(VLTMStyleComponentController* pane);
    QVariantMap stackCollapseStates() const { return m_stackCollapseStates; }
    static QString collapseStateKeyForComponent(const VXRasterizer& component);

    // --- Delegate of the stack's containers ---------------------------------------------------------
    // A component's container moved to `index` (from the top) within its group's container.
    Q_INVOKABLE void containerViewDidMoveSubviewToIndex(QObject* container, QObject* view, int index);
    // A component's container dropped into another group's container at `index` (from the top):
    // the component moves there and the stack is rebuilt; always answers false, so the container
    // leaves the views alone. A group dropped into itself or into a group inside it stays put.
    Q_INVOKABLE bool containerViewWillAcceptDroppedViewAtIndex(QObject* container, QObject* view, int index);
    // A component's container was closed: the component leaves its group.
    Q_INVOKABLE void containerViewDidRemoveSubview(QObject* container, QObject* view);
    Q_INVOKABLE void containerViewDidCollapse(QObject* container);
    Q_INVOKABLE void containerViewDidUncollapse(QObject* container);

    // --- Header (shown through the style's observation) ------------------------------------------------
    // Each observed style key, bound to its setter below.
    const platform::DisplayBindings& displayBindings() const override;
    void setName(const QString& name);
    void setOpacity(double opacity);
    void setIsStyleRegistered(bool registered);
    // The effective lock: the flag, or a library that allows no changes holds the style.
    void setLocked(bool locked);
    void setStyleSharable(bool sharable);
    void setRenderList(const QVariantList& renderList);
    void styleSharingChanged();
    bool isStartingObservation() const { return m_startingObservation; }
    bool renamingModeActive() const { return m_renamingModeActive; }

    // --- Commands (VLTMStyleEditorCommands.cpp) ------------------------------------------------------------
    // The component class of an add-component menu tag; null for a tag without one.
    static const QMetaObject* componentClassForStyleComponentTag(int tag);
    static QList<int> styleComponentTags();
    Q_INVOKABLE void addComponentWithTagOfSenderAction(QObject* sender);
    Q_INVOKABLE void addComponentAction(QObject* sender);
    void addComponentForTag(int tag);
    Q_INVOKABLE void pasteComponentAction(QObject* sender);
    Q_INVOKABLE void resetStyleAction(QObject* sender);
    Q_INVOKABLE void cloneStyleAction(QObject* sender);
    Q_INVOKABLE void editableAction(QObject* sender);
    Q_INVOKABLE void sharedAction(QObject* sender);
    Q_INVOKABLE void renameAction(QObject* sender);
    Q_INVOKABLE void nameFieldAction(QObject* sender);
    Q_INVOKABLE void masterOpacityAction(QObject* sender);
    Q_INVOKABLE void addToLibraryAction(QObject* sender);
    Q_INVOKABLE void collapseAllAction(QObject* sender);
    Q_INVOKABLE void expandAllAction(QObject* sender);
    Q_INVOKABLE void toggleDrawingUnitsDisplayAction(QObject* sender);
    Q_INVOKABLE void revealInLibraryAction(QObject* sender);
    Q_INVOKABLE void resetStyleNumberingAction(QObject* sender);
    Q_INVOKABLE void defaultLibrarySelectAction(QObject* sender);
    Q_INVOKABLE void styleEditorHelpAction(QObject* sender);
    // A style dropped on the swatch goes to the selection.
    Q_INVOKABLE void styleWellAction(QObject* sender);
    void handleNameDoubleClick();
    // Every selected object gets the style (or the equivalent the framework attaches); the
    // editor then shows it and posts kVXStyleInspectorDidCreateNewStyle.
    void applyStyleToSelection(const VXStylePtr& style);

    bool displaysDrawingUnits() const { return m_displaysDrawingUnits; }
    // Remembered in the user defaults; every pane is told of the units.
    void setShowsDrawingUnits(bool shows);
    void changeUnitsConversionFactorToWithUnits(double factor, const QString& units);
    void drawingUnitsChanged();
    void setRenamingMode(bool renaming);

    // The factory or user library holding the style; null for an ad-hoc style.
    VXQLibrary* styleLibrary() const;
    bool styleInLockedLibrary() const;
    // A style is shown and neither it nor its library is locked.
    bool styleAllowsChanges() const;
    bool isInMainWindow() const;
    // Whether the data holds a component, and its display name.
    static bool canPasteComponentFromName(const QMimeData* data, QString* name = nullptr);
    void populateMenuOfUserLibraries(QMenu* menu);
    void libraryContentChanged();
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // --- The header's widgets (for the window and tests) ----------------------------------------------------
    QLineEdit* nameField() const { return m_styleNameTextView; }
    QLabel* libraryInfoField() const { return m_libraryInfoTextView; }
    VXQStyleImageView* previewView() const { return m_stylePreviewImageWell; }
    QCheckBox* editableCheckbox() const { return m_editableCheckbox; }
    QCheckBox* sharedCheckbox() const { return m_sharedCheckbox; }
    QLabel* lockedLibraryIconView() const { return m_lockedLibraryIconView; }
    QLineEdit* opacityField() const { return m_masterOpacityTextField; }
    QDoubleSpinBox* opacityStepper() const { return m_masterOpacityStepper; }
    QPushButton* resetButton() const { return m_resetButton; }
    QPushButton* cloneButton() const { return m_cloneButton; }
    QToolButton* componentMenuButton() const { return m_componentMenuPopUp; }
    platform::Menu* componentMenu() const { return m_componentMenu; }
    QToolButton* actionMenuButton() const { return m_actionMenuPopUp; }
    platform::Menu* actionMenu() const { return m_actionMenu; }
    QMenu* userLibrariesMenu() const { return m_userLibrariesListMenu; }

protected:
    QWidget* loadView() override;
    void viewDidLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct StyleObservation {
        std::weak_ptr<ZQObject> object;
        quint64 token = 0;
    };

    // VLTMStyleEditorView.cpp
    QWidget* makeHeader();
    QWidget* makeStack();
    void fillComponentMenu();
    void fillActionMenu();
    void setNilState();
    void setMultipleStylesState();
    void showLibraryLine(const VXStyle& style, bool* editableByLibrary);
    // The drawing's objects whose drawing uses the style, groups counted once.
    int countOfObjectsUsingStyle(const VXStyle& style) const;
    void applyEditableState(bool editable);

    // VLTMStyleEditorController.cpp
    void startObserving(const VXStylePtr& style);
    void stopObserving();
    static void removeObservations(QList<StyleObservation>& observations);
    void styleValueDidChange(const QString& keyPath);
    void observeSelectionStyles();
    void stopObservingSelectionStyles();
    void selectionStylesDidChange();
    QList<VXStylePtr> stylesOfSelection() const;
    // Forgets a pane and cuts it from the editor and its container.
    void detachComponentController(VLTMStyleComponentController* pane);
    void applyDisplayUnits();
    void recordCollapseState(QObject* container, bool collapsed);
    void readStoredCollapseStates();
    VXRastGroup* groupOfContainer(QObject* container) const;

    // The views.
    QPointer<QLineEdit> m_styleNameTextView;
    QPointer<QLabel> m_libraryInfoTextView;
    QPointer<QToolButton> m_actionMenuPopUp;
    QPointer<platform::Menu> m_actionMenu;
    QPointer<QToolButton> m_componentMenuPopUp;
    QPointer<platform::Menu> m_componentMenu;
    QPointer<VXQStyleImageView> m_stylePreviewImageWell;
    QPointer<QCheckBox> m_editableCheckbox;
    QPointer<QCheckBox> m_sharedCheckbox;
    QPointer<QLabel> m_editableIconView;
    QPointer<QLabel> m_sharedIconView;
    QPointer<QLabel> m_lockedLibraryIconView;
    QPointer<ZQCollapsibleContainerView> m_styleComponentStackView;
    QPointer<QLineEdit> m_masterOpacityTextField;
    QPointer<QDoubleSpinBox> m_masterOpacityStepper;
    QPointer<QPushButton> m_resetButton;
    QPointer<QPushButton> m_cloneButton;
    QPointer<QMenu> m_userLibrariesListMenu;

    // The model.
    QList<VXStylePtr> m_styleList;
    QList<std::shared_ptr<VLTMStyleComponentController>> m_subControllers;
    VXRasterizerPtr m_tempRasterizer;
    QPointer<VXDrawing> m_drawing;
    QList<VXDrawableObjectPtr> m_selectionCache;
    QList<StyleObservation> m_selectionObservations;
    QList<StyleObservation> m_styleObservations;
    QVariantMap m_stackCollapseStates;
    bool m_startingObservation = false;
    bool m_renamingModeActive = false;
    bool m_displaysDrawingUnits = false;
    quint64 m_styleSharingObservation = 0;
};
