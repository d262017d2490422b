#include "style_editor/editor/VLTMStyleEditorController.h"

#include "platform/foundation/Markers.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/ColourUtilities.h"
#include "platform/vantrix/inspector/InspectorValues.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXStyleHistory.h"
#include "style_editor/panes/StyleComponentPaneRegistry.h"
#include "style_editor/panes/VLTMStyleComponentController.h"
#include "style_editor/swatch/VXQStyleImageView.h"
#include "widgets/paint/ApplicationColours.h"
#include "widgets/paint/KitImage.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include <QCheckBox>
#include <QScopeGuard>
#include <QSet>
#include <algorithm>
#include <exception>

namespace {

const QByteArray kBuildKey = "buildUIForStyle";
const QByteArray kSelectionStylesKey = "selectionStylesDidChange";
const QByteArray kSetContentKey = "setContent";
// The text adornment pane starts collapsed.
const QString kTextAdornmentPaneName = QStringLiteral("VLTMStyleEditSub_VXTextAdornment");

QSet<const VXDrawableObject*> identities(const QList<VXDrawableObjectPtr>& objects)
{
    QSet<const VXDrawableObject*> set;
    for (const VXDrawableObjectPtr& object : objects)
        set.insert(object.get());
    return set;
}

} // namespace

VLTMStyleEditorController::VLTMStyleEditorController()
{
    m_stackCollapseStates.insert(kTextAdornmentPaneName, 1);
}

VLTMStyleEditorController::~VLTMStyleEditorController()
{
    platform::RunLoop::cancelPreviousPerformRequests(this);
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    stopObservingSelectionStyles();
    stopObserving();
    for (const auto& pane : std::as_const(m_subControllers))
        detachComponentController(pane.get());
}

std::shared_ptr<VLTMStyleEditorController> VLTMStyleEditorController::make()
{
    auto editor = std::make_shared<VLTMStyleEditorController>();
    editor->initWithNibName(kTabIdentifier);
    editor->setTitle(tr("Style"));
    editor->setTabIcon(kTabIdentifier); // artwork named like the tab, with a "_selected" twin
    return editor;
}

bool VLTMStyleEditorController::styleEditorShowsAdornments()
{
    return platform::UserDefaults::standardUserDefaults()->boolForKey(kShowsAdornmentsKey);
}

void VLTMStyleEditorController::setStyleEditorShowsAdornments(bool shows)
{
    platform::UserDefaults::standardUserDefaults()->setBoolForKey(shows, kShowsAdornmentsKey);
}

// --- The drawing and its selection ----------------------------------------------------------------------

void VLTMStyleEditorController::setDrawing(VXDrawing* drawing)
{
    platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
    if (m_drawing) {
        centre.removeObserver(this, kVXDrawingActiveLayerDidChange, m_drawing);
        centre.removeObserver(this, kVXLayerSelectionDidChange, nullptr);
        centre.removeObserver(this, kVXDrawingUnitsDidChangeNotification, m_drawing);
    }
    m_drawing = drawing;
    if (!drawing) {
        setSelection({});
        return;
    }
    centre.addObserver(this, kVXDrawingActiveLayerDidChange, drawing,
                       [this](const platform::Notification& notification) { activeLayerChanged(notification); });
    centre.addObserver(this, kVXLayerSelectionDidChange, nullptr,
                       [this](const platform::Notification& notification) { selectionChanged(notification); });
    centre.addObserver(this, kVXDrawingUnitsDidChangeNotification, drawing,
                       [this](const platform::Notification&) { drawingUnitsChanged(); });
    // What was selected in another drawing (one reverted away) is no longer there to edit.
    auto* active = qobject_cast<VXObjectDrawingLayer*>(drawing->activeLayer());
    setSelection(active ? active->selection() : QList<VXDrawableObjectPtr>());
}

void VLTMStyleEditorController::selectionChanged(const platform::Notification& notification)
{
    if (auto* layer = qobject_cast<VXObjectDrawingLayer*>(notification.object()))
        setSelectionFromLayer(layer);
}

void VLTMStyleEditorController::activeLayerChanged(const platform::Notification& notification)
{
    if (!m_drawing || notification.object() != m_drawing)
        return;
    if (auto* layer = qobject_cast<VXObjectDrawingLayer*>(m_drawing->activeLayer()))
        setSelectionFromLayer(layer);
}

void VLTMStyleEditorController::setSelectionFromLayer(VXObjectDrawingLayer* layer)
{
    if (!ZQ_EXPECT(layer, QStringLiteral("require layer to be valid")))
        return;
    if (!m_drawing || layer->drawing() != m_drawing)
        return;
    // One pending update per layer; its selection is read when the update runs.
    const QByteArray key = "setSelection:" + QByteArray::number(quintptr(layer));
    platform::RunLoop::cancelPreviousPerformRequests(this, key);
    const QPointer<VXObjectDrawingLayer> source = layer;
    platform::RunLoop::performAfterDelay(
        this,
        [this, source] {
            if (source)
                setSelection(source->selection());
        },
        0, key);
}

void VLTMStyleEditorController::setSelection(const QList<VXDrawableObjectPtr>& selection)
{
    if (selection.size() == m_selectionCache.size() && identities(selection) == identities(m_selectionCache))
        return;
    stopObservingSelectionStyles();
    m_selectionCache = selection;
    observeSelectionStyles();
    const QList<VXStylePtr> styles = stylesOfSelection();
    const bool sameStyles = styles == m_styleList;
    setContent(styles);
    // The style stays, but how many objects hold it may have changed since it was shown.
    if (const VXStylePtr shown = style(); shown && sameStyles) {
        bool editableByLibrary = true;
        showLibraryLine(*shown, &editableByLibrary);
    }
}

QList<VXStylePtr> VLTMStyleEditorController::stylesOfSelection() const
{
    QList<VXStylePtr> styles;
    QSet<const VXStyle*> seen;
    for (const VXDrawableObjectPtr& object : m_selectionCache) {
        VXStylePtr style = object->style();
        if (style && !seen.contains(style.get())) {
            seen.insert(style.get());
            styles.append(style);
        }
    }
    return styles;
}

void VLTMStyleEditorController::observeSelectionStyles()
{
    for (const VXDrawableObjectPtr& object : std::as_const(m_selectionCache)) {
        const quint64 token = object->observeKeyPath(QStringLiteral("style"), platform::KeyValueObservingOptionNew, this,
                                                     [this](const platform::KeyValueChange&) {
                                                         // One update for a batch that restyles the selection.
                                                         platform::RunLoop::cancelPreviousPerformRequests(this, kSelectionStylesKey);
                                                         platform::RunLoop::performAfterDelay(
                                                             this, [this] { selectionStylesDidChange(); }, 0, kSelectionStylesKey);
                                                     });
        m_selectionObservations.append({object, token});
    }
}

void VLTMStyleEditorController::stopObservingSelectionStyles()
{
    removeObservations(m_selectionObservations);
}

void VLTMStyleEditorController::selectionStylesDidChange()
{
    setContent(stylesOfSelection());
}

void VLTMStyleEditorController::toolStyleChanged(const platform::Notification&)
{
    if (!isInMainWindow())
        return;
    platform::RunLoop::cancelPreviousPerformRequests(this, kSetContentKey);
    platform::RunLoop::performAfterDelay(
        this,
        [this] {
            if (VXStylePtr current = VXStyleHistory::defaultHistory().currentStyle())
                setContent({current});
        },
        0, kSetContentKey);
}

// --- Content --------------------------------------------------------------------------------------------

VXStylePtr VLTMStyleEditorController::style() const
{
    return m_styleList.size() == 1 ? m_styleList.first() : nullptr;
}

void VLTMStyleEditorController::setContent(const QList<VXStylePtr>& styles)
{
    if (styles.isEmpty() || styles == m_styleList)
        return;
    stopObserving();
    m_styleList = styles;
    if (const VXStylePtr shown = style()) {
        buildUIForStyle(shown);
        startObserving(shown);
        return;
    }
    tearDownUIIfNeeded();
    setNilState();
    setMultipleStylesState();
}

QStringList VLTMStyleEditorController::styleObservingKeypaths()
{
    return {QStringLiteral("name"),   QStringLiteral("opacity"),       QStringLiteral("isStyleRegistered"),
            QStringLiteral("locked"), QStringLiteral("styleSharable"), QStringLiteral("renderList")};
}

QVariant VLTMStyleEditorController::commonValueForKeyPath(const QString& keyPath) const
{
    if (!ZQ_EXPECT(styleObservingKeypaths().contains(keyPath),
                   QStringLiteral("keyPath '%1' used as getter not present in -styleObservingKeypaths").arg(keyPath)))
        return {};
    if (m_styleList.isEmpty())
        return {};
    try {
        const QVariant first = m_styleList.first()->valueForKeyPath(keyPath);
        for (qsizetype i = 1; i < m_styleList.size(); ++i)
            if (m_styleList[i]->valueForKeyPath(keyPath) != first)
                return platform::multipleValuesMarker();
        return first;
    } catch (const std::exception&) {
        return platform::notApplicableMarker();
    }
}

void VLTMStyleEditorController::setCommonValueForKeyPath(const QVariant& value, const QString& keyPath)
{
    const VXRasterizer::EditingScope scope(undoManager());
    for (const VXStylePtr& style : std::as_const(m_styleList))
        style->setValueForKeyPath(value, keyPath);
}

void VLTMStyleEditorController::startObserving(const VXStylePtr& style)
{
    m_startingObservation = true;
    const auto done = qScopeGuard([this] { m_startingObservation = false; });
    for (const QString& keyPath : styleObservingKeypaths()) {
        try {
            const quint64 token = style->observeKeyPath(
                keyPath, platform::KeyValueObservingOptionNew | platform::KeyValueObservingOptionInitial, this,
                [this, keyPath](const platform::KeyValueChange& change) {
                    if (!change.isPrior)
                        styleValueDidChange(keyPath);
                });
            m_styleObservations.append({style, token});
        } catch (const std::exception&) {
            ZQLog(QStringLiteral("an error ocurred registering for KVO on -[%1 %2] '%3'")
                      .arg(QString::fromLatin1(style->metaObject()->className()), keyPath, style->name()));
        }
    }
}

void VLTMStyleEditorController::stopObserving()
{
    removeObservations(m_styleObservations);
}

void VLTMStyleEditorController::removeObservations(QList<StyleObservation>& observations)
{
    for (const StyleObservation& observation : std::exchange(observations, {})) {
        const ZQObjectPtr object = observation.object.lock();
        if (!object)
            continue;
        try {
            object->removeObservation(observation.token);
        } catch (const std::exception&) {
            ZQLog(QStringLiteral("an error occurred removing observer for '%1'").arg(object->description()));
        }
    }
}

void VLTMStyleEditorController::styleValueDidChange(const QString& keyPath)
{
    const QString key = platform::lastKeyOfKeyPath(keyPath);
    const QVariant value = commonValueForKeyPath(key);
    if (platform::isMultipleValuesMarker(value)) {
        setMultipleStylesState();
        return;
    }
    if (platform::isNotApplicableMarker(value))
        return;
    displayBindings().show(*this, value, key);
}

// --- Data source of the panes -----------------------------------------------------------------------------

QList<ZQObjectPtr> VLTMStyleEditorController::selectedContentForObjectController(VLTMGenericObjectController*)
{
    return m_tempRasterizer ? QList<ZQObjectPtr>{m_tempRasterizer} : QList<ZQObjectPtr>{};
}

ZQUndoManager* VLTMStyleEditorController::undoManager() const
{
    return m_drawing ? m_drawing->undoManager() : nullptr;
}

// --- The pane stack ----------------------------------------------------------------------------------------

ZQCollapsibleContainerView* VLTMStyleEditorController::styleComponentStackView()
{
    view();
    return m_styleComponentStackView;
}

VLTMStyleComponentController* VLTMStyleEditorController::subcontrollerForComponent(const VXRasterizer* component) const
{
    for (const auto& pane : m_subControllers) {
        const QList<ZQObjectPtr>& objects = pane->content();
        if (!objects.isEmpty() && objects.first().get() == component)
            return pane.get();
    }
    return nullptr;
}

VLTMStyleComponentController* VLTMStyleEditorController::subcontrollerForView(const QWidget* view) const
{
    for (const auto& pane : m_subControllers)
        if (pane->isViewLoaded() && pane->view() == view)
            return pane.get();
    return nullptr;
}

VLTMStyleComponentController* VLTMStyleEditorController::subcontrollerForHostingView(const QObject* container) const
{
    for (const auto& pane : m_subControllers)
        if (container && pane->hostingView() == container)
            return pane.get();
    return nullptr;
}

void VLTMStyleEditorController::rebuildUI()
{
    platform::RunLoop::cancelPreviousPerformRequests(this, kBuildKey);
    platform::RunLoop::performAfterDelay(
        this,
        [this] {
            if (const VXStylePtr shown = style())
                buildUIForStyle(shown);
        },
        0, kBuildKey);
}

void VLTMStyleEditorController::tearDownUIIfNeeded()
{
    for (const auto& pane : std::exchange(m_subControllers, {}))
        detachComponentController(pane.get());
    if (m_styleComponentStackView)
        m_styleComponentStackView->removeAllContentViews();
}

void VLTMStyleEditorController::detachComponentController(VLTMStyleComponentController* pane)
{
    pane->setDataSource(nullptr);
    pane->setStyleEditorController(nullptr);
    pane->setHostingView(nullptr);
}

void VLTMStyleEditorController::removeComponentController(VLTMStyleComponentController* pane)
{
    if (pane && pane->isViewLoaded() && m_styleComponentStackView)
        m_styleComponentStackView->removeViewFromContent(pane->view());
}

void VLTMStyleEditorController::buildUIForStyle(const VXStylePtr& style)
{
    if (!ZQ_EXPECT(style, QStringLiteral("unexpected object where style should be")))
        return;
    view();
    platform::RunLoop::cancelPreviousPerformRequests(this, kBuildKey);
    setRenamingMode(false);
    tearDownUIIfNeeded();
    m_stylePreviewImageWell->setStyle(style);

    bool editableByLibrary = true;
    showLibraryLine(*style, &editableByLibrary);
    m_lockedLibraryIconView->setVisible(!editableByLibrary);
    m_resetButton->setEnabled(true);
    m_cloneButton->setEnabled(true);
    m_actionMenuPopUp->setEnabled(true);
    m_componentMenuPopUp->setEnabled(editableByLibrary);
    m_componentMenuPopUp->setVisible(!style->isPureTextStyle());
    m_sharedCheckbox->setEnabled(editableByLibrary);
    m_sharedIconView->setEnabled(editableByLibrary);
    m_editableCheckbox->setEnabled(editableByLibrary);
    m_editableIconView->setEnabled(editableByLibrary);

    buildUIForStyleGroupInParentContainerParentController(style.get(), m_styleComponentStackView, nullptr);
    applyDisplayUnits();
    // The panes were made after the header's lock was shown.
    const bool locked = style->locked() || !editableByLibrary;
    for (const auto& pane : std::as_const(m_subControllers))
        pane->setLocked(locked);
}

void VLTMStyleEditorController::buildUIForStyleGroupInParentContainerParentController(
    VXRastGroup* group, ZQCollapsibleContainerView* parent, VLTMStyleComponentController* parentController)
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
        const bool collapsed = m_stackCollapseStates.value(collapseStateKeyForComponent(*component)).toBool();

        m_tempRasterizer = component;
        pane->setDataSource(this);
        pane->setStyleEditorController(this);
        pane->setHostingView(container);
        container->setCollapsed(collapsed);
        if (QCheckBox* titleCheckbox = container->titleCheckbox()) {
            VLTMStyleComponentController* target = pane.get();
            connect(titleCheckbox, &QCheckBox::clicked, target, [target, titleCheckbox] { target->enabledAction(titleCheckbox); });
            titleCheckbox->setToolTip(tr("Enable Component"));
        }
        pane->content();
        m_tempRasterizer.reset();
        // Set after collapsing, so that building reports no collapse.
        container->setDelegate(this);

        m_subControllers.append(pane);
        if (parentController)
            parentController->addSubcontroller(pane.get());
        // The container keeps a hosted view's height: the pane's own, from its layout.
        pane->view()->adjustSize();
        container->addViewToContent(pane->view());
        container->setIgnoredViewCount(1);

        if (auto* subgroup = qobject_cast<VXRastGroup*>(component.get())) {
            buildUIForStyleGroupInParentContainerParentController(subgroup, container, pane.get());
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

// --- Delegate of the containers -----------------------------------------------------------------------------

VXRastGroup* VLTMStyleEditorController::groupOfContainer(QObject* container) const
{
    if (container == m_styleComponentStackView)
        return style().get();
    VLTMStyleComponentController* pane = subcontrollerForHostingView(container);
    const VXRasterizerPtr component = pane ? pane->representedComponent() : nullptr;
    return qobject_cast<VXRastGroup*>(component.get());
}

void VLTMStyleEditorController::containerViewDidMoveSubviewToIndex(QObject*, QObject* view, int index)
{
    LogEvent(kReactiveEvent, QStringLiteral("containerView:didMoveSubview:toIndex: with sub=%1, index=%2")
                   .arg(view ? QString::fromLatin1(view->metaObject()->className()) : QString())
                   .arg(index));
    VLTMStyleComponentController* pane = subcontrollerForHostingView(view);
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
    const VXRasterizer::EditingScope scope(undoManager());
    group->moveRendererAtIndexToIndex(current, target);
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(tr("Change Style Component Order"));
}

bool VLTMStyleEditorController::containerViewWillAcceptDroppedViewAtIndex(QObject* container, QObject* view, int index)
{
    VLTMStyleComponentController* moved = subcontrollerForHostingView(view);
    const VXRasterizerPtr component = moved ? moved->representedComponent() : nullptr;
    VXRastGroup* destination = groupOfContainer(container);
    if (!component || !styleAllowsChanges())
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
        const VXRasterizer::EditingScope scope(undoManager());
        component->removeFromContainer();
        destination->insertObjectInRenderListAtIndex(component, insertion);
    }
    detachComponentController(moved);
    m_subControllers.removeIf([moved](const auto& pane) { return pane.get() == moved; });
    rebuildUI();
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(tr("Change Style Component Order"));
    return false;
}

void VLTMStyleEditorController::containerViewDidRemoveSubview(QObject*, QObject* view)
{
    VLTMStyleComponentController* pane = subcontrollerForHostingView(view);
    const VXRasterizerPtr component = pane ? pane->representedComponent() : nullptr;
    if (!component)
        return;
    {
        const VXRasterizer::EditingScope scope(undoManager());
        component->removeFromContainer();
    }
    detachComponentController(pane);
    m_subControllers.removeIf([pane](const auto& kept) { return kept.get() == pane; });
    // A locked style keeps its component: show it again.
    if (component->container()) {
        rebuildUI();
        return;
    }
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(QStringLiteral("%1 %2").arg(tr("Delete"), component->displayName()));
}

void VLTMStyleEditorController::containerViewDidCollapse(QObject* container)
{
    recordCollapseState(container, true);
}

void VLTMStyleEditorController::containerViewDidUncollapse(QObject* container)
{
    recordCollapseState(container, false);
}

void VLTMStyleEditorController::recordCollapseState(QObject* container, bool collapsed)
{
    VLTMStyleComponentController* pane = subcontrollerForHostingView(container);
    const VXRasterizerPtr component = pane ? pane->representedComponent() : nullptr;
    if (!component)
        return;
    const QString name = collapseStateKeyForComponent(*component);
    if (m_stackCollapseStates.contains(name) && m_stackCollapseStates.value(name).toBool() == collapsed)
        return;
    m_stackCollapseStates.insert(name, collapsed ? 1 : 0);
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(m_stackCollapseStates, kCollapseStateKey);
}

QString VLTMStyleEditorController::collapseStateKeyForComponent(const VXRasterizer& component)
{
    // The name of the component class's pane, whether it has one or shows the placeholder,
    // so that components without panes of their own do not share one state.
    return StyleComponentPaneRegistry::subcontrollerNibNameForComponentClass(
        QString::fromLatin1(component.metaObject()->className()));
}

void VLTMStyleEditorController::readStoredCollapseStates()
{
    const QVariant stored = platform::UserDefaults::standardUserDefaults()->objectForKey(kCollapseStateKey);
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
    m_stackCollapseStates = kept;
}

const platform::DisplayBindings& VLTMStyleEditorController::displayBindings() const
{
    using Self = VLTMStyleEditorController;
    static const auto bindings = platform::DisplayBindings()
        .bind(QStringLiteral("name"), &Self::setName)
        .bind(QStringLiteral("opacity"), &Self::setOpacity)
        .bind(QStringLiteral("isStyleRegistered"), &Self::setIsStyleRegistered)
        .bind(QStringLiteral("locked"), &Self::setLocked)
        .bind(QStringLiteral("styleSharable"), &Self::setStyleSharable)
        .bind(QStringLiteral("renderList"), &Self::setRenderList);
    return bindings;
}
