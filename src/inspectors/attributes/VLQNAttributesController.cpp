#include "inspectors/attributes/VLQNAttributesController.h"

#include "app/sidebar/TabControllerRegistry.h"
#include "inspectors/InspectedObjects.h"
#include "inspectors/attributes/VXQAttributeController.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QToolButton>
#include <QVBoxLayout>

const QString VLQNAttributesController::kTabIdentifier = kVLQNAttributesController;

VLQNAttributesController::VLQNAttributesController()
    : m_attributeController(VXQAttributeController::make())
{
    m_attributeController->setController(this);
    m_attributeController->setDataSource(this);
}

VLQNAttributesController::~VLQNAttributesController()
{
    // The view goes after this part of the controller: a name field losing focus as it is
    // hidden must not call back into it.
    if (m_nameField) {
        m_nameField->removeEventFilter(this);
        m_nameField->disconnect(this);
    }
    setDrawing(nullptr);
    m_attributeController->setDataSource(nullptr);
    m_attributeController->setController(nullptr);
}

std::shared_ptr<VLQNAttributesController> VLQNAttributesController::make()
{
    auto tab = std::make_shared<VLQNAttributesController>();
    tab->initWithNibName(kTabIdentifier);
    tab->setTitle(tr("Attributes"));
    tab->setTabTooltip(tr("Attributes"));
    tab->setTabIcon(kTabIdentifier);
    return tab;
}

// --- The drawing and its selection ----------------------------------------------------------------

void VLQNAttributesController::setDrawing(VXDrawing* drawing)
{
    platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
    if (m_drawing) {
        centre.removeObserver(this, kVXLayerSelectionDidChange, nullptr);
        centre.removeObserver(this, kVXDrawingActiveLayerDidChange, nullptr);
    }
    m_drawing = drawing;
    if (!drawing) {
        m_layer = nullptr;
        m_selectedObjects.emplace();
        m_attributeController->unloadContent();
        return;
    }
    centre.addObserver(this, kVXLayerSelectionDidChange, nullptr,
                       [this](const platform::Notification& notification) { selectionChanged(notification); });
    centre.addObserver(this, kVXDrawingActiveLayerDidChange, nullptr,
                       [this](const platform::Notification& notification) { activeLayerChanged(notification); });
    setCurrentDrawingLayer(drawing->activeLayer());
}

bool VLQNAttributesController::belongsToDrawing(const VXLayer* layer) const
{
    return layer && m_drawing && layer->drawing() == m_drawing;
}

void VLQNAttributesController::selectionChanged(const platform::Notification& notification)
{
    auto* layer = qobject_cast<VXObjectDrawingLayer*>(notification.object());
    if (belongsToDrawing(layer))
        setCurrentDrawingLayer(layer);
}

void VLQNAttributesController::activeLayerChanged(const platform::Notification& notification)
{
    if (m_drawing && notification.object() == m_drawing)
        setCurrentDrawingLayer(m_drawing->activeLayer());
}

void VLQNAttributesController::setCurrentDrawingLayer(VXLayer* layer)
{
    auto* objectLayer = qobject_cast<VXObjectDrawingLayer*>(layer);
    m_layer = objectLayer;
    m_selectedObjects.reset();
    if (!objectLayer) {
        m_selectedObjects.emplace();
        setHeader({}, {});
    } else if (const int count = objectLayer->countOfSelection(); count == 1) {
        const VXDrawableObjectPtr object = objectLayer->selection().constFirst();
        const QString name = object->name();
        setHeader(name.isEmpty() ? QStringLiteral(" ") : name, object->displayName());
    } else if (count == 0) {
        setHeader(objectLayer->layerName(), tr("Mapping Layer"));
    } else {
        setHeader(tr("Multiple Objects"), QStringLiteral("%1 %2").arg(count).arg(tr("items in selection")));
    }
    reloadEditor();
}

const QList<ZQObjectPtr>& VLQNAttributesController::selectedObjects() const
{
    if (!m_selectedObjects) {
        if (!m_layer)
            m_selectedObjects.emplace();
        else if (m_layer->countOfSelection() == 0)
            m_selectedObjects = QList<ZQObjectPtr>{m_layer->shared_from_this()};
        else
            m_selectedObjects = m_layer->selectionAsObjects();
    }
    return *m_selectedObjects;
}

void VLQNAttributesController::reloadEditor()
{
    m_attributeController->invalidate();
    m_attributeController->reloadContent();
}

QList<ZQObjectPtr> VLQNAttributesController::selectedContentForObjectController(VLTMGenericObjectController*)
{
    return selectedObjects();
}

ZQUndoManager* VLQNAttributesController::undoManager() const
{
    return m_drawing ? m_drawing->undoManager() : nullptr;
}

// --- Header ------------------------------------------------------------------------------------------

void VLQNAttributesController::setHeader(const QString& name, const QString& info)
{
    setNameString(name);
    infoField()->setText(info);
}

void VLQNAttributesController::setNameString(const QString& name)
{
    nameField()->setText(name);
}

QString VLQNAttributesController::nameString() const
{
    return m_nameField ? m_nameField->text() : QString();
}

QString VLQNAttributesController::infoString() const
{
    return m_infoField ? m_infoField->text() : QString();
}

void VLQNAttributesController::attributesEditorHelp(QObject*)
{
    inspectors::showHelpForIdentifier(kHelpAnchor);
}

QWidget* VLQNAttributesController::loadView()
{
    // Building the editor's view shows the selection, which writes the header built just above.
    const QScopedValueRollback loading(m_loadingView, true);
    auto* tab = new QWidget;
    tab->setObjectName(kTabIdentifier);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* header = new QGridLayout;
    m_nameField = new QLineEdit(tab);
    m_nameField->setReadOnly(true);
    m_nameField->setFrame(false);
    QFont bold = m_nameField->font();
    bold.setBold(true);
    m_nameField->setFont(bold);
    m_nameField->installEventFilter(this);
    connect(m_nameField, &QLineEdit::returnPressed, this, [this] { nameFieldAction(m_nameField); });
    connect(m_nameField, &QLineEdit::editingFinished, this, [this] { setRenamingMode(false); });
    header->addWidget(m_nameField, 0, 0);
    auto* help = new QToolButton(tab);
    help->setText(QStringLiteral("?"));
    help->setToolTip(tr("Help"));
    connect(help, &QToolButton::clicked, this, [this] { attributesEditorHelp(); });
    header->addWidget(help, 0, 1);
    m_infoField = new QLabel(tab);
    header->addWidget(m_infoField, 1, 0, 1, 2);
    layout->addLayout(header);
    layout->addWidget(m_attributeController->view(), 1);
    return tab;
}

QLineEdit* VLQNAttributesController::nameField()
{
    if (!m_loadingView)
        view();
    return m_nameField;
}

QLabel* VLQNAttributesController::infoField()
{
    if (!m_loadingView)
        view();
    return m_infoField;
}

bool VLQNAttributesController::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: the field may be half destroyed, and its guarded pointer casts it.
    if (event->type() == QEvent::MouseButtonDblClick && watched == m_nameField && !m_renamingModeActive) {
        handleNameDoubleClick();
        return true;
    }
    return VLTMTabContentViewController::eventFilter(watched, event);
}

// --- Renaming ------------------------------------------------------------------------------------------

bool VLQNAttributesController::canRename()
{
    return inspectors::canRenameObjects(m_attributeController->content());
}

void VLQNAttributesController::setRenamingMode(bool active)
{
    if (active == m_renamingModeActive)
        return;
    if (active && !canRename())
        return;
    inspectors::setNameFieldEditing(*nameField(), active);
    m_renamingModeActive = active;
}

void VLQNAttributesController::handleNameDoubleClick()
{
    setRenamingMode(true);
}

void VLQNAttributesController::nameFieldAction(QObject*)
{
    if (!m_renamingModeActive)
        return;
    const QString name = nameField()->text();
    if (canRename() && !name.isEmpty())
        static_cast<VXDrawableObject*>(m_attributeController->content().first().get())->assignUserNameWithFlag(name, true);
    setRenamingMode(false);
}
