#include "platform/measurement/MeasurementClasses.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/measurement/ZQMeasurementScaler.h"

void registerMeasurementClasses()
{
    using platform::ClassRegistry;
    ClassRegistry::registerClass<ZQUnitLength>();
    ClassRegistry::registerClass<ZQMeasurement>();
    ClassRegistry::registerClass<ZQMeasurementScaler>();
}
