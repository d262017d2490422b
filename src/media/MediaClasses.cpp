#include "media/MediaClasses.h"

#include "app/application/AppClasses.h"
#include "app/services/WindowServices.h"
#include "media/photos/ZQiPhotoMediaInfo.h"
#include "media/window/ZQMediaBrowserController.h"

void registerMediaClasses()
{
    // Folder nodes are never archived: the library adds no classes of its own.
    registerAppClasses();
}

void installMediaServices()
{
    WindowServices& services = WindowServices::installed();
    services.startLoadingPhotoLibrary = [] { ZQiPhotoMediaInfo::iPhotoMediaLibrary(); };
    services.showMediaBrowser = [](bool resetToFactoryState) {
        ZQMediaBrowserController* browser = ZQMediaBrowserController::sharedMediaBrowser();
        if (resetToFactoryState)
            browser->resetToFactoryState();
        browser->showWindow(nullptr);
    };
}
