#include "tracks/TrackClasses.h"

#include "app/application/AppClasses.h"
#include "platform/foundation/ClassRegistry.h"
#include "tracks/model/TrackConversion.h"
#include "tracks/tools/TrackTools.h"
#include "tracks/rasterizers/VXQBridgeRasterizer.h"
#include "tracks/rasterizers/VXQCuttingAndEmbankmentRasterizer.h"
#include "tracks/styles/VXQTaggedStroke.h"
#include "tracks/styles/VXQTaperedStroke.h"
#include "tracks/model/VXQTrack.h"
#include "tracks/rasterizers/VXQTunnelRasterizer.h"
#include "tracks/model/ZQMultiStylePath.h"

void registerTrackClasses()
{
    registerAppClasses();
    addTrackToolRegistration();
    addConvertToTrackMenuExtension();
    platform::ClassRegistry::registerClass<VXQTrack>();
    platform::ClassRegistry::registerClass<ZQMultiStylePath>();
    platform::ClassRegistry::registerClass<ZQRangeDrawingStyle>();
    platform::ClassRegistry::registerClass<VXQAdornment>();
    platform::ClassRegistry::registerClass<VXQTaperedStroke>();
    platform::ClassRegistry::registerClass<VXQTaggedStroke>();
    platform::ClassRegistry::registerClass<VXQCuttingAndEmbankmentRasterizer>();
    platform::ClassRegistry::registerClass<VXQTunnelRasterizer>();
    platform::ClassRegistry::registerClass<VXQBridgeRasterizer>();
}
