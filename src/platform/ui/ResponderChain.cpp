#include "platform/ui/ResponderChain.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQObject.h"
#include "platform/ui/Application.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/WindowNotifications.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSet>
#include <QWidget>
#include <algorithm>
#include <utility>

namespace platform {

namespace {

bool isMenu(const QObject* object)
{
    return qobject_cast<const QMenuBar*>(object) || qobject_cast<const QMenu*>(object);
}

// Remembers the last active ordinary window, which stays the main window while panels,
// sheets and dialogs are active, and tells when another one takes its place or it hides.
class WindowActivationTracker : public QObject {
public:
    static WindowActivationTracker& instance()
    {
        static auto* tracker = new WindowActivationTracker;
        return *tracker;
    }

    void install()
    {
        if (m_installed || !qApp)
            return;
        m_installed = true;
        qApp->installEventFilter(this);
        note(QApplication::activeWindow());
        if (QWidget* focus = QApplication::focusWidget(); focus && !isMenu(focus))
            m_lastFocus.insert(focus->window(), focus);
    }

    // What last had the focus in `window` other than its menus, which take the keyboard for
    // a while (Alt, or Escape out of an open menu) and then hand it back.
    QWidget* lastFocusBesideMenus(const QWidget* window) const
    {
        const QPointer<QWidget> widget = m_lastFocus.value(window);
        return widget && widget->window() == window && widget->isVisible() ? widget.data() : nullptr;
    }

    QWidget* mainWindow() const
    {
        if (m_mainWindow && m_mainWindow->isVisible())
            return m_mainWindow;
        QWidget* active = QApplication::activeWindow();
        return isMainWindowCandidate(active) ? active : nullptr;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate && watched->isWidgetType())
            note(static_cast<QWidget*>(watched));
        if (event->type() == QEvent::Hide && watched == m_mainWindow.data())
            resignMain();
        if (event->type() == QEvent::FocusIn && watched->isWidgetType() && !isMenu(watched))
            m_lastFocus.insert(static_cast<QWidget*>(watched)->window(), static_cast<QWidget*>(watched));
        return false;
    }

private:
    static bool isMainWindowCandidate(const QWidget* window)
    {
        return window && window->isWindow() && window->windowType() == Qt::Window;
    }

    void note(QWidget* window)
    {
        if (!isMainWindowCandidate(window) || window == m_mainWindow)
            return;
        resignMain();
        m_mainWindow = window;
        NotificationCenter::defaultCenter().postNotificationName(kNSWindowDidBecomeMainNotification, window);
    }

    void resignMain()
    {
        if (QWidget* previous = m_mainWindow.data()) {
            m_mainWindow.clear();
            NotificationCenter::defaultCenter().postNotificationName(kNSWindowDidResignMainNotification, previous);
        }
    }

    QPointer<QWidget> m_mainWindow;
    QHash<const QWidget*, QPointer<QWidget>> m_lastFocus;
    bool m_installed = false;
};

// Any sender fits a QObject* or QVariant parameter; a narrower one (a widget's zoomIn(int))
// is a method of the same name, not an action.
bool takesTheSender(const QMetaMethod& method)
{
    const QMetaType type = method.parameterMetaType(0);
    return type == QMetaType::fromType<QObject*>() || type == QMetaType::fromType<QVariant>();
}

// An action method is a public method or slot (not a signal) taking the sender or nothing;
// the one taking the sender wins. The copy moc makes of a method without its defaulted
// parameters (zoomIn() of zoomIn(int range = 1)) counts as what it was declared.
QMetaMethod findActionMethod(const QMetaObject* meta, const QByteArray& action)
{
    QMetaMethod withoutSender;
    for (int i = meta->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod method = meta->method(i);
        if (method.access() != QMetaMethod::Public || method.methodType() == QMetaMethod::Signal
            || method.name() != action)
            continue;
        if (method.parameterCount() == 1 && takesTheSender(method))
            return method;
        const bool cloned = method.attributes() & QMetaMethod::Cloned;
        if (method.parameterCount() == 0 && !cloned && !withoutSender.isValid())
            withoutSender = method;
    }
    return withoutSender;
}

// Validating a menu asks every selected object of a large selection, most of one class: a
// class's answer is looked up once.
QMetaMethod actionMethodOfClass(const QMetaObject* objectClass, const QByteArray& action)
{
    thread_local QHash<std::pair<const QMetaObject*, QByteArray>, QMetaMethod> known;
    const std::pair key(objectClass, action);
    auto found = known.constFind(key);
    if (found == known.cend())
        found = known.insert(key, findActionMethod(objectClass, action));
    return *found;
}

QMetaMethod actionMethod(const QObject* object, const QByteArray& action)
{
    return actionMethodOfClass(object->metaObject(), action);
}

// Where `object` passes the actions it has no method for.
QList<QObject*> forwardingTargets(const QObject* object, const QByteArray& action)
{
    if (const auto* zqObject = qobject_cast<const ZQObject*>(object))
        return zqObject->forwardingTargetsForSelector(action);
    if (const auto* forwarder = dynamic_cast<const ActionForwarder*>(object))
        return forwarder->forwardingTargetsForAction(action);
    return {};
}

QHash<const QWidget*, QPointer<QObject>>& widgetControllers()
{
    static QHash<const QWidget*, QPointer<QObject>> controllers;
    return controllers;
}

class ChainBuilder {
public:
    void appendWindowChain(QWidget* firstResponder)
    {
        for (QWidget* widget = firstResponder; widget; widget = widget->parentWidget()) {
            append(widget);
            appendWithNextResponders(ResponderChain::controllerForWidget(widget));
            if (widget->isWindow())
                break;
        }
    }

    void appendApplicationResponders()
    {
        append(qobject_cast<Application*>(QCoreApplication::instance()));
        append(Application::delegate());
        append(DocumentController::existingSharedDocumentController());
    }

    QList<QObject*> result() const { return m_chain; }

private:
    void appendWithNextResponders(QObject* object)
    {
        // Next responders could loop back; the seen-set ends the walk.
        while (object && append(object)) {
            const auto* responder = dynamic_cast<const Responder*>(object);
            object = responder ? responder->nextResponder() : nullptr;
        }
    }

    bool append(QObject* object)
    {
        if (!object || m_seen.contains(object))
            return false;
        m_seen.insert(object);
        m_chain.append(object);
        return true;
    }

    QList<QObject*> m_chain;
    QSet<const QObject*> m_seen;
};

} // namespace

QList<QObject*> ResponderChain::responders()
{
    trackWindowActivation();
    ChainBuilder builder;
    builder.appendWindowChain(firstResponder());
    QWidget* main = mainWindow();
    if (main && main != keyWindow())
        builder.appendWindowChain(focusedWidgetOf(main));
    builder.appendApplicationResponders();
    return builder.result();
}

QList<QObject*> ResponderChain::respondersFrom(QWidget* firstResponder)
{
    ChainBuilder builder;
    builder.appendWindowChain(firstResponder);
    builder.appendApplicationResponders();
    return builder.result();
}

QObject* ResponderChain::firstResponderTo(const QByteArray& action)
{
    for (QObject* responder : responders())
        if (respondsToAction(responder, action))
            return responder;
    return nullptr;
}

bool ResponderChain::respondsToAction(const QObject* object, const QByteArray& action)
{
    if (!object || action.isEmpty())
        return false;
    if (actionMethod(object, action).isValid())
        return true;
    const QList<QObject*> targets = forwardingTargets(object, action);
    return std::any_of(targets.begin(), targets.end(), [&](const QObject* t) { return respondsToAction(t, action); });
}

bool ResponderChain::performAction(QObject* target, const QByteArray& action, QObject* sender)
{
    if (const QMetaMethod method = actionMethod(target, action); method.isValid()) {
        invokeMethod(target, method, method.parameterCount() == 1 ? QVariantList{QVariant::fromValue(sender)} : QVariantList{});
        return true;
    }
    // A forwarding object passes the action to every target that takes it.
    bool performed = false;
    for (QObject* forwardTarget : forwardingTargets(target, action))
        if (respondsToAction(forwardTarget, action))
            performed = performAction(forwardTarget, action, sender) || performed;
    return performed;
}

bool ResponderChain::hasActionMethod(const QObject* object, const QByteArray& action)
{
    return object && classHasActionMethod(object->metaObject(), action);
}

bool ResponderChain::classHasActionMethod(const QMetaObject* objectClass, const QByteArray& action)
{
    return objectClass && !action.isEmpty() && actionMethodOfClass(objectClass, action).isValid();
}

void ResponderChain::setControllerForWidget(QWidget* widget, QObject* controller)
{
    if (!widget)
        return;
    auto& controllers = widgetControllers();
    if (!controller) {
        controllers.remove(widget);
        return;
    }
    if (!controllers.contains(widget))
        QObject::connect(widget, &QObject::destroyed, [widget] { widgetControllers().remove(widget); });
    controllers.insert(widget, controller);
}

QObject* ResponderChain::controllerForWidget(const QWidget* widget)
{
    return widgetControllers().value(widget);
}

QWidget* ResponderChain::keyWindow()
{
    return QApplication::activeWindow();
}

QWidget* ResponderChain::mainWindow()
{
    trackWindowActivation();
    return WindowActivationTracker::instance().mainWindow();
}

QWidget* ResponderChain::firstResponder()
{
    QWidget* window = keyWindow();
    if (!window)
        return nullptr;
    QWidget* focus = QApplication::focusWidget();
    return focus && focus->window() == window ? responderInPlaceOf(focus) : window;
}

QWidget* ResponderChain::focusedWidgetOf(QWidget* window)
{
    QWidget* focus = window->focusWidget();
    return focus ? responderInPlaceOf(focus) : window;
}

QWidget* ResponderChain::responderInPlaceOf(QWidget* focus)
{
    if (!isMenu(focus))
        return focus;
    trackWindowActivation();
    QWidget* last = WindowActivationTracker::instance().lastFocusBesideMenus(focus->window());
    return last ? last : focus;
}

void ResponderChain::trackWindowActivation()
{
    WindowActivationTracker::instance().install();
}

} // namespace platform
