#include "platform/foundation/FoundationClasses.h"

#include "platform/foundation/ClassRegistry.h"

void registerFoundationClasses()
{
    platform::ClassRegistry::registerClass<ZQObject>();
}
