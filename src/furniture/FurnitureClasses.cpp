#include "furniture/FurnitureClasses.h"

#include "tracks/TrackClasses.h"

void registerFurnitureClasses()
{
    registerTrackClasses();
}
