#include "widgets/buttons/ZQAugmentedButton.h"

#include "platform/ui/ModifierKeys.h"
#include "platform/ui/ViewController.h"

#include <QKeyEvent>
#include <QMouseEvent>

using platform::Popover;

ZQAugmentedButton::ZQAugmentedButton(QWidget* parent)
    : QPushButton(parent)
{
}

ZQAugmentedButtonDelegate* ZQAugmentedButton::delegate() const
{
    // A QObject delegate that died must not be called.
    return m_delegateIsObject && m_delegateObject.isNull() ? nullptr : m_delegate;
}

void ZQAugmentedButton::setDelegate(ZQAugmentedButtonDelegate* delegate)
{
    m_delegate = delegate;
    m_delegateObject = dynamic_cast<QObject*>(delegate);
    m_delegateIsObject = m_delegateObject != nullptr;
}

Popover* ZQAugmentedButton::popover()
{
    if (!m_popover) {
        if (ZQAugmentedButtonDelegate* source = delegate())
            m_popover = source->popoverForAugmentedButton(this);
    }
    return m_popover;
}

void ZQAugmentedButton::prepareAndShowPopover()
{
    const QPointer<Popover> shown = popover();
    if (!shown)
        return;
    shown->setBehavior(Popover::TransientBehavior);
    if (auto* receiver = dynamic_cast<ZQPopoverControlsReceiver*>(shown->contentViewController().get())) {
        receiver->setControlsAction(m_popoverAction);
        receiver->setTarget(m_popoverTarget);
    }
    if (ZQAugmentedButtonDelegate* told = delegate())
        told->augmentedButtonWillShowPopover(this);
    if (shown)
        shown->showRelativeToRectOfViewPreferredEdge(rect(), this, m_preferredEdge);
}

void ZQAugmentedButton::mousePressEvent(QMouseEvent* event)
{
    if (platform::isContextClick(event->button(), event->modifiers())) {
        event->accept();
        prepareAndShowPopover();
        return;
    }
    QPushButton::mousePressEvent(event);
}

void ZQAugmentedButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Menu) {
        prepareAndShowPopover();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}
