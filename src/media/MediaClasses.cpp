#include "media/MediaClasses.h"

#include "app/application/AppClasses.h"
#include "app/document/MapTemplateLister.h"
#include "app/services/WindowServices.h"
#include "media/enumeration/ZQFolderEnumerator.h"
#include "media/photos/ZQiPhotoMediaInfo.h"
#include "media/window/ZQMediaBrowserController.h"
#include "platform/foundation/NamedException.h"

void registerMediaClasses()
{
    // Folder nodes are never archived: the library adds no classes of its own.
    registerAppClasses();
    // Templates are listed by the enumerator that lists them in the template chooser.
    MapTemplateLister::installed() = [](const QString& folder, bool includingSubfolders, const QStringList& types) {
        try {
            return ZQFolderEnumerator::folderEnumeratorWithPathIncludeSubFoldersFileTypes(folder, includingSubfolders, types)
                ->fileURLs();
        } catch (const platform::NamedException&) {
            return QList<QUrl>(); // the folder went since it was made
        }
    };
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
