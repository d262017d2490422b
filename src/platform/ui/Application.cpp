#include "platform/ui/Application.h"

#include "platform/foundation/ProblemReporter.h"
#include "platform/foundation/WholeEdit.h"
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

QString outOfMemoryAdvice()
{
    return Application::tr("Close maps or other applications you do not need, then try again.");
}

// An edit that fails is taken back whole where it can be; the user hears which, so that the
// map is trusted as it stands.
void tellEditNotDone(const EditNotDone& failure)
{
    const QString outcome = failure.isUndone()
                                ? Application::tr("The map is as it was before it.")
                                : Application::tr("Part of it may have been done and could not be taken back.");
    if (failure.ranOutOfMemory())
        ProblemReporter::report(Application::tr("There was not enough memory to finish “%1”.").arg(failure.actionName()),
                                outcome + QLatin1Char(' ') + outOfMemoryAdvice());
    else
        ProblemReporter::report(Application::tr("“%1” could not be finished.").arg(failure.actionName()), outcome);
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

bool Application::runCommand(const char* where, const std::function<void()>& work)
{
    return runGuarded(where, [&] {
        try {
            work();
        } catch (const EditNotDone& failure) {
            tellEditNotDone(failure);
            throw;
        } catch (const std::bad_alloc&) {
            // Stopped wherever it ran out: nothing says how much was done.
            ProblemReporter::report(tr("There was not enough memory to finish the command."),
                                    tr("Part of it may not have been done.") + QLatin1Char(' ') + outOfMemoryAdvice());
            throw;
        }
    });
}

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
