#include "windows/palettes/QVNToolsController.h"

#include "app/services/LibraryServices.h"
#include "panels/search/SmartSearchTable.h"
#include "panels/search/VXQSmartSelectTool.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/WindowNotifications.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/styles/VXStyleHistory.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "platform/vantrix/tools/VXZoomTool.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "style_editor/editor/VLTMStyleEditorController.h"
#include "style_editor/swatch/VXQStyleImageView.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/tool/VXQSymbolTool.h"
#include "widgets/buttons/ZQStyleButton.h"
#include "widgets/paint/KitImage.h"
#include "widgets/sections/ZQSectionView.h"
#include "windows/palettes/ToolPalettePreview.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QMenu>
#include <QMetaMethod>
#include <QPalette>
#include <QScopedValueRollback>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int kSelectTag = 6;
constexpr int kZoomTag = 3;
constexpr int kZoomOutTag = 4;
constexpr int kPanTag = 2;
constexpr int kPlaceSymbolTag = 43;
constexpr int kSmartSelectTag = 44;
constexpr int kEnableDelayMilliseconds = 100;
constexpr int kColumns = 4;
constexpr int kButtonSize = 32;
constexpr int kPaletteWidth = kColumns * kButtonSize + 12;
const QString kPlaceSymbolToolName = QStringLiteral("Place Symbol");

QVNToolsController*& sharedInstance()
{
    static QVNToolsController* instance = nullptr;
    return instance;
}

const QHash<int, QString>& toolNames()
{
    static const QHash<int, QString> names = {
        {1, QStringLiteral("Linear Select")},
        {2, QStringLiteral("Pan")},
        {3, QStringLiteral("Zoom")},
        {4, QStringLiteral("Zoom Out")},
        {5, QStringLiteral("Ruler")},
        {6, QStringLiteral("Select")},
        {10, QStringLiteral("Rectangle")},
        {11, QStringLiteral("Oval")},
        {12, QStringLiteral("Round Rectangle")},
        {13, QStringLiteral("Round End Rectangle")},
        {14, QStringLiteral("Polygon")},
        {15, QStringLiteral("Regular Polygon")},
        {16, QStringLiteral("Line")},
        {17, QStringLiteral("Path")},
        {18, QStringLiteral("Freehand")},
        {19, QStringLiteral("Text")},
        {20, QStringLiteral("Wedge")},
        {21, QStringLiteral("Arc")},
        {22, QStringLiteral("Insert Path Point")},
        {23, QStringLiteral("Delete Path Point")},
        {24, QStringLiteral("Text Path")},
        {25, QStringLiteral("Path Cutter")},
        {40, QStringLiteral("Connectable Line")},
        {41, QStringLiteral("Connectable Track")},
        {42, QStringLiteral("Connectable Polygon")},
        {43, QStringLiteral("Place Symbol")},
        {44, QStringLiteral("Smart Select")},
        {45, QStringLiteral("Style Dropper")},
        {50, QStringLiteral("Connectable Freehand")},
    };
    return names;
}

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

// A shared object from a notification's entry: a style or master pointer, or a ZQObject.
ZQObjectPtr sharedObjectFromVariant(const QVariant& value)
{
    if (value.canConvert<VXStylePtr>() && value.value<VXStylePtr>())
        return value.value<VXStylePtr>();
    if (value.canConvert<VXQSymbolMasterPtr>() && value.value<VXQSymbolMasterPtr>())
        return value.value<VXQSymbolMasterPtr>();
    ZQObject* object = platform::objectFromVariant(value);
    return object ? object->weak_from_this().lock() : nullptr;
}

QString frameString(const QRect& frame)
{
    return QStringLiteral("%1 %2 %3 %4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
}

// A stored frame that parses, has a sensible size and meets a screen; none otherwise.
std::optional<QRect> frameFromString(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 4)
        return std::nullopt;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    const QRect frame(numbers[0], numbers[1], numbers[2], numbers[3]);
    if (frame.width() <= 0 || frame.height() <= 0 || frame.width() > 4096 || frame.height() > 4096)
        return std::nullopt;
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(frame))
            return frame;
    return std::nullopt;
}

} // namespace

// --- Class side -------------------------------------------------------------------------------

QVNToolsController* QVNToolsController::sharedToolsController()
{
    if (!sharedInstance())
        sharedInstance() = new QVNToolsController;
    return sharedInstance();
}

bool QVNToolsController::sharedToolsControllerAvailable()
{
    return sharedInstance() != nullptr;
}

void QVNToolsController::saveToolsControllerState()
{
    QVNToolsController* palette = sharedInstance();
    const bool visible = palette && palette->isWindowLoaded() && palette->window()->isVisible();
    defaults().setBoolForKey(visible, kTMSVToolsControllerVisible);
    if (palette)
        defaults().setObjectForKey(frameString(palette->window()->geometry()), kTMSVToolsControllerFrame);
}

void QVNToolsController::restoreToolsControllerState()
{
    QVNToolsController* palette = sharedToolsController();
    if (const auto frame = frameFromString(defaults().stringForKey(kTMSVToolsControllerFrame)))
        palette->window()->setGeometry(*frame);
    if (defaults().boolForKey(kTMSVToolsControllerVisible))
        palette->window()->show();
}

bool QVNToolsController::toolStyleBindingEnabled()
{
    return defaults().boolForKey(kQuorvaneToolStyleBindingEnabled);
}

void QVNToolsController::setToolStyleBindingEnabled(bool enabled)
{
    defaults().setBoolForKey(enabled, kQuorvaneToolStyleBindingEnabled);
}

const QList<int>& QVNToolsController::selectionTags()
{
    static const QList<int> tags = {6, 1, 44, 2, 3, 4};
    return tags;
}

const QList<int>& QVNToolsController::drawingTags()
{
    static const QList<int> tags = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 24, 22, 23};
    return tags;
}

const QList<int>& QVNToolsController::cartographyTags()
{
    static const QList<int> tags = {41, 40, 42, 50, 43, 45, 25, 5};
    return tags;
}

QString QVNToolsController::toolNameForTag(int tag)
{
    return toolNames().value(tag);
}

int QVNToolsController::tagForToolName(const QString& name)
{
    for (auto it = toolNames().constBegin(); it != toolNames().constEnd(); ++it)
        if (it.value() == name)
            return it.key();
    ZQLog(QStringLiteral("tool '%1' not found - reverting to Select tool").arg(name));
    return kSelectTag;
}

QString QVNToolsController::tooltipForTag(int tag)
{
    const QString name = toolNameForTag(tag);
    const VXDrawingToolPtr tool = name.isEmpty() ? nullptr : VXToolRegistry::sharedToolRegistry().drawingToolWithName(name);
    if (!tool)
        return {};
    const QString title = QCoreApplication::translate("localized_tool_names", name.toUtf8().constData());
    const QString key = tool->keyboardEquivalent();
    if (tag == kSelectTag)
        return QStringLiteral("%1 [%2]").arg(title, key.isEmpty() ? QStringLiteral("Esc") : key + QStringLiteral(", Esc"));
    return key.isEmpty() ? title : QStringLiteral("%1 [%2]").arg(title, key);
}

// --- Instance ---------------------------------------------------------------------------------

QVNToolsController::QVNToolsController()
{
    initWithWindowNibName(QStringLiteral("QuorvaneToolPalette"));
}

QVNToolsController::~QVNToolsController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    platform::RunLoop::cancelPreviousPerformRequests(this);
    if (sharedInstance() == this)
        sharedInstance() = nullptr;
}

QWidget* QVNToolsController::loadWindow()
{
    // The stack is the window, so the window takes the stack's height as sections open and close.
    m_sections = new ZQMultiSectionView;
    QWidget* window = m_sections;
    window->setWindowFlag(Qt::Tool);
    // A palette never takes the keyboard, and so the menu shortcuts, from the map it serves:
    // neither when it is shown nor when it is clicked.
    window->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_QuitOnClose, false);
    window->setWindowTitle(QString());
    window->resize(kPaletteWidth, int(ZQSectionView::titleBarHeight));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().topLeft() + QPoint(16, 48));

    const std::pair<QString, const QList<int>*> matrices[] = {
        {tr("Selection"), &selectionTags()}, {tr("Graphics"), &drawingTags()}, {tr("Cartography"), &cartographyTags()}};
    for (const auto& [title, tags] : matrices) {
        auto* group = new QButtonGroup(this);
        group->setExclusive(false);
        m_matrices.append(group);
        // Double clicks zoom or latch the selection and drawing tools only.
        m_sections->addSection(makeSection(title, makeButtonMatrix(*tags, group, tags != &cartographyTags())));
        connect(group, &QButtonGroup::idClicked, this, [this](int tag) { toolsMatrixAction(tag); });
    }
    m_preview = new ToolPalettePreview;
    m_preview->setFixedSize(kPaletteWidth - 12, 56);
    m_preview->styleView()->setTarget(this);
    m_preview->styleView()->setAction("stylePreviewAction");
    auto* previewContent = new QWidget;
    auto* previewLayout = new QVBoxLayout(previewContent);
    previewLayout->setContentsMargins(6, 4, 6, 4);
    previewLayout->addWidget(m_preview);
    m_sections->addSection(makeSection(tr("Preview"), previewContent));
    m_sections->setEnabled(true);
    return window;
}

ZQSectionView* QVNToolsController::makeSection(const QString& title, QWidget* content)
{
    const int contentHeight = content->sizeHint().height();
    auto* section = new ZQSectionView(QRect(0, 0, kPaletteWidth, int(ZQSectionView::titleBarHeight) + contentHeight));
    section->setTitle(title);
    section->setContentView(content);
    section->awakeFromInterface();
    return section;
}

QWidget* QVNToolsController::makeButtonMatrix(const QList<int>& tags, QButtonGroup* group, bool takesDoubleClicks)
{
    auto* matrix = new QWidget;
    auto* grid = new QGridLayout(matrix);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setSpacing(0);
    for (int i = 0; i < tags.size(); ++i) {
        const int tag = tags[i];
        auto* button = new ZQStyleButton(matrix);
        button->setCheckable(true);
        button->setFixedSize(kButtonSize, kButtonSize);
        button->setFocusPolicy(Qt::NoFocus);
        button->setDelegate(this);
        button->cell().setImage(imageNamed(QStringLiteral("VLTool_") + toolNameForTag(tag).replace(QLatin1Char(' '), QLatin1Char('_'))));
        button->setAccessibleName(toolNameForTag(tag));
        if (tag == kSmartSelectTag) {
            button->setShowsMenuAfterDelay(true);
            m_smartSelectMenu = new QMenu(button);
            connect(m_smartSelectMenu, &QMenu::aboutToShow, this, [this] { fillSmartSelectMenu(); });
            button->cell().setMenu(m_smartSelectMenu);
        }
        if (takesDoubleClicks)
            button->installEventFilter(this);
        group->addButton(button, tag);
        grid->addWidget(button, i / kColumns, i % kColumns);
    }
    return matrix;
}

void QVNToolsController::fillSmartSelectMenu()
{
    m_smartSelectMenu->clear();
    std::unique_ptr<platform::Menu> searches(
        SmartSearchTable::menuOfAvailableSearchesWithTargetAction(this, "smartSelectSearchAction"));
    const auto* tool = dynamic_cast<const VXQSmartSelectTool*>(
        VXToolRegistry::sharedToolRegistry().drawingToolWithName(VXQSmartSelectTool::kToolName).get());
    const MPSearchQueryPtr current = tool ? tool->searchQuery() : nullptr;
    for (QAction* action : searches->actions()) {
        action->setParent(m_smartSelectMenu);
        m_smartSelectMenu->addAction(action);
        // The title heads the menu; the search the tool uses now is ticked.
        auto* item = qobject_cast<platform::MenuItem*>(action);
        if (!item || item->isSeparator())
            continue;
        if (item->action().isEmpty()) {
            item->setEnabled(false);
            continue;
        }
        const auto query = std::dynamic_pointer_cast<MPSearchQuery>(item->representedObject().value<ZQObjectPtr>());
        item->setCheckable(true);
        item->setChecked(query == current);
    }
}

void QVNToolsController::smartSelectSearchAction(QObject* sender)
{
    auto* item = qobject_cast<platform::MenuItem*>(sender);
    auto tool = std::dynamic_pointer_cast<VXQSmartSelectTool>(
        VXToolRegistry::sharedToolRegistry().drawingToolWithName(VXQSmartSelectTool::kToolName));
    if (!item || !tool)
        return;
    const auto query = std::dynamic_pointer_cast<MPSearchQuery>(item->representedObject().value<ZQObjectPtr>());
    tool->setSearchQuery(item->tag() == -1 ? nullptr : query);
    if (ZQStyleButton* button = toolButtonWithTag(kSmartSelectTag))
        button->setToolTip(query ? tr("%1: %2").arg(tooltipForTag(kSmartSelectTag), item->title())
                                 : tooltipForTag(kSmartSelectTag));
    setCurrentToolWithTag(kSmartSelectTag);
}

void QVNToolsController::windowDidLoad()
{
    observeNotifications();
    // Shown, not handed out: the tools keep their prototypes' styles (a track's is no plain
    // style) until the user picks one.
    m_currentStyleOrSymbol = VXStyle::defaultStyle();
    setStylePreview(m_currentStyleOrSymbol);
    for (QButtonGroup* group : std::as_const(m_matrices))
        for (QAbstractButton* button : group->buttons())
            button->setToolTip(tooltipForTag(group->id(button)));
    selectToolButtonWithTag(kSelectTag);
}

void QVNToolsController::observeNotifications()
{
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    const auto observe = [this, &center](const QString& name, void (QVNToolsController::*handler)(const platform::Notification&)) {
        center.addObserver(this, name, nullptr, [this, handler](const platform::Notification& n) { (this->*handler)(n); });
    };
    observe(kVXDidChangeToolNotification, &QVNToolsController::toolDidChange);
    observe(kVXDrawingToolCreatedObjectsStyleDidChange, &QVNToolsController::creationStyleChanged);
    observe(kVXDidChangeToolAutoRevertStateNotification, &QVNToolsController::stickyStateChanged);
    observe(kVXQLibraryPickerSelectedObjectDidChange, &QVNToolsController::newLibToolSelected);
    observe(kVXStyleInspectorDidCreateNewStyle, &QVNToolsController::inspectorStyleChanged);
    observe(platform::kNSWindowDidBecomeMainNotification, &QVNToolsController::windowBecameMain);
    observe(platform::kNSWindowDidResignMainNotification, &QVNToolsController::windowResignedMain);
}

int QVNToolsController::tagForCurrentTool() const
{
    const VXDrawingTool* tool = currentTool();
    return tool ? tagForToolName(tool->registeredName()) : 0;
}

VXDrawingToolPtr QVNToolsController::setCurrentToolWithTag(int tag)
{
    const QString name = toolNameForTag(tag);
    const VXDrawingToolPtr tool =
        VXToolRegistry::sharedToolRegistry().drawingToolWithName(name.isEmpty() ? kVXStandardSelectionToolName : name);
    if (auto* zoom = qobject_cast<VXZoomTool*>(tool.get()); zoom && (tag == kZoomTag || tag == kZoomOutTag))
        zoom->setZoomsOut(tag == kZoomOutTag);
    QVariantMap info;
    if (tool) {
        tool->set();
        info.insert(QStringLiteral("tool_info"), QVariant::fromValue(tool));
    }
    platform::NotificationCenter::defaultCenter().postNotificationName(kQuorvaneToolControllerSetTool, this, info);
    return tool;
}

VXDrawingTool* QVNToolsController::currentTool() const
{
    const platform::DocumentController* documents = platform::DocumentController::existingSharedDocumentController();
    const auto* document = qobject_cast<const VXDrawingDocument*>(documents ? documents->currentDocument() : nullptr);
    return document ? document->drawingTool() : nullptr;
}

VXToolController* QVNToolsController::currentToolController() const
{
    const platform::DocumentController* documents = platform::DocumentController::existingSharedDocumentController();
    const auto* document = qobject_cast<const VXDrawingDocument*>(documents ? documents->currentDocument() : nullptr);
    const VXDrawingView* view = document ? document->mainView() : nullptr;
    return view ? view->toolController() : nullptr;
}

std::shared_ptr<VXStyle> QVNToolsController::currentStyle() const
{
    return std::dynamic_pointer_cast<VXStyle>(m_currentStyleOrSymbol);
}

void QVNToolsController::setCurrentStyleOrSymbol(const ZQObjectPtr& object)
{
    const QScopedValueRollback<bool> setting(m_setting, true);
    m_currentStyleOrSymbol = object;
    if (const VXStylePtr style = std::dynamic_pointer_cast<VXStyle>(object)) {
        if (stylesAppliedPerTool()) {
            VXObjectCreationTool::setStyleForCreatedObjects(nullptr);
            if (auto* tool = qobject_cast<VXObjectCreationTool*>(currentTool()); tool && !qobject_cast<VXQSymbolTool*>(tool))
                tool->setStyle(style);
        } else {
            VXObjectCreationTool::setStyleForCreatedObjects(style);
        }
        VXStyleHistory::defaultHistory().setCurrentStyle(style);
    } else if (const VXQSymbolMasterPtr master = std::dynamic_pointer_cast<VXQSymbolMaster>(object)) {
        const VXDrawingToolPtr tool = VXToolRegistry::sharedToolRegistry().drawingToolWithName(kPlaceSymbolToolName);
        if (auto* symbolTool = qobject_cast<VXQSymbolTool*>(tool.get()))
            symbolTool->setSymbolMaster(master);
    }
    setStylePreview(object);
}

void QVNToolsController::setStylePreview(const ZQObjectPtr& object)
{
    if (m_preview)
        m_preview->showObject(object);
}

void QVNToolsController::stylePreviewAction(QObject*)
{
    if (m_preview)
        setCurrentStyleOrSymbol(m_preview->styleView()->style());
}

void QVNToolsController::synchronizeUIWithTool(VXDrawingTool* tool)
{
    if (!tool || tool->registeredName().isEmpty())
        return;
    const int tag = tagForToolName(tool->registeredName());
    ZQLog(QStringLiteral("tool changed to '%1' (tag = %2)").arg(tool->registeredName()).arg(tag));
    selectToolButtonWithTag(tag);
    if (auto* creation = qobject_cast<VXObjectCreationTool*>(tool)) {
        auto* symbolTool = qobject_cast<VXQSymbolTool*>(creation);
        if (tag == kPlaceSymbolTag && symbolTool)
            m_currentStyleOrSymbol = symbolTool->symbolMaster();
        else
            m_currentStyleOrSymbol = creation->style() ? creation->style() : VXObjectCreationTool::styleForCreatedObjects();
    } else {
        m_currentStyleOrSymbol.reset();
    }
    setStylePreview(m_currentStyleOrSymbol);
    tellDelegateOfTool(tool);
}

void QVNToolsController::tellDelegateOfTool(VXDrawingTool* tool)
{
    QObject* delegate = m_delegate;
    if (!delegate)
        return;
    const QMetaObject* meta = delegate->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.name() == "toolsControllerDidSelectTool" && method.parameterCount() == 2) {
            platform::invokeMethod(delegate, method, {QVariant::fromValue<QObject*>(this), QVariant::fromValue<QObject*>(tool)});
            return;
        }
    }
}

void QVNToolsController::selectToolButtonWithTag(int tag)
{
    if (tag == 0)
        return;
    window();
    for (QButtonGroup* group : std::as_const(m_matrices))
        for (QAbstractButton* button : group->buttons())
            static_cast<ZQStyleButton*>(button)->setState(group->id(button) == tag ? ZQStyleButtonCell::OnState
                                                                                    : ZQStyleButtonCell::OffState);
}

ZQStyleButton* QVNToolsController::toolButtonWithTag(int tag) const
{
    for (QButtonGroup* group : m_matrices)
        if (QAbstractButton* button = group->button(tag))
            return static_cast<ZQStyleButton*>(button);
    return nullptr;
}

void QVNToolsController::updateCellForTag(int tag)
{
    if (ZQStyleButton* button = toolButtonWithTag(tag))
        button->update();
}

void QVNToolsController::setEnabled(bool enabled)
{
    m_enabled = enabled;
    window();
    for (QButtonGroup* group : std::as_const(m_matrices))
        for (QAbstractButton* button : group->buttons())
            button->setEnabled(enabled);
    m_sections->setEnabled(enabled);
}

void QVNToolsController::conditionallyEnable()
{
    setEnabled(VXDrawingTool::firstResponderAbleToSetTool() != nullptr);
}

void QVNToolsController::setStylesAppliedPerTool(bool)
{
    ZQLog(QStringLiteral("[QVNToolsController setStylesAppliedPerTool] - this method is deprecated"));
}

void QVNToolsController::toolsMatrixAction(int tag)
{
    if (tag == 0) {
        selectToolButtonWithTag(tagForCurrentTool());
        return;
    }
    ZQLog(QStringLiteral("tool selected tag = %1").arg(tag));
    selectToolButtonWithTag(tag);
    setCurrentToolWithTag(tag);
}

void QVNToolsController::toolsDoubleAction(int tag)
{
    VXToolController* controller = currentToolController();
    if (!controller)
        return;
    if (tag == kZoomTag || tag == kZoomOutTag) {
        if (controller->view())
            controller->view()->zoomToActualSize(this);
    } else if (tag == kPanTag) {
        if (controller->view())
            controller->view()->zoomFitInWindow(this);
    } else {
        controller->toggleAutoRevertAction(this);
    }
    updateCellForTag(tag);
}

bool QVNToolsController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (QButtonGroup* group : std::as_const(m_matrices))
            if (auto* button = qobject_cast<QAbstractButton*>(watched); button && group->id(button) != -1) {
                toolsDoubleAction(group->id(button));
                return true;
            }
    }
    return platform::WindowController::eventFilter(watched, event);
}

// --- Notifications ----------------------------------------------------------------------------

void QVNToolsController::toolDidChange(const platform::Notification& notification)
{
    if (auto* controller = qobject_cast<VXToolController*>(notification.object()))
        synchronizeUIWithTool(controller->drawingTool());
}

void QVNToolsController::creationStyleChanged(const platform::Notification& notification)
{
    if (m_setting)
        return;
    VXStylePtr style = notification.userInfo.value(QStringLiteral("style")).value<VXStylePtr>();
    auto* tool = qobject_cast<VXObjectCreationTool*>(notification.object());
    if (!style && tool)
        style = tool->style();
    if (!style)
        style = VXObjectCreationTool::styleForCreatedObjects();
    if (!style)
        return;
    setCurrentStyleOrSymbol(style);
    platform::NotificationCenter::defaultCenter().postNotificationName(kQuorvaneToolControllerStyleChangedExternally,
                                                                      notification.object());
}

void QVNToolsController::stickyStateChanged(const platform::Notification& notification)
{
    if (notification.object() && notification.object() == currentToolController())
        updateCellForTag(tagForCurrentTool());
}

void QVNToolsController::newLibToolSelected(const platform::Notification& notification)
{
    QObject* item = notification.userInfo.value(QStringLiteral("lib_object")).value<QObject*>();
    const ZQObjectPtr represented = item ? sharedObjectFromVariant(item->property("representedObject")) : nullptr;
    if (!represented)
        return;
    if (const auto& record = LibraryServices::installed().recordUseOfItem)
        record(item);
    setCurrentStyleOrSymbol(represented);
}

void QVNToolsController::inspectorStyleChanged(const platform::Notification& notification)
{
    ZQObjectPtr style = sharedObjectFromVariant(notification.userInfo.value(QStringLiteral("style")));
    if (!style && notification.object())
        style = sharedObjectFromVariant(notification.object()->property("style"));
    if (std::dynamic_pointer_cast<VXStyle>(style))
        setCurrentStyleOrSymbol(style);
}

void QVNToolsController::windowBecameMain(const platform::Notification&)
{
    // Floats over the maps it serves.
    if (isWindowLoaded() && window()->isVisible())
        window()->raise();
    if (VXToolController* controller = currentToolController())
        synchronizeUIWithTool(controller->drawingTool());
    scheduleConditionalEnable();
}

void QVNToolsController::windowResignedMain(const platform::Notification&)
{
    scheduleConditionalEnable();
}

void QVNToolsController::scheduleConditionalEnable()
{
    platform::RunLoop::cancelPreviousPerformRequests(this, "conditionallyEnable");
    platform::RunLoop::performAfterDelay(this, [this] { conditionallyEnable(); }, kEnableDelayMilliseconds,
                                         "conditionallyEnable");
}

void QVNToolsController::zqStyleButtonCellWillDrawBackgroundInFrame(ZQStyleButtonCell& cell, const QRectF&)
{
    const VXToolController* controller = currentToolController();
    const bool sticky = controller && !controller->automaticallyRevertsToSelectionTool();
    cell.setOnStateColour(sticky ? stickyButtonColour() : QApplication::palette().color(QPalette::Highlight));
}
