#include "app/VLTMHelpTrampoline.h"

#include "platform/foundation/ZQLog.h"

VLTMHelpTrampoline* VLTMHelpTrampoline::sharedHelpTrampoline()
{
    static VLTMHelpTrampoline* const shared = new VLTMHelpTrampoline;
    return shared;
}

void VLTMHelpTrampoline::showHelpForIdentifier(const QString& identifier)
{
    LogEvent(kInfoEvent, QStringLiteral("help requested for \"%1\"").arg(identifier));
}
