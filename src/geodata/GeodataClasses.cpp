#include "geodata/GeodataClasses.h"

#include "geodata/ZQDouglasPeuckerSimplifier.h"
#include "geodata/ZQKernel.h"

#include "platform/foundation/ClassRegistry.h"

void registerGeodataClasses()
{
    platform::ClassRegistry::registerClass<ZQMatrixArray>();
    platform::ClassRegistry::registerClass<ZQKernel>();
    platform::ClassRegistry::registerClass<ZQShapefileSimplifier>();
    platform::ClassRegistry::registerClass<ZQDouglasPeuckerSimplifier>();
}
