#include "platform/ui/Application.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/FloatingPanelPlacement.h"
#include "platform/ui/ResponderChain.h"

namespace platform {

namespace {

QPointer<QObject>& delegateSlot()
{
    static QPointer<QObject> delegate;
    return delegate;
}

} // namespace

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
    ResponderChain::trackWindowActivation();
    FloatingPanelPlacement::keepPanelsOnScreen();
    // Open documents own windows: they must go while the widgets can still be destroyed.
    connect(this, &QCoreApplication::aboutToQuit, this, [] {
        if (DocumentController* controller = DocumentController::existingSharedDocumentController())
            controller->closeAllDocuments();
    });
}

Application::~Application() = default;

bool Application::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    runGuarded("event delivery", [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

QObject* Application::delegate()
{
    return delegateSlot();
}

void Application::setDelegate(QObject* delegate)
{
    delegateSlot() = delegate;
}

QObject* Application::targetForActionToFrom(const QByteArray& action, QObject* target, QObject* sender)
{
    if (action.isEmpty())
        return nullptr;
    if (target)
        return ResponderChain::respondsToAction(target, action) ? target : nullptr;
    return ResponderChain::firstResponderTo(action);
}

bool Application::sendActionToFrom(const QByteArray& action, QObject* target, QObject* sender)
{
    QObject* handler = targetForActionToFrom(action, target, sender);
    if (!handler)
        return false;
    const QByteArray where = "action " + action;
    runGuarded(where.constData(), [&] { ResponderChain::performAction(handler, action, sender); });
    return true;
}

void Application::beep()
{
    QApplication::beep();
}

} // namespace platform
