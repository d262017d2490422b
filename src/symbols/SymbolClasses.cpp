#include "symbols/SymbolClasses.h"

#include "tracks/TrackClasses.h"

void registerSymbolClasses()
{
    registerTrackClasses();
}
