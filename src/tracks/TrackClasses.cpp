#include "tracks/TrackClasses.h"

#include "app/AppClasses.h"
#include "platform/foundation/ClassRegistry.h"
#include "tracks/VXQTrack.h"
#include "tracks/VXQBridgeRasterizer.h"
#include "tracks/VXQCuttingAndEmbankmentRasterizer.h"
#include "tracks/VXQTaggedStroke.h"
#include "tracks/VXQTaperedStroke.h"
#include "tracks/VXQTunnelRasterizer.h"

void registerTrackClasses()
{
    registerAppClasses();
    platform::ClassRegistry::registerClass<VXQTrack>();
    platform::ClassRegistry::registerClass<VXQTaperedStroke>();
    platform::ClassRegistry::registerClass<VXQTaggedStroke>();
    platform::ClassRegistry::registerClass<VXQCuttingAndEmbankmentRasterizer>();
    platform::ClassRegistry::registerClass<VXQTunnelRasterizer>();
    platform::ClassRegistry::registerClass<VXQBridgeRasterizer>();
}
