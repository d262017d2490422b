#include "platform/vantrix/styles/VantrixComponentClasses.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/vantrix/styles/VXArrowStroke.h"
#include "platform/vantrix/styles/VXBlendGroup.h"
#include "platform/vantrix/styles/VXCIFilterTypeBlurGroup.h"
#include "platform/vantrix/styles/VXFillPattern.h"
#include "platform/vantrix/styles/VXGloomGroup.h"
#include "platform/vantrix/styles/VXHatching.h"
#include "platform/vantrix/styles/VXImageAdornment.h"
#include "platform/vantrix/styles/VXRepeatTransformGroup.h"
#include "platform/vantrix/styles/VXRoughStroke.h"
#include "platform/vantrix/styles/VXTilingFill.h"
#include "platform/vantrix/styles/VXZigZagFill.h"
#include "platform/vantrix/styles/VXZigZagStroke.h"

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
