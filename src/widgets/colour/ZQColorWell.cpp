#include "widgets/colour/ZQColorWell.h"

#include "platform/foundation/NotificationCenter.h"

void ZQColorWell::deactivate()
{
    ColourWell::deactivate();
    platform::NotificationCenter::defaultCenter().postNotificationName(kZQColorWellDeactivated, this);
}
