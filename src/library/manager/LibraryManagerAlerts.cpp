#include "library/manager/LibraryManagerAlerts.h"

#include "platform/ui/Application.h"

namespace LibraryManagerAlerts {

namespace {

Runner& installedRunner()
{
    static Runner runner;
    return runner;
}

} // namespace

void setRunner(Runner runner)
{
    installedRunner() = std::move(runner);
}

int run(platform::Alert& alert)
{
    return installedRunner() ? installedRunner()(alert) : alert.runModal();
}

platform::Alert make(const QString& message, const QString& defaultButton, const QString& alternateButton,
                     const QString& informative)
{
    return platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        message, defaultButton, alternateButton, {}, informative);
}

void beep()
{
    platform::Application::beep();
}

} // namespace LibraryManagerAlerts
