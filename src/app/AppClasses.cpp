#include "app/AppClasses.h"

#include "app/VXQMappingLayer.h"
#include "platform/foundation/ClassRegistry.h"

void registerAppClasses()
{
    platform::ClassRegistry::registerClass<VXQMappingLayer>();
}
