#include "tracks/TrackClasses.h"

#include "app/AppClasses.h"
#include "platform/foundation/ClassRegistry.h"
#include "tracks/TrackConversion.h"
#include "tracks/TrackTools.h"
#include "tracks/VXQBridgeRasterizer.h"
#include "tracks/VXQCuttingAndEmbankmentRasterizer.h"
#include "tracks/VXQTaggedStroke.h"
#include "tracks/VXQTaperedStroke.h"
#include "tracks/VXQTrack.h"
#include "tracks/VXQTunnelRasterizer.h"
#include "tracks/ZQMultiStylePath.h"

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
