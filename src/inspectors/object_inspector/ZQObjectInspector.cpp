#include "inspectors/object_inspector/ZQObjectInspector.h"

#include "inspectors/attributes/VXQAttributeController.h"
#include "inspectors/object_inspector/VXDrawableController.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "symbols/labels/VXQTextLabel.h"
#include "symbols/labels/VXQTextLabelContainer.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

namespace {

enum MainPage { kNoSelectionPage = 0, kObjectsPage = 1 };

QList<ZQObjectPtr> selectedLabelsOf(QObject* sender)
{
    QList<ZQObjectPtr> labels;
    if (const auto* container = dynamic_cast<const VXQTextLabelContainer*>(sender)) {
        for (const VXQTextLabelPtr& label : container->selectedTextLabels())
            labels.append(label);
    }
    return labels;
}

} // namespace

ZQObjectInspector::ZQObjectInspector()
    : m_generalController(std::make_unique<VXDrawableController>())
    , m_attributeController(VXQAttributeController::make())
{
    initWithWindowNibName(QStringLiteral("ObjectInspector"));
    m_attributeController->setDataSource(this);
    observeSubSelectionNotification(kVXQTextLabelSelectionDidChange, &selectedLabelsOf);
}

ZQObjectInspector::~ZQObjectInspector()
{
    m_attributeController->setDataSource(nullptr);
    m_selectedObjects.clear();
}

ZQObjectInspector* ZQObjectInspector::sharedObjectInspector()
{
    static ZQObjectInspector* shared = new ZQObjectInspector;
    return shared;
}

void ZQObjectInspector::showObjectInspectorWithAttributes()
{
    ZQObjectInspector* inspector = sharedObjectInspector();
    inspector->showObjectInspector();
    inspector->switchToTab(kAttributesTab);
}

void ZQObjectInspector::showObjectInspector(QObject* sender)
{
    showWindow(sender);
    // Changes made while hidden were ignored.
    setNeedsRedisplay();
}

// --- Window --------------------------------------------------------------------------------------------

QWidget* ZQObjectInspector::loadWindow()
{
    auto* panel = new QWidget(nullptr, Qt::Tool);
    panel->setObjectName(QStringLiteral("ObjectInspector"));
    panel->setWindowTitle(tr("Object Inspector"));
    // It floats over the documents without taking the keyboard from them until clicked.
    panel->setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(panel);
    m_selectionInfoTextField = new QLabel(panel);
    m_multiInfoItemCountField = new QLabel(panel);
    auto* info = new QHBoxLayout;
    info->addWidget(m_selectionInfoTextField, 1);
    info->addWidget(m_multiInfoItemCountField);
    layout->addLayout(info);

    m_mainTabView = new QStackedWidget(panel);
    auto* empty = new QLabel(tr("No Selection"));
    empty->setAlignment(Qt::AlignCenter);
    m_mainTabView->insertWidget(kNoSelectionPage, empty);
    auto* objects = new QWidget;
    auto* objectLayout = new QVBoxLayout(objects);
    objectLayout->setContentsMargins(0, 0, 0, 0);
    m_objectTabSwitch = new QTabBar(objects);
    m_objectTabSwitch->addTab(tr("General"));
    m_objectTabSwitch->addTab(tr("Attributes"));
    objectLayout->addWidget(m_objectTabSwitch);
    m_objectTabView = new QStackedWidget(objects);
    m_objectTabView->addWidget(m_generalController->view());
    m_objectTabView->addWidget(m_attributeController->view());
    objectLayout->addWidget(m_objectTabView, 1);
    connect(m_objectTabSwitch, &QTabBar::currentChanged, this, [this](int index) { switchToTab(index + 1); });
    m_mainTabView->insertWidget(kObjectsPage, objects);
    layout->addWidget(m_mainTabView, 1);
    m_generalController->setDelegate(this);
    panel->resize(320, 420);
    return panel;
}

void ZQObjectInspector::windowDidLoad()
{
    m_mainTabView->setCurrentIndex(kNoSelectionPage);
    window()->restoreGeometry(platform::UserDefaults::standardUserDefaults()->dataForKey(kFrameAutosaveName));
}

bool ZQObjectInspector::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window() && (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Hide))
        saveFrame();
    return VXVantrixInspectorBase::eventFilter(watched, event);
}

void ZQObjectInspector::saveFrame()
{
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(window()->saveGeometry(), kFrameAutosaveName);
}

void ZQObjectInspector::switchToTab(int tag)
{
    window();
    const int page = tag - 1;
    if (page < 0 || page >= m_objectTabView->count())
        return;
    m_objectTabView->setCurrentIndex(page);
    if (m_objectTabSwitch->currentIndex() != page)
        m_objectTabSwitch->setCurrentIndex(page);
}

int ZQObjectInspector::currentTab()
{
    window();
    return m_objectTabView->currentIndex() + 1;
}

// --- The selection ---------------------------------------------------------------------------------------

void ZQObjectInspector::setSelection(const QList<ZQObjectPtr>& selection)
{
    window();
    m_selectedObjects = selection;
    const qsizetype count = selection.size();
    m_selectionInfoTextField->setText(count == 1 ? tr("One item in selection") : tr("%1 items in selection").arg(count));
    m_multiInfoItemCountField->setText(QString::number(count));
    try {
        m_generalController->setContent(selection);
        m_attributeController->reloadContent();
    } catch (const std::exception& exception) {
        ZQLog(QStringLiteral("an exception occurred when changing the Object Inspector content (ignored): %1")
                  .arg(QString::fromUtf8(exception.what())));
    }
}

bool ZQObjectInspector::isKnownObject(const ZQObject* object) const
{
    return std::any_of(m_selectedObjects.begin(), m_selectedObjects.end(),
                       [object](const ZQObjectPtr& selected) { return selected.get() == object; });
}

QString ZQObjectInspector::selectionInfoText()
{
    window();
    return m_selectionInfoTextField->text();
}

QString ZQObjectInspector::itemCountText()
{
    window();
    return m_multiInfoItemCountField->text();
}

bool ZQObjectInspector::showsObjectTabs()
{
    window();
    return m_mainTabView->currentIndex() == kObjectsPage;
}

void ZQObjectInspector::redisplayContentForSelection(const QList<ZQObjectPtr>& selection)
{
    if (!isWindowLoaded() || !window()->isVisible())
        return;
    setSelection(selection);
    m_mainTabView->setCurrentIndex(selection.isEmpty() ? kNoSelectionPage : kObjectsPage);
}

void ZQObjectInspector::redisplayContentForSubSelectionOfObject(const QList<ZQObjectPtr>& subSelection,
                                                                const ZQObjectPtr& object)
{
    if (!isWindowLoaded() || !window()->isVisible())
        return;
    setSelection(subSelection.isEmpty() ? QList<ZQObjectPtr>{object} : subSelection);
    m_mainTabView->setCurrentIndex(kObjectsPage);
}

QList<ZQObjectPtr> ZQObjectInspector::selectedContentForObjectController(VLTMGenericObjectController*)
{
    return m_selectedObjects;
}

// --- Undo ---------------------------------------------------------------------------------------------------

ZQUndoManager* ZQObjectInspector::undoManager() const
{
    const VXDrawingDocument* document = currentDocument();
    return document ? document->undoManager() : nullptr;
}

void ZQObjectInspector::undo(QObject*)
{
    if (ZQUndoManager* manager = undoManager(); manager && manager->canUndo())
        manager->undo();
}

void ZQObjectInspector::redo(QObject*)
{
    if (ZQUndoManager* manager = undoManager(); manager && manager->canRedo())
        manager->redo();
}

bool ZQObjectInspector::validateMenuItem(QObject* item)
{
    auto* menuItem = qobject_cast<platform::MenuItem*>(item);
    if (!menuItem)
        return true;
    ZQUndoManager* manager = undoManager();
    if (menuItem->action() == "undo") {
        menuItem->setTitle(manager ? manager->undoMenuItemTitle() : tr("Undo"));
        return manager && manager->canUndo();
    }
    if (menuItem->action() == "redo") {
        menuItem->setTitle(manager ? manager->redoMenuItemTitle() : tr("Redo"));
        return manager && manager->canRedo();
    }
    return respondsToSelector(menuItem->action());
}
