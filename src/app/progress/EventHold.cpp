#include "app/progress/EventHold.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <typeinfo>

EventHold::EventHold(QWidget* window)
    : ModalWindowEventFilter(window)
{
}

EventHold::~EventHold()
{
    for (HeldEvent& held : m_held) {
        if (held.receiver)
            QCoreApplication::postEvent(held.receiver, held.event.release());
    }
}

void EventHold::deliverOnlyToWindow()
{
    QCoreApplication::instance()->installEventFilter(this);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    QCoreApplication::instance()->removeEventFilter(this);
}

bool EventHold::belongsToWindow(QObject* receiver) const
{
    if (receiver->isWidgetType())
        return belongsToModalWindow(static_cast<QWidget*>(receiver));
    // A widget window's own window-system object gets its expose and resize events first.
    if (const auto* window = qobject_cast<QWindow*>(receiver)) {
        for (QWidget* topLevel : QApplication::topLevelWidgets()) {
            if (topLevel->windowHandle() == window)
                return belongsToModalWindow(topLevel);
        }
    }
    return false;
}

bool EventHold::eventFilter(QObject* watched, QEvent* event)
{
    if (belongsToWindow(watched))
        return false;
    if (event->type() == QEvent::Timer)
        return true;
    std::unique_ptr<QEvent> copy(event->clone());
    if (typeid(*copy) != typeid(*event))
        return false;
    m_held.push_back({watched, std::move(copy)});
    return true;
}
