#include "platform/vantrix/text/VantrixTextClasses.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/vantrix/text/VXTextAdornment.h"

void registerVantrixTextClasses()
{
    platform::ClassRegistry::registerClass<VXTextAdornment>();
    registerObjectPointerType<VXTextAdornment>();
    registerObjectPointerType<VXShadow>();
}
