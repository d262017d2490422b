#include "platform/vantrix/styles/VantrixStyleClasses.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXGradientFill.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStyle.h"

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
