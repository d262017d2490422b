#include "app/application/ModalWindowEventFilter.h"

#include "platform/ui/Application.h"

#include <QEvent>
#include <QWidget>

namespace {

bool isInputEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

bool isMouseDown(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
}

} // namespace

ModalWindowEventFilter::ModalWindowEventFilter(QWidget* modalWindow)
    : m_modalWindow(modalWindow ? modalWindow->window() : nullptr)
    , m_rejectionHandler(&platform::Application::beep)
{
}

bool ModalWindowEventFilter::belongsToModalWindow(const QWidget* widget) const
{
    for (const QWidget* window = widget ? widget->window() : nullptr; window;
         window = window->parentWidget() ? window->parentWidget()->window() : nullptr)
        if (window == m_modalWindow)
            return true;
    return false;
}

bool ModalWindowEventFilter::eventFilter(QObject* watched, QEvent* event)
{
    // Window-system objects hand their input on to widgets, where it is judged.
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!m_modalWindow || !widget || !isInputEvent(event->type()) || belongsToModalWindow(widget))
        return false;
    if (isMouseDown(event->type()) && m_rejectionHandler)
        m_rejectionHandler();
    return true;
}
