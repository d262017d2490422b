#include "app/application/VLTMApplication.h"

#include "app/application/ApplicationKeys.h"
#include "app/application/ModalWindowEventFilter.h"
#include "platform/foundation/RunLoop.h"

#include <QEventLoop>
#include <QWidget>
#include <pwd.h>
#include <unistd.h>

VLTMApplication::VLTMApplication(int& argc, char** argv)
    : platform::Application(argc, argv)
{
    setApplicationName(productName());
    setOrganizationName(productName());
    installEventFilter(this);
    new ApplicationKeys(this);
}

VLTMApplication::~VLTMApplication() = default;

QString VLTMApplication::registeredUserName()
{
    if (const passwd* entry = getpwuid(getuid())) {
        // The full name is the first comma-separated field of the account's comment.
        const QString fullName = QString::fromLocal8Bit(entry->pw_gecos ? entry->pw_gecos : "").section(u',', 0, 0);
        if (!fullName.trimmed().isEmpty())
            return fullName.trimmed();
        if (entry->pw_name && *entry->pw_name)
            return QString::fromLocal8Bit(entry->pw_name);
    }
    return qEnvironmentVariable("USER");
}

QString VLTMApplication::productName()
{
    return QStringLiteral("Quorvane");
}

void VLTMApplication::runModalEventForWindow(QWidget* window)
{
    ModalWindowEventFilter filter(window);
    installEventFilter(&filter);
    processEvents(QEventLoop::WaitForMoreEvents);
    removeEventFilter(&filter);
}

bool VLTMApplication::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && event->type() == QEvent::Quit)
        Q_EMIT willTerminate();
    if (event->type() == QEvent::Hide && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
        // Checked once the turn is over: a window may be hidden while another takes its place.
        platform::RunLoop::cancelPreviousPerformRequests(this, "quitUnlessAWindowIsShown");
        platform::RunLoop::performAfterDelay(this, [this] { quitUnlessAWindowIsShown(); }, 0, "quitUnlessAWindowIsShown");
    }
    return false;
}

bool VLTMApplication::keepsApplicationRunning(const QWidget& window)
{
    return window.isVisible() && window.windowType() != Qt::Tool;
}

void VLTMApplication::quitUnlessAWindowIsShown()
{
    const QWidgetList windows = topLevelWidgets();
    if (std::none_of(windows.begin(), windows.end(), [](const QWidget* window) { return keepsApplicationRunning(*window); }))
        quit();
}
