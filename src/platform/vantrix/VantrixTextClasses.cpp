#include "platform/vantrix/VantrixTextClasses.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/vantrix/VXTextAdornment.h"

void registerVantrixTextClasses()
{
    platform::ClassRegistry::registerClass<VXTextAdornment>();
    registerObjectPointerType<VXTextAdornment>();
    registerObjectPointerType<VXShadow>();
}
