#include "platform/foundation/FoundationClasses.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/Predicate.h"

void registerFoundationClasses()
{
    platform::ClassRegistry::registerClass<ZQObject>();
    platform::ClassRegistry::registerClass<platform::Predicate>();
}
