#include "inspectors/pseudo/VLTM_ZArrangerViewController.h"

#include "app/document/ZQQuorvaneDocument.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include "platform/foundation/MetaInvoke.h"

#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct ConvertCommand {
    const char* title;
    QByteArray action;
};

const ConvertCommand kConvertCommands[] = {
    {QT_TRANSLATE_NOOP("VLTM_ZArrangerViewController", "Convert To Path"), "convertToPath"},
    {QT_TRANSLATE_NOOP("VLTM_ZArrangerViewController", "Convert To Shape"), "convertToShape"},
    {QT_TRANSLATE_NOOP("VLTM_ZArrangerViewController", "Convert To Shape Group"), "convertToShapeGroup"},
    {QT_TRANSLATE_NOOP("VLTM_ZArrangerViewController", "Convert To Text Shape"), "convertToTextShape"},
    {QT_TRANSLATE_NOOP("VLTM_ZArrangerViewController", "Convert To Text Path"), "convertToTextPath"},
    {QT_TRANSLATE_NOOP("VLTM_ZArrangerViewController", "Convert To Connectable Track"), "convertToTrack"},
};

} // namespace

QWidget* VLTM_ZArrangerViewController::loadView()
{
    auto* pane = new QWidget;
    pane->setObjectName(nibName());
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(makeHeading(tr("Arrange")));
    m_stackingButtons.clear();
    layout->addWidget(makeButtonRow({{tr("Move To Front"), [this] { moveToFrontAction(); }, tr("Front")},
                                     {tr("Move To Back"), [this] { moveToBackAction(); }, tr("Back")},
                                     {tr("Move Forwards"), [this] { moveForwardsAction(); }, tr("Forwards")},
                                     {tr("Move Backwards"), [this] { moveBackwardsAction(); }, tr("Backwards")}},
                                    &m_stackingButtons));
    layout->addWidget(makeButtonRow({{tr("Flip Horizontally"), [this] { flipHorizontalAction(); }, tr("Flip ↔")},
                                     {tr("Flip Vertically"), [this] { flipVerticalAction(); }, tr("Flip ↕")}}));
    layout->addWidget(makeButtonRow({{tr("Duplicate Once"), [this] { singleDuplicateAction(); }, tr("Duplicate")},
                                     {tr("Linear Duplicate"), [this] { linearDuplicateAction(); }, tr("Linear…")},
                                     {tr("Polar Duplicate"), [this] { polarDuplicateAction(); }, tr("Polar…")}}));
    m_convertPopUpButton = new QToolButton(pane);
    m_convertPopUpButton->setText(tr("Convert"));
    m_convertPopUpButton->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(m_convertPopUpButton);
    for (const ConvertCommand& command : kConvertCommands) {
        QAction* item = menu->addAction(tr(command.title));
        item->setData(command.action);
        const QByteArray action = command.action;
        connect(item, &QAction::triggered, this, [this, action] { platform::invokeSelector(this, action); });
    }
    connect(menu, &QMenu::aboutToShow, this, [this] { enableConvertMenu(); });
    m_convertPopUpButton->setMenu(menu);
    layout->addWidget(m_convertPopUpButton);
    return pane;
}

QList<QAbstractButton*> VLTM_ZArrangerViewController::stackingButtons() const
{
    QList<QAbstractButton*> buttons;
    for (const QPointer<QAbstractButton>& button : m_stackingButtons)
        buttons.append(button);
    return buttons;
}

void VLTM_ZArrangerViewController::viewDidAppear()
{
    const bool someUnselected = countOfSelectedObjects() < m_totalObjectCount;
    for (const QPointer<QAbstractButton>& button : std::as_const(m_stackingButtons))
        button->setEnabled(someUnselected);
}

void VLTM_ZArrangerViewController::enableConvertMenu()
{
    // Each conversion is offered when something along the chain takes it.
    for (QAction* item : m_convertPopUpButton->menu()->actions()) {
        const QByteArray action = item->data().toByteArray();
        QObject* target = drawingView() ? static_cast<QObject*>(drawingView()) : platform::ResponderChain::firstResponderTo(action);
        item->setEnabled(target && platform::ResponderChain::respondsToAction(target, action));
    }
}

void VLTM_ZArrangerViewController::arrange(StackingMove move)
{
    VXObjectDrawingLayer* layer = currentLayer();
    if (!layer)
        return;
    QList<VXDrawableObjectPtr> objects = layer->selectedAvailableObjects();
    if (objects.isEmpty())
        return;
    const int top = layer->countOfObjects() - 1;
    QString name;
    switch (move) {
    case StackingMove::ToFront:
        name = tr("Move To Front");
        for (const VXDrawableObjectPtr& object : std::as_const(objects))
            layer->moveObjectToIndex(object.get(), top);
        break;
    case StackingMove::ToBack: {
        name = tr("Move To Back");
        int next = 0;
        for (const VXDrawableObjectPtr& object : std::as_const(objects))
            layer->moveObjectToIndex(object.get(), next++);
        break;
    }
    case StackingMove::Forwards: {
        name = tr("Move Forwards");
        int ceiling = top;
        for (auto object = objects.crbegin(); object != objects.crend(); ++object) {
            const int index = layer->indexOfObject(object->get());
            if (index < ceiling)
                layer->moveObjectToIndex(object->get(), index + 1);
            else
                ceiling = index - 1;
        }
        break;
    }
    case StackingMove::Backwards: {
        name = tr("Move Backwards");
        int floor = 0;
        for (const VXDrawableObjectPtr& object : std::as_const(objects)) {
            const int index = layer->indexOfObject(object.get());
            if (index > floor)
                layer->moveObjectToIndex(object.get(), index - 1);
            else
                floor = index + 1;
        }
        break;
    }
    }
    if (ZQUndoManager* undo = layer->undoManager())
        undo->setActionName(name);
}

VXDrawingView* VLTM_ZArrangerViewController::drawingView() const
{
    auto* document = qobject_cast<ZQQuorvaneDocument*>(platform::DocumentController::sharedDocumentController()->currentDocument());
    return document ? document->mainView() : nullptr;
}

void VLTM_ZArrangerViewController::sendToDrawingView(const QString& title, const QByteArray& action)
{
    VXDrawingView* view = drawingView();
    if (!view)
        return;
    setTitle(title);
    platform::Application::sendActionToFrom(action, view, this);
}

void VLTM_ZArrangerViewController::flipHorizontalAction(QObject*)
{
    sendToDrawingView(tr("Flip Horizontally"), "toggleHorizontalFlip");
}

void VLTM_ZArrangerViewController::flipVerticalAction(QObject*)
{
    sendToDrawingView(tr("Flip Vertically"), "toggleVerticalFlip");
}

void VLTM_ZArrangerViewController::singleDuplicateAction(QObject*)
{
    sendToDrawingView(tr("Duplicate Once"), "duplicate");
}

void VLTM_ZArrangerViewController::linearDuplicateAction(QObject*)
{
    if (QObject* target = platform::ResponderChain::firstResponderTo("linearDuplicate"))
        platform::ResponderChain::performAction(target, "linearDuplicate", this);
}

void VLTM_ZArrangerViewController::polarDuplicateAction(QObject*)
{
    if (QObject* target = platform::ResponderChain::firstResponderTo("polarDuplicate"))
        platform::ResponderChain::performAction(target, "polarDuplicate", this);
}

void VLTM_ZArrangerViewController::convertToPath(QObject*)
{
    sendToDrawingView(tr("Convert To Path"), "convertToPath");
}

void VLTM_ZArrangerViewController::convertToShape(QObject*)
{
    sendToDrawingView(tr("Convert To Shape"), "convertToShape");
}

void VLTM_ZArrangerViewController::convertToShapeGroup(QObject*)
{
    sendToDrawingView(tr("Convert To Shape Group"), "convertToShapeGroup");
}

void VLTM_ZArrangerViewController::convertToTextShape(QObject*)
{
    sendToDrawingView(tr("Convert To Text Shape"), "convertToTextShape");
}

void VLTM_ZArrangerViewController::convertToTextPath(QObject*)
{
    sendToDrawingView(tr("Convert To Text Path"), "convertToTextPath");
}

void VLTM_ZArrangerViewController::convertToTrack(QObject*)
{
    sendToDrawingView(tr("Convert To Connectable Track"), "convertToTrack");
}
