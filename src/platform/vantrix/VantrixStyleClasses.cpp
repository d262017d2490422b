#include "platform/vantrix/VantrixStyleClasses.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/vantrix/VXFill.h"
#include "platform/vantrix/VXGradientFill.h"
#include "platform/vantrix/VXStroke.h"
#include "platform/vantrix/VXStyle.h"

void registerVantrixStyleClasses()
{
    using platform::ClassRegistry;
    ClassRegistry::registerClass<VXRasterizer>();
    ClassRegistry::registerClass<VXRastGroup>();
    ClassRegistry::registerClass<VXStyle>();
    ClassRegistry::registerClass<VXStroke>();
    ClassRegistry::registerClass<VXFill>();
    ClassRegistry::registerClass<VXShadow>();
    ClassRegistry::registerClass<VXStrokeDash>();
    ClassRegistry::registerClass<VXGradient>();
    ClassRegistry::registerClass<VXGradientFill>();

    registerObjectPointerType<VXRasterizer>();
    registerObjectPointerType<VXStyle>();
    registerObjectPointerType<VXShadow>();
    registerObjectPointerType<VXStrokeDash>();
    registerObjectPointerType<VXGradient>();
}
