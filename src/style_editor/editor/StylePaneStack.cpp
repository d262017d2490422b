#include "style_editor/editor/StylePaneStack.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/ColourUtilities.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "style_editor/editor/VLTMStyleEditorController.h"
#include "style_editor/panes/StyleComponentPaneRegistry.h"
#include "style_editor/panes/VLTMStyleComponentController.h"
#include "widgets/paint/ApplicationColours.h"
#include "widgets/paint/KitImage.h"

#include <QCheckBox>
#include <QEvent>
#include <QScrollArea>
#include <algorithm>

namespace {

constexpr int kStackWidth = 230;
// The text adornment pane starts collapsed.
const QString kTextAdornmentPaneName = QStringLiteral("VLTMStyleEditSub_VXTextAdornment");

} // namespace

StylePaneStack::StylePaneStack(VLTMStyleEditorController& editor)
    : m_editor(editor)
{
    m_collapseStates.insert(kTextAdornmentPaneName, 1);
}

StylePaneStack::~StylePaneStack()
{
    for (const auto& pane : std::as_const(m_panes))
        detachPane(pane.get());
}

QWidget* StylePaneStack::makeView()
{
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(false);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_stackView = new ZQCollapsibleContainerView(QRectF(0, 0, kStackWidth, 20));
    m_stackView->awakeFromInterface();
    m_stackView->setDelegate(this);
    m_stackView->setAcceptDrops(true);
    m_stackView->setAllowsDragsFromOtherViews(true);
    scroll->setWidget(m_stackView);
    // The stack is as wide as the area showing it.
    scroll->viewport()->installEventFilter(this);
    // The stack draws its own background behind the panes.
    QPalette palette = scroll->viewport()->palette();
    palette.setColor(QPalette::Window, m_stackView->backgroundColour().isValid() ? m_stackView->backgroundColour()
                                                                                   : VLTMWindowBackgroundColour());
    scroll->viewport()->setPalette(palette);
    return scroll;
}

bool StylePaneStack::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && m_stackView && watched == m_stackView->parentWidget())
        m_stackView->setFrameSize(QSize(static_cast<QWidget*>(watched)->width(), m_stackView->height()));
    return QObject::eventFilter(watched, event);
}

// --- Panes ------------------------------------------------------------------------------------------------

VLTMStyleComponentController* StylePaneStack::paneForComponent(const VXRasterizer* component) const
{
    for (const auto& pane : m_panes) {
        const QList<ZQObjectPtr>& objects = pane->content();
        if (!objects.isEmpty() && objects.first().get() == component)
            return pane.get();
    }
    return nullptr;
}

VLTMStyleComponentController* StylePaneStack::paneForView(const QWidget* view) const
{
    for (const auto& pane : m_panes)
        if (pane->isViewLoaded() && pane->view() == view)
            return pane.get();
    return nullptr;
}

VLTMStyleComponentController* StylePaneStack::paneForHostingView(const QObject* container) const
{
    for (const auto& pane : m_panes)
        if (container && pane->hostingView() == container)
            return pane.get();
    return nullptr;
}

void StylePaneStack::tearDown()
{
    for (const auto& pane : std::exchange(m_panes, {}))
        detachPane(pane.get());
    if (m_stackView)
        m_stackView->removeAllContentViews();
}

void StylePaneStack::detachPane(VLTMStyleComponentController* pane)
{
    pane->setDataSource(nullptr);
    pane->setStyleEditorController(nullptr);
    pane->setHostingView(nullptr);
}

void StylePaneStack::removePane(VLTMStyleComponentController* pane)
{
    if (pane && pane->isViewLoaded() && m_stackView)
        m_stackView->removeViewFromContent(pane->view());
}

void StylePaneStack::build(const VXStylePtr& style, bool locked)
{
    buildGroup(style.get(), m_stackView, nullptr);
    applyDisplayUnits();
    setLocked(locked);
}

void StylePaneStack::setLocked(bool locked)
{
    for (const auto& pane : std::as_const(m_panes))
        pane->setLocked(locked);
}

void StylePaneStack::buildGroup(VXRastGroup* group, ZQCollapsibleContainerView* parent,
                                VLTMStyleComponentController* parentPane)
{
    if (!ZQ_EXPECT(parent, QStringLiteral("no parent view for building group UI for %1").arg(group ? group->description() : QString()))
        || !ZQ_EXPECT(group, QStringLiteral("expected valid style group")))
        return;
    const QList<VXRasterizerPtr> members = group->renderList();
    for (auto member = members.crbegin(); member != members.crend(); ++member) {
        const VXRasterizerPtr& component = *member;
        auto* container = new ZQCollapsibleContainerView(QRectF(0, 0, 100, 20));
        container->setTitle(component->displayName());
        container->setAllowsReordering(true);
        container->setCloseButton(ZQCollapsibleContainerView::closeButton());
        container->setTitleBarStyle(2);
        parent->addViewToContent(container);

        const std::shared_ptr<VLTMStyleComponentController> pane = StyleComponentPaneRegistry::makePaneForComponent(*component);
        if (!ZQ_EXPECT(pane && pane->view(), QStringLiteral("subcontroller has no assigned view. This is an error.")))
            continue;
        const bool collapsed = m_collapseStates.value(collapseStateKeyForComponent(*component)).toBool();

        m_componentBeingBuilt = component;
        pane->setDataSource(this);
        pane->setStyleEditorController(&m_editor);
        pane->setHostingView(container);
        container->setCollapsed(collapsed);
        if (QCheckBox* titleCheckbox = container->titleCheckbox()) {
            VLTMStyleComponentController* target = pane.get();
            connect(titleCheckbox, &QCheckBox::clicked, target, [target, titleCheckbox] { target->enabledAction(titleCheckbox); });
            titleCheckbox->setToolTip(tr("Enable Component"));
        }
        pane->content();
        m_componentBeingBuilt.reset();
        // Set after collapsing, so that building reports no collapse.
        container->setDelegate(this);

        m_panes.append(pane);
        if (parentPane)
            parentPane->addSubcontroller(pane.get());
        // The container keeps a hosted view's height: the pane's own, from its layout.
        pane->view()->adjustSize();
        container->addViewToContent(pane->view());
        container->setIgnoredViewCount(1);

        if (auto* subgroup = qobject_cast<VXRastGroup*>(component.get())) {
            buildGroup(subgroup, container, pane.get());
            container->setAcceptDrops(true);
            container->setAllowsDragsFromOtherViews(true);
            parent->setAllowsDragsFromOtherViews(true);
            container->setTitleBarColour(platform::shadowWithLevel(VLTMWindowBackgroundColour(), 0.1));
            const KitImage icon = imageNamed(QStringLiteral("VLST_Group-Effect"));
            if (!icon.isNull())
                container->setAuxiliaryIcon(icon.imageOfSize(QSizeF(16, 16), container->devicePixelRatioF()));
        }
    }
}

// --- Units ---------------------------------------------------------------------------------------------------

void StylePaneStack::setShowsDrawingUnits(bool shows)
{
    m_showsDrawingUnits = shows;
    applyDisplayUnits();
    platform::UserDefaults::standardUserDefaults()->setBoolForKey(shows, VLTMStyleEditorController::kShowsDrawingUnitsKey);
}

void StylePaneStack::readStoredShowsDrawingUnits()
{
    m_showsDrawingUnits =
        platform::UserDefaults::standardUserDefaults()->boolForKey(VLTMStyleEditorController::kShowsDrawingUnitsKey);
    applyDisplayUnits();
}

void StylePaneStack::applyDisplayUnits()
{
    const VXDrawing* drawing = m_editor.drawing();
    if (m_showsDrawingUnits && drawing && drawing->unitToPointsConversionFactor() > 0)
        changeUnitsConversionFactorToWithUnits(1.0 / drawing->unitToPointsConversionFactor(),
                                               drawing->abbreviatedDrawingUnits());
    else
        changeUnitsConversionFactorToWithUnits(1.0, QStringLiteral("pt"));
}

void StylePaneStack::changeUnitsConversionFactorToWithUnits(double factor, const QString& units)
{
    for (const auto& pane : std::as_const(m_panes))
        pane->changeUnitsConversionFactorToWithUnits(factor, units);
}

// --- Data source of the panes -----------------------------------------------------------------------------

QList<ZQObjectPtr> StylePaneStack::selectedContentForObjectController(VLTMGenericObjectController*)
{
    return m_componentBeingBuilt ? QList<ZQObjectPtr>{m_componentBeingBuilt} : QList<ZQObjectPtr>{};
}

ZQUndoManager* StylePaneStack::undoManager() const
{
    return m_editor.undoManager();
}

// --- Delegate of the containers -----------------------------------------------------------------------------

VXRastGroup* StylePaneStack::groupOfContainer(QObject* container) const
{
    if (container == m_stackView)
        return m_editor.style().get();
    VLTMStyleComponentController* pane = paneForHostingView(container);
    const VXRasterizerPtr component = pane ? pane->representedComponent() : nullptr;
    return qobject_cast<VXRastGroup*>(component.get());
}

void StylePaneStack::containerViewDidMoveSubviewToIndex(QObject*, QObject* view, int index)
{
    LogEvent(kReactiveEvent, QStringLiteral("containerView:didMoveSubview:toIndex: with sub=%1, index=%2")
                   .arg(view ? QString::fromLatin1(view->metaObject()->className()) : QString())
                   .arg(index));
    VLTMStyleComponentController* pane = paneForHostingView(view);
    const VXRasterizerPtr component = pane ? pane->representedComponent() : nullptr;
    if (!component)
        return;
    VXRastGroup* group = component->container();
    if (!ZQ_EXPECT(group, QStringLiteral("expected parent of rasterizer to be a rast group")))
        return;
    const int current = group->indexOfRenderer(component.get());
    const int target = group->countOfRenderList() - 1 - index;
    if (!ZQ_EXPECT(current >= 0, QStringLiteral("inconsistent state: parent does not contain child"))
        || !ZQ_EXPECT(target >= 0, QStringLiteral("bad index %1").arg(target)))
        return;
    if (target == current)
        return;
    const VXRasterizer::EditingScope scope(m_editor.undoManager());
    group->moveRendererAtIndexToIndex(current, target);
    if (ZQUndoManager* undo = m_editor.undoManager())
        undo->setActionName(tr("Change Style Component Order"));
}

bool StylePaneStack::containerViewWillAcceptDroppedViewAtIndex(QObject* container, QObject* view, int index)
{
    VLTMStyleComponentController* moved = paneForHostingView(view);
    const VXRasterizerPtr component = moved ? moved->representedComponent() : nullptr;
    VXRastGroup* destination = groupOfContainer(container);
    if (!component || !m_editor.styleAllowsChanges())
        return false;
    if (!ZQ_EXPECT(destination, QStringLiteral("expected destination to be a group")))
        return false;
    // A group cannot go into itself or into a group of its own.
    if (const auto* movedGroup = qobject_cast<const VXRastGroup*>(component.get());
        movedGroup && movedGroup->containsRenderer(destination))
        return false;
    if (!ZQ_EXPECT(destination->indexOfRenderer(component.get()) < 0,
                   QStringLiteral("unexpected inconsistency: rasterizer is already contained by this group")))
        return false;
    const int count = destination->countOfRenderList();
    const int insertion = std::clamp(count - index, 0, count);
    {
        const VXRasterizer::EditingScope scope(m_editor.undoManager());
        component->removeFromContainer();
        destination->insertObjectInRenderListAtIndex(component, insertion);
    }
    detachPane(moved);
    m_panes.removeIf([moved](const auto& pane) { return pane.get() == moved; });
    m_editor.rebuildUI();
    if (ZQUndoManager* undo = m_editor.undoManager())
        undo->setActionName(tr("Change Style Component Order"));
    return false;
}

void StylePaneStack::containerViewDidRemoveSubview(QObject*, QObject* view)
{
    VLTMStyleComponentController* pane = paneForHostingView(view);
    const VXRasterizerPtr component = pane ? pane->representedComponent() : nullptr;
    if (!component)
        return;
    {
        const VXRasterizer::EditingScope scope(m_editor.undoManager());
        component->removeFromContainer();
    }
    detachPane(pane);
    m_panes.removeIf([pane](const auto& kept) { return kept.get() == pane; });
    // A locked style keeps its component: show it again.
    if (component->container()) {
        m_editor.rebuildUI();
        return;
    }
    if (ZQUndoManager* undo = m_editor.undoManager())
        undo->setActionName(QStringLiteral("%1 %2").arg(tr("Delete"), component->displayName()));
}

void StylePaneStack::containerViewDidCollapse(QObject* container)
{
    recordCollapseState(container, true);
}

void StylePaneStack::containerViewDidUncollapse(QObject* container)
{
    recordCollapseState(container, false);
}

void StylePaneStack::recordCollapseState(QObject* container, bool collapsed)
{
    VLTMStyleComponentController* pane = paneForHostingView(container);
    const VXRasterizerPtr component = pane ? pane->representedComponent() : nullptr;
    if (!component)
        return;
    const QString name = collapseStateKeyForComponent(*component);
    if (m_collapseStates.contains(name) && m_collapseStates.value(name).toBool() == collapsed)
        return;
    m_collapseStates.insert(name, collapsed ? 1 : 0);
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(m_collapseStates, VLTMStyleEditorController::kCollapseStateKey);
}

QString StylePaneStack::collapseStateKeyForComponent(const VXRasterizer& component)
{
    // The name of the component class's pane, whether it has one or shows the placeholder,
    // so that components without panes of their own do not share one state.
    return StyleComponentPaneRegistry::subcontrollerNibNameForComponentClass(
        QString::fromLatin1(component.metaObject()->className()));
}

void StylePaneStack::readStoredCollapseStates()
{
    const QVariant stored = platform::UserDefaults::standardUserDefaults()->objectForKey(VLTMStyleEditorController::kCollapseStateKey);
    if (stored.metaType().id() != QMetaType::QVariantMap)
        return;
    const QVariantMap states = stored.toMap();
    QVariantMap kept;
    for (auto entry = states.cbegin(); entry != states.cend(); ++entry) {
        const int type = entry.value().metaType().id();
        const bool isFlag = type == QMetaType::Bool || ((type == QMetaType::Int || type == QMetaType::LongLong)
                                                        && (entry.value().toLongLong() == 0 || entry.value().toLongLong() == 1));
        if (isFlag)
            kept.insert(entry.key(), entry.value().toBool() ? 1 : 0);
    }
    m_collapseStates = kept;
}

