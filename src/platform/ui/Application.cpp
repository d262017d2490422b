#include "platform/ui/Application.h"

#include "platform/foundation/ZQAssert.h"

namespace platform {

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    runGuarded("event delivery", [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace platform
