#include "app/application/AppClasses.h"

#include "app/document/VXQMappingLayer.h"
#include "geodata/GeodataClasses.h"
#include "mapscale/MapScaleClasses.h"
#include "platform/foundation/ClassRegistry.h"
#include "widgets/WidgetClasses.h"

void registerAppClasses()
{
    registerWidgetClasses();
    registerMapScaleClasses();
    registerGeodataClasses();
    platform::ClassRegistry::registerClass<VXQMappingLayer>();
}
