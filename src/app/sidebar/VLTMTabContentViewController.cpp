#include "app/sidebar/VLTMTabContentViewController.h"

#include "platform/foundation/ZQLog.h"
#include "platform/ui/MenuItem.h"

VLTMTabContentViewController::VLTMTabContentViewController() = default;

VLTMTabContentViewController::~VLTMTabContentViewController() = default;

void VLTMTabContentViewController::initWithNibName(const QString& nibName)
{
    ZQLog(QStringLiteral("initialising tab view controller '%1'").arg(nibName));
    platform::ViewController::initWithNibName(nibName);
}

bool VLTMTabContentViewController::validateUserInterfaceItem(QObject* item)
{
    const auto* menuItem = qobject_cast<const platform::MenuItem*>(item);
    const QByteArray action = menuItem ? menuItem->action() : (item ? item->property("action").toByteArray() : QByteArray());
    return !action.isEmpty() && respondsToSelector(action);
}
