#include "mapscale/MapScaleClasses.h"

#include "mapscale/VXQMapScale.h"
#include "mapscale/VXQMeasurement.h"
#include "platform/foundation/ClassRegistry.h"

void registerMapScaleClasses()
{
    using platform::ClassRegistry;
    ClassRegistry::registerClass<VXQMeasurement>();
    ClassRegistry::registerClass<VXQMetricMeasurement>();
    ClassRegistry::registerClass<VXQImperialMeasurement>();
    ClassRegistry::registerClass<VXQQuartzMeasurement>();
    ClassRegistry::registerClass<VXQNauticalMilesMeasurement>();
    ClassRegistry::registerClass<VXQMapScale>();
}
