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
// The editor holds the content and puts its parts together: StyleContentObserver says what to
// show, StyleEditorHeader and StylePaneStack show it, StyleEditorCommands does what the controls
// and menus ask. The actions below are the commands', for callers that hold the editor.

#include "app/sidebar/VLTMTabContentViewController.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/inspector/DisplayBindings.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "style_editor/editor/StyleContentObserver.h"
#include "style_editor/editor/StyleEditorCommands.h"
#include "style_editor/editor/StyleEditorHeader.h"
#include "style_editor/editor/StylePaneStack.h"

#include <QPointer>
#include <memory>

class VLTMStyleComponentController;
class VXQLibrary;

// Posted when the editor attaches a style to the selection {"style": the style}.
inline const QString kVXStyleInspectorDidCreateNewStyle = QStringLiteral("kVXStyleInspectorDidCreateNewStyle");

class VLTMStyleEditorController : public VLTMTabContentViewController, public platform::DisplayBindingSource {
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
    QList<VXDrawableObjectPtr> selection() const { return m_observer.selection(); }
    ZQUndoManager* undoManager() const;

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
    // The factory or user library holding the style; null for an ad-hoc style.
    VXQLibrary* styleLibrary() const;
    bool styleInLockedLibrary() const;
    // A style is shown and neither it nor its library is locked.
    bool styleAllowsChanges() const;
    bool isInMainWindow() const;

    // --- The pane stack ------------------------------------------------------------------------------
    ZQCollapsibleContainerView* styleComponentStackView();
    const QList<std::shared_ptr<VLTMStyleComponentController>>& subControllers() const { return m_stack.panes(); }
    VLTMStyleComponentController* subcontrollerForComponent(const VXRasterizer* component) const
    {
        return m_stack.paneForComponent(component);
    }
    VLTMStyleComponentController* subcontrollerForHostingView(const QObject* container) const
    {
        return m_stack.paneForHostingView(container);
    }
    // Builds the header and stack for the shown style on the next turn.
    void rebuildUI();
    void buildUIForStyle(const VXStylePtr& style);
    QVariantMap stackCollapseStates() const { return m_stack.collapseStates(); }
    bool displaysDrawingUnits() const { return m_stack.showsDrawingUnits(); }
    void setShowsDrawingUnits(bool shows) { m_stack.setShowsDrawingUnits(shows); }
    void containerViewDidMoveSubviewToIndex(QObject* container, QObject* view, int index)
    {
        m_stack.containerViewDidMoveSubviewToIndex(container, view, index);
    }
    bool containerViewWillAcceptDroppedViewAtIndex(QObject* container, QObject* view, int index)
    {
        return m_stack.containerViewWillAcceptDroppedViewAtIndex(container, view, index);
    }
    void containerViewDidRemoveSubview(QObject* container, QObject* view)
    {
        m_stack.containerViewDidRemoveSubview(container, view);
    }

    // --- Header (shown through the style's observation) ------------------------------------------------
    // Each observed style key, bound to its setter below.
    const platform::DisplayBindings& displayBindings() const override;
    void setName(const QString& name) { m_header.setName(name); }
    void setOpacity(double opacity) { m_header.setOpacity(opacity); }
    void setIsStyleRegistered(bool) {}
    // The effective lock: the flag, or a library that allows no changes holds the style.
    void setLocked(bool locked);
    void setStyleSharable(bool sharable) { m_header.setStyleSharable(sharable); }
    void setRenderList(const QVariantList& renderList);
    bool isStartingObservation() const { return m_observer.isStartingObservation(); }
    bool renamingModeActive() const { return m_header.renamingModeActive(); }
    void setRenamingMode(bool renaming) { m_header.setRenamingMode(renaming); }

    QLineEdit* nameField() const { return m_header.nameField(); }
    QLabel* libraryInfoField() const { return m_header.libraryInfoField(); }
    VXQStyleImageView* previewView() const { return m_header.previewView(); }
    QCheckBox* editableCheckbox() const { return m_header.editableCheckbox(); }
    QCheckBox* sharedCheckbox() const { return m_header.sharedCheckbox(); }
    QLabel* lockedLibraryIconView() const { return m_header.lockedLibraryIconView(); }
    QLineEdit* opacityField() const { return m_header.opacityField(); }
    QDoubleSpinBox* opacityStepper() const { return m_header.opacityStepper(); }
    QPushButton* resetButton() const { return m_header.resetButton(); }
    QPushButton* cloneButton() const { return m_header.cloneButton(); }
    QToolButton* componentMenuButton() const { return m_header.componentMenuButton(); }
    platform::Menu* componentMenu() const { return m_header.componentMenu(); }
    platform::Menu* actionMenu() const { return m_header.actionMenu(); }

    // --- Commands ------------------------------------------------------------------------------------------
    static const QMetaObject* componentClassForStyleComponentTag(int tag)
    {
        return StyleEditorCommands::componentClassForTag(tag);
    }
    static QList<int> styleComponentTags() { return StyleEditorCommands::componentTags(); }
    static bool canPasteComponentFromName(const QMimeData* data, QString* name = nullptr)
    {
        return StyleEditorCommands::canPasteComponentFromName(data, name);
    }
    void addComponentForTag(int tag) { m_commands.addComponentForTag(tag); }
    void pasteComponentAction(QObject* sender) { m_commands.pasteComponentAction(sender); }
    void resetStyleAction(QObject* sender) { m_commands.resetStyleAction(sender); }
    void cloneStyleAction(QObject* sender) { m_commands.cloneStyleAction(sender); }
    void editableAction(QObject* sender) { m_commands.editableAction(sender); }
    void renameAction(QObject* sender) { m_commands.renameAction(sender); }
    void handleNameDoubleClick() { m_commands.handleNameDoubleClick(); }
    void nameFieldAction(QObject* sender) { m_commands.nameFieldAction(sender); }
    void masterOpacityAction(QObject* sender) { m_commands.masterOpacityAction(sender); }
    void addToLibraryAction(QObject* sender) { m_commands.addToLibraryAction(sender); }
    void toggleDrawingUnitsDisplayAction(QObject* sender) { m_commands.toggleDrawingUnitsDisplayAction(sender); }
    bool validateMenuItem(platform::MenuItem* item) { return m_commands.validateMenuItem(item); }

protected:
    QWidget* loadView() override;
    void viewDidLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSelectionStyles(const QList<VXStylePtr>& styles);
    void styleValueDidChange(const QString& keyPath);
    void showMultipleStyles();

    StyleEditorCommands m_commands{*this};
    StyleEditorHeader m_header{m_commands};
    StylePaneStack m_stack{*this};
    StyleContentObserver m_observer;
    QList<VXStylePtr> m_styleList;
    QPointer<VXDrawing> m_drawing;
    bool m_selectionWaitsForShow = false; // changed while the tab was behind another
};
