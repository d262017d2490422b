#include "media/MediaClasses.h"

#include "app/AppClasses.h"
#include "app/WindowServices.h"
#include "media/photos/ZQiPhotoMediaInfo.h"

void registerMediaClasses()
{
    // Folder nodes are never archived: the library adds no classes of its own.
    registerAppClasses();
}

void installMediaServices()
{
    WindowServices::installed().startLoadingPhotoLibrary = [] { ZQiPhotoMediaInfo::iPhotoMediaLibrary(); };
}
