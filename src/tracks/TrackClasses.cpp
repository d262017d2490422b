#include "tracks/TrackClasses.h"

void registerTrackClasses()
{
}
