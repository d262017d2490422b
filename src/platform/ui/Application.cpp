#include "platform/ui/Application.h"

#include "platform/foundation/ProblemReporter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/FloatingPanelPlacement.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/SheetFocus.h"

namespace platform {

namespace {

QPointer<QObject>& delegateSlot()
{
    static QPointer<QObject> delegate;
    return delegate;
}

// What the user does with keys, mouse or pen, or drops on a window; paints and timers are not
// commands, and one that fails again at each turn is only logged.
bool isUserAction(const QEvent* event)
{
    return event->isInputEvent() || event->type() == QEvent::Shortcut || event->type() == QEvent::Drop;
}

// A command that runs out of memory stops part way, which shows nowhere else: the user is told.
bool runCommand(const char* where, const std::function<void()>& work)
{
    return runGuarded(where, [&] {
        try {
            work();
        } catch (const std::bad_alloc&) {
            ProblemReporter::report(Application::tr("There was not enough memory to finish the command."),
                                    Application::tr("Part of it may not have been done. Close maps or other "
                                                    "applications you do not need, then try again."));
            throw;
        }
    });
}

} // namespace

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
    ResponderChain::trackWindowActivation();
    FloatingPanelPlacement::keepPanelsOnScreen();
    SheetFocus::passKeysToSheets();
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
    const auto deliver = [&] { handled = QApplication::notify(receiver, event); };
    if (isUserAction(event))
        runCommand("event delivery", deliver);
    else
        runGuarded("event delivery", deliver);
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
    runCommand(where.constData(), [&] { ResponderChain::performAction(handler, action, sender); });
    return true;
}

void Application::beep()
{
    QApplication::beep();
}

} // namespace platform
