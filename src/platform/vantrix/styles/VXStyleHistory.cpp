#include "platform/vantrix/styles/VXStyleHistory.h"

#include "platform/foundation/NotificationCenter.h"

VXStyleHistory& VXStyleHistory::defaultHistory()
{
    static VXStyleHistory history;
    return history;
}

void VXStyleHistory::setCurrentStyle(const VXStylePtr& style)
{
    if (style == m_currentStyle)
        return;
    m_currentStyle = style;
    platform::NotificationCenter::defaultCenter().postNotificationName(
        kStyleHistoryNewStyleNotification, this, {{QStringLiteral("style"), QVariant::fromValue(ZQObjectPtr(style))}});
}
