#include "app/AppClasses.h"

#include "app/VXQMappingLayer.h"
#include "geodata/GeodataClasses.h"
#include "mapscale/MapScaleClasses.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/measurement/MeasurementClasses.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixComponentClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/text/VantrixTextClasses.h"

void registerAppClasses()
{
    registerFoundationClasses();
    registerMeasurementClasses();
    registerMapScaleClasses();
    registerGeodataClasses();
    registerVantrixStyleClasses();
    registerVantrixComponentClasses();
    registerVantrixTextClasses();
    registerVantrixDrawingClasses();
    platform::ClassRegistry::registerClass<VXQMappingLayer>();
}
