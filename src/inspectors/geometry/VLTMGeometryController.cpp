#include "inspectors/geometry/VLTMGeometryController.h"

#include "app/sidebar/TabBehindAnother.h"
#include "app/sidebar/VLTMGenericObjectController.h"
#include "app/sidebar/ZQHighestCommonClass.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "inspectors/InspectedObjects.h"
#include "inspectors/geometry/GeometryDisplayUnits.h"
#include "inspectors/geometry/GeometryPaneRegistry.h"
#include "inspectors/geometry/SliceServices.h"
#include "inspectors/pseudo/VLTMGeometryPseudoPane.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/drawables/VXArcPath.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/inspector/SameObjects.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "symbols/placed/VXQSymbol.h"
#include "furniture/scalebar/VXQScaleBarShape.h"
#include "tracks/model/VXQTrack.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString kPanelSelectionChange = QStringLiteral("kVLTMSlicesLayerDidChangeSelection");

bool isExactly(const QMetaObject* cls, const QMetaObject& wanted)
{
    return cls && QByteArrayView(cls->className()) == QByteArrayView(wanted.className());
}

// Whether every path of `paths`, all of the plain path class, is one straight segment. Their
// common class says they are paths: a million lines are not cast again one by one.
bool areSimpleStraightLines(const QList<ZQObjectPtr>& paths)
{
    return std::all_of(paths.begin(), paths.end(), [](const ZQObjectPtr& object) {
        return object && static_cast<const VXDrawablePath*>(object.get())->isSimpleStraightLine();
    });
}

// The options mask for a selection whose most derived common class is `common`; whether it
// is all straight lines is asked only where it matters.
quint32 interfaceOptionsFor(const QMetaObject* common, const std::function<bool()>& straightLines)
{
    const QMetaObject* noSize[] = {&VXRegularPolygonPath::staticMetaObject, &VXArcPath::staticMetaObject,
                                   &VXQSymbol::staticMetaObject, &VXQTrack::staticMetaObject};
    if (std::any_of(std::begin(noSize), std::end(noSize), [&](const QMetaObject* cls) { return isExactly(common, *cls); }))
        return VLTMGeometryController::kAllOptions & ~VLTMGeometryController::kSizeOption;
    if (isExactly(common, VXQScaleBarShape::staticMetaObject))
        return VLTMGeometryController::kAllOptions
            & ~(VLTMGeometryController::kSizeOption | VLTMGeometryController::kAngleOption);
    if (isExactly(common, VXDrawablePath::staticMetaObject))
        return VLTMGeometryController::kAllOptions
            & ~(straightLines() ? VLTMGeometryController::kSizeOption : VLTMGeometryController::kAngleOption);
    return VLTMGeometryController::kAllOptions;
}

} // namespace

VLTMGeometryController::VLTMGeometryController()
    : m_drawingUnitsFormatter(geometryunits::formatterForMode(geometryunits::storedMode(kUseDrawingUnitsKey), nullptr))
    , m_drawingUnitsMode(int(geometryunits::storedMode(kUseDrawingUnitsKey)))
{
    for (const GeometryPaneRegistry::Entry& entry : GeometryPaneRegistry::entries()) {
        std::shared_ptr<platform::ViewController> pane = entry.factory();
        if (!pane)
            continue;
        if (auto* generic = qobject_cast<VLTMGenericObjectController*>(pane.get()))
            generic->setDataSource(this);
        else if (auto* pseudo = qobject_cast<VLTMGeometryPseudoPane*>(pane.get()))
            pseudo->setDelegate(this);
        m_subcontrollers.append({entry.key, std::move(pane)});
    }
}

VLTMGeometryController::~VLTMGeometryController()
{
    for (const auto& [key, pane] : std::as_const(m_subcontrollers)) {
        if (auto* generic = qobject_cast<VLTMGenericObjectController*>(pane.get()))
            generic->setDataSource(nullptr);
        else if (auto* pseudo = qobject_cast<VLTMGeometryPseudoPane*>(pane.get()))
            pseudo->setDelegate(nullptr);
    }
    setDrawing(nullptr);
    setDrawingUnitsFormatter(nullptr);
}

std::shared_ptr<VLTMGeometryController> VLTMGeometryController::make()
{
    auto tab = std::make_shared<VLTMGeometryController>();
    tab->initWithNibName(kTabIdentifier);
    tab->setTitle(tr("Geometry"));
    tab->setTabIcon(kTabIdentifier);
    return tab;
}

// --- Class rules ------------------------------------------------------------------------------------

bool VLTMGeometryController::selectionIsSimpleStraightLines(const QList<ZQObjectPtr>& selection)
{
    return isExactly(ZQHighestCommonClass(selection), VXDrawablePath::staticMetaObject)
           && areSimpleStraightLines(selection);
}

quint32 VLTMGeometryController::interfaceOptionsForSelection(const QList<ZQObjectPtr>& selection)
{
    return interfaceOptionsFor(ZQHighestCommonClass(selection), [&] { return selectionIsSimpleStraightLines(selection); });
}

bool VLTMGeometryController::selectionIsEligibleForBooleanOperations(const QList<ZQObjectPtr>& selection)
{
    if (selection.size() < 2)
        return false;
    // Two are enough: a large selection is not read to its end.
    int operands = 0;
    for (const ZQObjectPtr& object : selection) {
        const auto* drawable = qobject_cast<const VXDrawableObject*>(object.get());
        if (drawable && drawable->canPerformBooleanOperation(true) && ++operands == 2)
            return true;
    }
    return false;
}

// --- The drawing --------------------------------------------------------------------------------------

void VLTMGeometryController::stopObservingDrawing()
{
    platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
    centre.removeObserver(this, kVXDrawingActiveLayerDidChange, m_drawing);
    centre.removeObserver(this, kVXLayerSelectionDidChange, nullptr);
    centre.removeObserver(this, kPanelSelectionChange, nullptr);
    centre.removeObserver(this, kVXDrawingUnitsDidChangeNotification, m_drawing);
    centre.removeObserver(this, kVXDocumentDisplayUnitOptionsChanged, nullptr);
    centre.removeObserver(this, kQuorvaneMapScaleDidChangeNotification, nullptr);
}

void VLTMGeometryController::setDrawing(VXDrawing* drawing)
{
    if (m_drawing)
        stopObservingDrawing();
    m_drawing = drawing;
    if (!drawing)
        return;
    platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
    QObject* document = drawing->owner();
    centre.addObserver(this, kVXDrawingActiveLayerDidChange, drawing,
                       [this](const platform::Notification& notification) { activeLayerChanged(notification); });
    centre.addObserver(this, kVXLayerSelectionDidChange, nullptr,
                       [this](const platform::Notification& notification) { selectionChanged(notification); });
    centre.addObserver(this, kPanelSelectionChange, nullptr,
                       [this](const platform::Notification& notification) { slicesSelectionChanged(notification); });
    centre.addObserver(this, kVXDrawingUnitsDidChangeNotification, drawing,
                       [this](const platform::Notification& notification) { drawingUnitsChanged(notification); });
    // The document may come later: without one, any sender would be heard, so none is.
    if (document) {
        centre.addObserver(this, kVXDocumentDisplayUnitOptionsChanged, document,
                           [this](const platform::Notification& notification) { drawingUnitsChanged(notification); });
        centre.addObserver(this, kQuorvaneMapScaleDidChangeNotification, document,
                           [this](const platform::Notification& notification) { mapUnitsChanged(notification); });
    }
    platform::Notification initial;
    initial.name = kVXDocumentDisplayUnitOptionsChanged;
    initial.sender = document;
    drawingUnitsChanged(initial);
    // A map opens with the selection it was saved with, and no notification tells of it.
    showSelectionOfLayer(drawing->activeLayer());
}

bool VLTMGeometryController::belongsToDrawing(const VXLayer* layer) const
{
    return layer && m_drawing && layer->drawing() == m_drawing;
}

// --- The selection ------------------------------------------------------------------------------------

QList<ZQObjectPtr> VLTMGeometryController::selection()
{
    if (!m_selectionCache) {
        auto* layer = m_drawing ? m_drawing->activeLayerOfClass<VXObjectDrawingLayer>() : nullptr;
        m_selectionCache = layer ? layer->selectionAsObjects() : QList<ZQObjectPtr>();
        m_selectionCommonClass.reset();
        m_straightLines.clear();
    }
    return *m_selectionCache;
}

const QMetaObject* VLTMGeometryController::selectionCommonClass()
{
    const QList<ZQObjectPtr> objects = selection();
    if (!m_selectionCommonClass)
        m_selectionCommonClass = ZQHighestCommonClass(objects);
    return *m_selectionCommonClass;
}

bool VLTMGeometryController::selectedObjectsAreSimpleStraightLines()
{
    const QList<ZQObjectPtr> objects = selection();
    if (!isExactly(selectionCommonClass(), VXDrawablePath::staticMetaObject))
        return false;
    if (!m_straightLines.isFollowing())
        m_straightLines.follow(objects);
    return m_straightLines.areStraightLines();
}

void VLTMGeometryController::straightLinesChanged()
{
    if (m_selectionShown)
        showPanes(panesForSelection(selectionCommonClass(), m_selectionTotal));
}

void VLTMGeometryController::setSelectedObjects(const QList<ZQObjectPtr>& objects, qint64 total)
{
    // A selection only fetched for the panes (their formatter changed, say) was never shown.
    if (m_selectionShown && m_selectionCache && platform::sameObjects(*m_selectionCache, objects))
        return;
    m_selectionCache = objects;
    m_straightLines.clear();
    m_selectionShown = true;
    m_selectionTotal = total;
    const QMetaObject* common = ZQHighestCommonClass(objects);
    m_selectionCommonClass = common;
    if (common)
        LogEvent(kReactiveEvent,
                 QStringLiteral("geometry controller installing views for %1").arg(QLatin1String(common->className())));
    if (common && total != 0) {
        if (platform::ViewController* arranger = subcontrollerForKey(kArrangerKey))
            arranger->setProperty("totalObjectCount", total);
    }
    showPanes(panesForSelection(common, total));
    if (!common) {
        setNameString({});
        setAuxiliaryInfoString({});
        return;
    }
    if (objects.size() < 2)
        setNeedsInfoUpdate();
    else
        setAuxiliaryInfoString(QStringLiteral("%1 %2s").arg(objects.size()).arg(VXDrawableObject::displayNameForClass(common)));
}

void VLTMGeometryController::showSelectionOfLayer(VXLayer* layer)
{
    // Behind another tab of its shown window nobody sees the tab: a million pasted lines
    // would be walked for it on every edit. It catches up when it comes to the front.
    if (isViewLoaded() && isOnTabBehindAnother(*view())) {
        m_selectionWaitsForShow = true;
        m_selectionCache.reset();
        m_straightLines.clear();
        m_selectionShown = false;
        return;
    }
    if (auto* objectLayer = qobject_cast<VXObjectDrawingLayer*>(layer)) {
        setSelectedObjects(objectLayer->selectionAsObjects(), objectLayer->countOfObjects());
    } else if (layer && layer->isSlicesLayer() && VLTMSliceServices::installed()) {
        setSelectedObjects(VLTMSliceServices::installed()->selectedSlicesOfLayer(layer), 0);
    } else {
        setSelectedObjects({}, 0);
    }
}

void VLTMGeometryController::activeLayerChanged(const platform::Notification&)
{
    showSelectionOfLayer(m_drawing ? m_drawing->activeLayer() : nullptr);
}

void VLTMGeometryController::selectionChanged(const platform::Notification& notification)
{
    auto* layer = qobject_cast<VXObjectDrawingLayer*>(notification.object());
    if (belongsToDrawing(layer))
        showSelectionOfLayer(layer);
}

void VLTMGeometryController::slicesSelectionChanged(const platform::Notification& notification)
{
    auto* layer = qobject_cast<VXLayer*>(notification.object());
    if (belongsToDrawing(layer) && layer->isSlicesLayer())
        showSelectionOfLayer(layer);
}

// --- Panes ----------------------------------------------------------------------------------------------

platform::ViewController* VLTMGeometryController::subcontrollerForKey(const QString& key) const
{
    for (const auto& [paneKey, pane] : m_subcontrollers) {
        if (paneKey == key)
            return pane.get();
    }
    return nullptr;
}

QList<platform::ViewController*> VLTMGeometryController::installedSubcontrollers() const
{
    return m_installed;
}

void VLTMGeometryController::installSubcontroller(platform::ViewController* pane)
{
    // The stack keeps each view's height: a pane shows at its natural one.
    QWidget* paneView = pane->view();
    paneView->resize(containerView()->width(), paneView->sizeHint().height());
    containerView()->addViewToContent(paneView);
    m_installed.append(pane);
}

void VLTMGeometryController::removeViewForSubcontroller(platform::ViewController* pane)
{
    if (!m_installed.removeOne(pane))
        return;
    QWidget* paneView = pane->view();
    containerView()->removeViewFromContent(paneView);
    // Panes live as long as the tab: their views wait, hidden, for the next selection.
    paneView->setParent(view());
    paneView->hide();
}

QList<platform::ViewController*> VLTMGeometryController::panesForSelection(const QMetaObject* commonClass, qint64 total)
{
    const QList<ZQObjectPtr> objects = selection();
    QList<const QMetaObject*> chain;
    for (const QMetaObject* cls = commonClass; cls; cls = cls->superClass())
        chain.prepend(cls);
    QList<platform::ViewController*> panes;
    const auto add = [&](const QString& key) {
        if (platform::ViewController* pane = subcontrollerForKey(key))
            panes.append(pane);
    };
    for (const QMetaObject* cls : std::as_const(chain)) {
        if (isExactly(cls, VXDrawablePath::staticMetaObject) && !selectedObjectsAreSimpleStraightLines())
            continue;
        add(QString::fromLatin1(cls->className()));
    }
    if (!commonClass || total == 0)
        return panes;
    try {
        add(kArrangerKey);
        if (selectionIsEligibleForBooleanOperations(objects))
            add(kBooleansKey);
        if (objects.size() >= 2)
            add(kAlignmentKey);
    } catch (const std::exception& exception) {
        ZQLog(QStringLiteral("an exception occurred when installing view controller, ex=%1 ###ignored###")
                  .arg(QString::fromUtf8(exception.what())));
    }
    return panes;
}

void VLTMGeometryController::showPanes(const QList<platform::ViewController*>& panes)
{
    for (const auto& [key, pane] : std::as_const(m_subcontrollers)) {
        if (auto* generic = qobject_cast<VLTMGenericObjectController*>(pane.get()))
            generic->unloadContent();
    }
    QList<QWidget*> paneViews;
    for (platform::ViewController* pane : panes)
        paneViews.append(pane->view());
    // A tab view made again has an empty stack, and views made again are not in it.
    if (paneViews != containerView()->hostedViews()) {
        const QList<platform::ViewController*> installed = m_installed;
        for (platform::ViewController* pane : installed)
            removeViewForSubcontroller(pane);
        for (platform::ViewController* pane : panes)
            installSubcontroller(pane);
    } else {
        // Reinstalling the same views would lay out and paint the whole stack again; kept
        // pseudo panes see no show event, so they set their enabling here.
        for (platform::ViewController* pane : panes) {
            if (auto* pseudo = qobject_cast<VLTMGeometryPseudoPane*>(pane))
                pseudo->viewDidAppear();
        }
    }
    for (platform::ViewController* pane : panes) {
        if (auto* generic = qobject_cast<VLTMGenericObjectController*>(pane))
            generic->reloadContent();
    }
}

// --- Data source and delegate -------------------------------------------------------------------------

QList<ZQObjectPtr> VLTMGeometryController::selectedContentForObjectController(VLTMGenericObjectController*)
{
    return selection();
}

ZQUndoManager* VLTMGeometryController::undoManager() const
{
    return m_drawing ? m_drawing->undoManager() : nullptr;
}

VXObjectDrawingLayer* VLTMGeometryController::wantsCurrentDrawingLayerForController(QObject*)
{
    return m_drawing ? m_drawing->activeLayerOfClass<VXObjectDrawingLayer>() : nullptr;
}

qint64 VLTMGeometryController::wantsCountOfSelectedObjectsForController(QObject*)
{
    return selection().size();
}

quint32 VLTMGeometryController::drawableControllerWantsInterfaceOptions(QObject*)
{
    return interfaceOptionsFor(selectionCommonClass(), [this] { return selectedObjectsAreSimpleStraightLines(); });
}

// --- Name and info lines ---------------------------------------------------------------------------------

void VLTMGeometryController::setNameString(const QString& name)
{
    typeNameLabel()->setText(name);
}

void VLTMGeometryController::setAuxiliaryInfoString(const QString& info)
{
    auxiliaryInfoLabel()->setText(info);
}

QString VLTMGeometryController::nameString() const
{
    return m_typeNameLabel ? m_typeNameLabel->text() : QString();
}

QString VLTMGeometryController::auxiliaryInfoString() const
{
    return m_auxiliaryInfoLabel ? m_auxiliaryInfoLabel->text() : QString();
}

void VLTMGeometryController::setNeedsInfoUpdate()
{
    const QList<ZQObjectPtr> objects = selection();
    if (objects.size() != 1)
        return;
    QString info;
    if (objects.first()->respondsToSelector("auxiliaryInfoString"))
        info = objects.first()->performSelector("auxiliaryInfoString").toString();
    setAuxiliaryInfoString(info);
}

// --- Display units and percentages -------------------------------------------------------------------------

void VLTMGeometryController::setDrawingUnitsFormatter(std::shared_ptr<platform::NumberFormatter> formatter)
{
    m_drawingUnitsFormatter = std::move(formatter);
    platform::NotificationCenter::defaultCenter().postNotificationName(kVLTMGeometryControllerFormatterDidChange, this);
}

void VLTMGeometryController::makeFormatterForDisplayUnitsOption(qint64 mode)
{
    setDrawingUnitsFormatter(geometryunits::formatterForMode(m_drawing ? mode : qint64(geometryunits::kPointsMode), m_drawing));
}

void VLTMGeometryController::selectUnitsItemForMode()
{
    // Also called while the view loads, so the widget is not asked for.
    if (m_drawingUnitsPopUp)
        m_drawingUnitsPopUp->setCurrentIndex(m_drawingUnitsPopUp->findData(m_drawingUnitsMode));
}

void VLTMGeometryController::displayUnitsAction(int tag)
{
    m_drawingUnitsMode = tag;
    platform::UserDefaults::standardUserDefaults()->setIntegerForKey(tag, kUseDrawingUnitsKey);
    if (ZQQuorvaneDocument* document = geometryunits::documentOfDrawing(m_drawing))
        document->setUnitDisplayOption(geometryunits::documentOptionForMode(tag));
    makeFormatterForDisplayUnitsOption(m_drawingUnitsMode);
}

void VLTMGeometryController::drawingUnitsChanged(const platform::Notification& notification)
{
    if (const auto* document = qobject_cast<const ZQQuorvaneDocument*>(notification.object())) {
        if (const std::optional<int> mode = geometryunits::modeForDocumentOption(document->unitDisplayOption()))
            m_drawingUnitsMode = *mode;
    }
    makeFormatterForDisplayUnitsOption(m_drawingUnitsMode);
    selectUnitsItemForMode();
}

void VLTMGeometryController::mapUnitsChanged(const platform::Notification&)
{
    if (m_drawingUnitsMode == geometryunits::kMapUnitsMode)
        makeFormatterForDisplayUnitsOption(m_drawingUnitsMode);
}

void VLTMGeometryController::percentDisplayAction(bool shown)
{
    m_percentDisplay = shown;
    if (m_percentCheckbox && m_percentCheckbox->isChecked() != shown)
        m_percentCheckbox->setChecked(shown);
    for (const auto& [key, pane] : std::as_const(m_subcontrollers)) {
        if (auto* generic = qobject_cast<VLTMGenericObjectController*>(pane.get()))
            generic->setPropertiesExpressibleAsPercentage(shown);
    }
}

// --- Renaming ----------------------------------------------------------------------------------------------

bool VLTMGeometryController::canRename()
{
    return inspectors::canRenameObjects(selection());
}

void VLTMGeometryController::setRenamingMode(bool active)
{
    if (active == m_renamingModeActive)
        return;
    if (active && !canRename())
        return;
    inspectors::setNameFieldEditing(*typeNameLabel(), active);
    m_renamingModeActive = active;
}

void VLTMGeometryController::renameAction(QObject*)
{
    setRenamingMode(true);
}

void VLTMGeometryController::nameFieldAction(QObject*)
{
    if (!m_renamingModeActive)
        return;
    const QString name = typeNameLabel()->text();
    if (canRename() && !name.isEmpty()) {
        static_cast<VXDrawableObject*>(selection().first().get())->assignUserNameWithFlag(name, true);
        setNeedsInfoUpdate();
    }
    setRenamingMode(false);
}

void VLTMGeometryController::geometryControllerHelpAction(QObject*)
{
    inspectors::showHelpForIdentifier(QStringLiteral("the-geometry-tab"));
}

bool VLTMGeometryController::validateMenuItem(QObject* item)
{
    auto* menuItem = qobject_cast<platform::MenuItem*>(item);
    if (!menuItem)
        return false;
    const QByteArray action = menuItem->action();
    if (action == "percentDisplayAction") {
        menuItem->setState(m_percentDisplay ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return true;
    }
    if (action == "renameAction")
        return canRename();
    return respondsToSelector(action);
}
