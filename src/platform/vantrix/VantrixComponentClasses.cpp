#include "platform/vantrix/VantrixComponentClasses.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/vantrix/VXArrowStroke.h"
#include "platform/vantrix/VXBlendGroup.h"
#include "platform/vantrix/VXCIFilterTypeBlurGroup.h"
#include "platform/vantrix/VXFillPattern.h"
#include "platform/vantrix/VXGloomGroup.h"
#include "platform/vantrix/VXHatching.h"
#include "platform/vantrix/VXImageAdornment.h"
#include "platform/vantrix/VXRepeatTransformGroup.h"
#include "platform/vantrix/VXRoughStroke.h"
#include "platform/vantrix/VXTilingFill.h"
#include "platform/vantrix/VXZigZagFill.h"
#include "platform/vantrix/VXZigZagStroke.h"

void registerVantrixComponentClasses()
{
    using platform::ClassRegistry;
    ClassRegistry::registerClass<VXHatching>();
    ClassRegistry::registerClass<VXArrowStroke>();
    ClassRegistry::registerClass<VXZigZagStroke>();
    ClassRegistry::registerClass<VXZigZagFill>();
    ClassRegistry::registerClass<VXRoughStroke>();
    ClassRegistry::registerClass<VXImageAdornment>();
    ClassRegistry::registerClass<VXPathDecorator>();
    ClassRegistry::registerClass<VXFillPattern>();
    ClassRegistry::registerClass<VXTilingFill>();
    ClassRegistry::registerClass<VXRepeatTransformGroup>();
    ClassRegistry::registerClass<VXCIFilterRastGroup>();
    ClassRegistry::registerClass<VXCIFilterTypeBlurGroup>();
    ClassRegistry::registerClass<VXGloomGroup>();
    ClassRegistry::registerClass<VXBlendGroup>();
}
