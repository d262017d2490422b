#include "app/application/UndoRedirector.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/ui/Application.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ResponderChain.h"

using platform::ResponderChain;

UndoRedirector* UndoRedirector::sharedRedirector()
{
    static auto* redirector = new UndoRedirector;
    return redirector;
}

QObject* UndoRedirector::redirectionTarget()
{
    QObject* delegate = ResponderChain::controllerForWidget(ResponderChain::keyWindow());
    const QMetaMethod asks = delegate ? platform::findMethod(delegate, "willRedirectUndo", 0) : QMetaMethod();
    if (!asks.isValid())
        return nullptr;
    return platform::invokeMethod(delegate, asks, {}).toBool() ? delegate : nullptr;
}

QObject* UndoRedirector::handlerForActionFrom(const QByteArray& action, QObject* sender)
{
    QObject* target = redirectionTarget();
    if (target && ResponderChain::respondsToAction(target, action))
        return target;
    const auto* item = qobject_cast<platform::MenuItem*>(sender);
    return item ? item->firstResponderTo(action) : ResponderChain::firstResponderTo(action);
}

void UndoRedirector::send(const QByteArray& action, QObject* sender)
{
    if (QObject* handler = handlerForActionFrom(action, sender))
        platform::Application::sendActionToFrom(action, handler, sender);
}

void UndoRedirector::undo(QObject* sender)
{
    send("undo", sender);
}

void UndoRedirector::redo(QObject* sender)
{
    send("redo", sender);
}

bool UndoRedirector::validateMenuItem(platform::MenuItem* item)
{
    // A handler that names its steps renames the item; any other keeps the plain title, not the
    // name of a step it would not undo.
    const bool undoes = item->action() == "undo";
    item->setTitle(undoes ? tr("Undo") : tr("Redo"));
    QObject* handler = handlerForActionFrom(item->action(), item);
    if (!handler)
        return false;
    for (const QByteArray& validator : {QByteArrayLiteral("validateMenuItem"), QByteArrayLiteral("validateUserInterfaceItem")})
        if (const QMetaMethod method = platform::findMethod(handler, validator, 1); method.isValid())
            return platform::invokeMethod(handler, method, {QVariant::fromValue<QObject*>(item)}).toBool();
    // A text field tells whether it has typing to undo or redo.
    const QVariant available = handler->property(undoes ? "undoAvailable" : "redoAvailable");
    return !available.isValid() || available.toBool();
}
