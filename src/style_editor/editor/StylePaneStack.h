#pragma once

// The Style tab's stack of component panes: one collapsible container per component, the
// component drawn last at the top, a group's container holding its members' containers. The
// stack is the panes' data source while they are built, and the containers' delegate:
// reordering a container, dropping it into another group and closing it edit the style, each
// with its undo name. The collapsed flag is shared by every component of a class and kept in
// the user defaults; lengths show in points or, when asked, in the drawing's units.

#include "app/sidebar/VLTMObjectControllerDataSource.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include <QPointer>
#include <QVariantMap>
#include <memory>

class VLTMStyleComponentController;
class VLTMStyleEditorController;

class StylePaneStack : public QObject, public VLTMObjectControllerDataSource {
    Q_OBJECT

public:
    explicit StylePaneStack(VLTMStyleEditorController& editor);
    ~StylePaneStack() override;

    // The scrolling area showing the stack, which keeps to its width. Built once.
    QWidget* makeView();
    ZQCollapsibleContainerView* stackView() const { return m_stackView; }

    // --- Panes ----------------------------------------------------------------------------------
    // Every pane, in building order (top of the stack first, groups before their members).
    const QList<std::shared_ptr<VLTMStyleComponentController>>& panes() const { return m_panes; }
    VLTMStyleComponentController* paneForComponent(const VXRasterizer* component) const;
    VLTMStyleComponentController* paneForView(const QWidget* view) const;
    VLTMStyleComponentController* paneForHostingView(const QObject* container) const;
    // A pane per component of the style, in units and lock as the stack shows them.
    void build(const VXStylePtr& style, bool locked);
    // Cuts every pane from the editor and empties the stack.
    void tearDown();
    void removePane(VLTMStyleComponentController* pane);
    void setLocked(bool locked);

    // --- Collapsed flags ------------------------------------------------------------------------
    QVariantMap collapseStates() const { return m_collapseStates; }
    // Keeps the stored flags that are flags (true, false, 0 or 1).
    void readStoredCollapseStates();
    static QString collapseStateKeyForComponent(const VXRasterizer& component);

    // --- Units ----------------------------------------------------------------------------------
    bool showsDrawingUnits() const { return m_showsDrawingUnits; }
    // Remembered in the user defaults.
    void setShowsDrawingUnits(bool shows);
    void readStoredShowsDrawingUnits();
    // Tells every pane of the units: the drawing's when shown and it has them, else points.
    void applyDisplayUnits();
    void changeUnitsConversionFactorToWithUnits(double factor, const QString& units);

    // --- Data source of the panes -------------------------------------------------------------
    // The component being built into a pane.
    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController* controller) override;
    ZQUndoManager* undoManager() const override;

    // --- Delegate of the containers ------------------------------------------------------------
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildGroup(VXRastGroup* group, ZQCollapsibleContainerView* parent, VLTMStyleComponentController* parentPane);
    // Forgets a pane and cuts it from the editor and its container.
    void detachPane(VLTMStyleComponentController* pane);
    void recordCollapseState(QObject* container, bool collapsed);
    VXRastGroup* groupOfContainer(QObject* container) const;

    VLTMStyleEditorController& m_editor;
    QPointer<ZQCollapsibleContainerView> m_stackView;
    QList<std::shared_ptr<VLTMStyleComponentController>> m_panes;
    VXRasterizerPtr m_componentBeingBuilt;
    QVariantMap m_collapseStates;
    bool m_showsDrawingUnits = false;
};
