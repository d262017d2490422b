#include "furniture/FurnitureClasses.h"

#include "furniture/VXQMapScale.h"
#include "furniture/VXQMeasurement.h"
#include "platform/foundation/ClassRegistry.h"

void registerFurnitureClasses()
{
    using platform::ClassRegistry;
    ClassRegistry::registerClass<VXQMeasurement>();
    ClassRegistry::registerClass<VXQMetricMeasurement>();
    ClassRegistry::registerClass<VXQImperialMeasurement>();
    ClassRegistry::registerClass<VXQQuartzMeasurement>();
    ClassRegistry::registerClass<VXQNauticalMilesMeasurement>();
    ClassRegistry::registerClass<VXQMapScale>();
}
