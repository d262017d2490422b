#include "tracks/TrackClasses.h"

#include "app/AppClasses.h"

void registerTrackClasses()
{
    registerAppClasses();
}
