#include "terrain/TerrainClasses.h"

#include "geodata/GeodataClasses.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixComponentClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/text/VantrixTextClasses.h"
#include "terrain/layer/ZQContourLayer.h"
#include "terrain/panel/VXQContourLayerController.h"
#include "terrain/section/VXQContourCrossSection.h"

void registerTerrainClasses()
{
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixComponentClasses();
    registerVantrixTextClasses();
    registerVantrixDrawingClasses();
    registerGeodataClasses();
    platform::ClassRegistry::registerClass<ZQContourLayer>();
    platform::ClassRegistry::registerClass<VXQContourCrossSection>();
}

void installTerrainServices() { VXQContourLayerController::sharedContourLayerController(); }
