#include "inspectors/text/VLTMTextController.h"

#include "inspectors/InspectedObjects.h"
#include "inspectors/text/TextEditingFontTarget.h"
#include "inspectors/text/VLTMFontManagerTrampoline.h"
#include "inspectors/text/VLTM_VXTextShapeController.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/inspector/SameObjects.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "symbols/labels/VXQTextLabel.h"
#include "symbols/labels/VXQTextLabelContainer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

VLTMTextController::VLTMTextController()
    : m_textShapeController(std::make_shared<VLTM_VXTextShapeController>())
{
    initWithNibName(kTabIdentifier);
    setTitle(tr("Text"));
    setTabIcon(kTabIdentifier); // artwork named like the tab
    m_textShapeController->setDataSource(this);
}

VLTMTextController::~VLTMTextController()
{
    releaseFontMessages();
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    m_textShapeController->setDataSource(nullptr);
}

std::shared_ptr<VLTMTextController> VLTMTextController::make()
{
    return std::make_shared<VLTMTextController>();
}

QWidget* VLTMTextController::loadView()
{
    auto* tab = new QWidget;
    tab->setObjectName(kTabIdentifier);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* header = new QHBoxLayout;
    header->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(tr("Text")), tab));
    header->addStretch();
    auto* help = new QToolButton(tab);
    help->setText(QStringLiteral("?"));
    help->setToolTip(tr("Help"));
    connect(help, &QToolButton::clicked, this, [this] { textControllerHelpAction(); });
    header->addWidget(help);
    layout->addLayout(header);
    auto* scroller = new QScrollArea(tab);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A click on the pane must not take the focus from text being edited in place: that ends the edit.
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setWidget(m_textShapeController->view());
    layout->addWidget(scroller, 1);

    if (!m_trampoline) {
        m_trampoline = VLTMFontManagerTrampoline::sharedFontManagerTrampolineObject();
        platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
        centre.addObserver(this, kVXDrawingViewDidBeginTextEditing, nullptr,
                           [this](const platform::Notification& notification) { textViewStartedEditing(notification); });
        centre.addObserver(this, kVXDrawingViewDidEndTextEditing, nullptr,
                           [this](const platform::Notification& notification) { textViewEndedEditing(notification); });
    }
    return tab;
}

// --- The drawing ------------------------------------------------------------------------------------

void VLTMTextController::stopObservingDrawing()
{
    platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
    centre.removeObserver(this, kVXDrawingActiveLayerDidChange, m_drawing);
    centre.removeObserver(this, kVXLayerSelectionDidChange, nullptr);
    centre.removeObserver(this, kVXQTextLabelSelectionDidChange, nullptr);
}

void VLTMTextController::setDrawing(VXDrawing* drawing)
{
    if (m_drawing)
        stopObservingDrawing();
    m_drawing = drawing;
    if (drawing) {
        platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
        centre.addObserver(this, kVXDrawingActiveLayerDidChange, drawing,
                           [this](const platform::Notification& notification) { activeLayerChanged(notification); });
        centre.addObserver(this, kVXLayerSelectionDidChange, nullptr,
                           [this](const platform::Notification& notification) { selectionChanged(notification); });
        centre.addObserver(this, kVXQTextLabelSelectionDidChange, nullptr,
                           [this](const platform::Notification& notification) { textLabelSelectionChanged(notification); });
    }
    reloadPane(true);
}

// --- The selection ---------------------------------------------------------------------------------

QList<ZQObjectPtr> VLTMTextController::selection()
{
    if (m_textShapeController->fontPanelMode())
        return {m_trampoline};
    auto* layer = m_drawing ? m_drawing->activeLayerOfClass<VXObjectDrawingLayer>() : nullptr;
    if (!layer)
        return {};
    if (!m_selectionCache) {
        const QList<VXDrawableObjectPtr> selected = layer->selection();
        QList<ZQObjectPtr> labels;
        inspectors::InterfaceCast<VXQTextLabelContainer> asContainer;
        for (const VXDrawableObjectPtr& object : selected) {
            if (const auto* container = asContainer(*object))
                labels.append(inspectors::asObjects(container->selectedTextLabels()));
        }
        m_selectionCache = labels.isEmpty() ? layer->selectionAsObjects() : labels;
    }
    return *m_selectionCache;
}

QList<ZQObjectPtr> VLTMTextController::selectedContentForObjectController(VLTMGenericObjectController*)
{
    return selection();
}

ZQUndoManager* VLTMTextController::undoManager() const
{
    return m_drawing ? m_drawing->undoManager() : nullptr;
}

void VLTMTextController::reloadPane(bool dropCache)
{
    if (dropCache)
        m_selectionCache.reset();
    m_textShapeController->reloadContent();
}

// --- Notifications ---------------------------------------------------------------------------------

void VLTMTextController::selectionChanged(const platform::Notification& notification)
{
    auto* layer = qobject_cast<VXObjectDrawingLayer*>(notification.object());
    if (!layer || !m_drawing || layer->drawing() != m_drawing)
        return;
    if (m_selectionCache && platform::sameObjects(layer->selectionAsObjects(), *m_selectionCache))
        return;
    reloadPane(true);
}

void VLTMTextController::textLabelSelectionChanged(const platform::Notification& notification)
{
    auto* container = dynamic_cast<VXQTextLabelContainer*>(notification.object());
    const auto* drawable = qobject_cast<VXDrawableObject*>(notification.object());
    if (!container || !drawable || !m_drawing || drawable->drawing() != m_drawing)
        return;
    if (m_selectionCache && platform::sameObjects(inspectors::asObjects(container->selectedTextLabels()), *m_selectionCache))
        return;
    reloadPane(true);
}

void VLTMTextController::activeLayerChanged(const platform::Notification&)
{
    reloadPane(false);
}

bool VLTMTextController::isViewOfDrawing(QObject* sender) const
{
    const auto* view = qobject_cast<VXDrawingView*>(sender);
    return view && m_drawing && view->drawing() == m_drawing;
}

void VLTMTextController::textViewStartedEditing(const platform::Notification& notification)
{
    if (m_textShapeController->fontPanelMode() || !isViewOfDrawing(notification.object()))
        return;
    ZQLog(QStringLiteral("beginning Font Panel mode"));
    // An editor of runs takes the font messages itself, for the characters selected in it.
    const QTextEdit* editor = qobject_cast<VXDrawingView*>(notification.object())->textEditor();
    if (!platform::ResponderChain::respondsToAction(editor, "changeFont"))
        takeFontMessagesFor(selection());
    m_textShapeController->setFontPanelMode(true);
    reloadPane(true);
}

void VLTMTextController::textViewEndedEditing(const platform::Notification& notification)
{
    if (!m_textShapeController->fontPanelMode() || !isViewOfDrawing(notification.object()))
        return;
    ZQLog(QStringLiteral("ending Font Panel mode"));
    releaseFontMessages();
    m_textShapeController->setFontPanelMode(false);
    reloadPane(true);
}

VLTMFontManagerTrampoline* VLTMTextController::trampoline() const
{
    return qobject_cast<VLTMFontManagerTrampoline*>(m_trampoline.get());
}

void VLTMTextController::takeFontMessagesFor(const QList<ZQObjectPtr>& edited)
{
    VLTMFontManagerTrampoline* manager = trampoline();
    if (!manager)
        return;
    m_editingTarget = std::make_unique<TextEditingFontTarget>(edited);
    manager->setTarget(m_editingTarget.get());
    const QList<VXTextAdornment*> adornments = m_editingTarget->textAdornments();
    if (adornments.isEmpty())
        return;
    const bool multiple = adornments.size() > 1;
    manager->setSelectedAttributesIsMultiple(adornments.first()->textAttributes(), multiple);
    manager->setSelectedFontIsMultiple(adornments.first()->font(), multiple);
}

void VLTMTextController::releaseFontMessages()
{
    VLTMFontManagerTrampoline* manager = trampoline();
    if (manager && m_editingTarget && manager->target() == m_editingTarget.get())
        manager->setTarget(nullptr);
    m_editingTarget.reset();
}

void VLTMTextController::textControllerHelpAction(QObject*)
{
    inspectors::showHelpForIdentifier(QStringLiteral("the-text-tab"));
}
