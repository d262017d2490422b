#include "app/VLTMAppDelegate.h"
#include "furniture/FurnitureClasses.h"
#include "furniture/scalebar/pane/ScaleBarPaneHost.h"
#include "library/LibraryClasses.h"
#include "app/VLTMApplication.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/DocumentController.h"
#include "symbols/SymbolClasses.h"
#include "symbols/placed/VXQSymbol.h"
#include "terrain/TerrainClasses.h"

namespace {

void openFiles(VLTMAppDelegate& delegate, const QStringList& files)
{
    for (const QString& file : files)
        platform::runGuarded("opening a file", [&] { delegate.applicationOpenFile(qApp, file); });
}

void openUntitledDocument()
{
    platform::runGuarded("opening an untitled document", [] {
        QuorvaneError error;
        platform::DocumentController* controller = platform::DocumentController::sharedDocumentController();
        if (!controller->openUntitledDocumentAndDisplayError(true, &error))
            controller->presentError(error);
    });
}

} // namespace

int main(int argc, char** argv)
{
    VLTMApplication app(argc, argv);
    registerSymbolClasses();
    registerFurnitureClasses();
    registerTerrainClasses();
    // Placed symbols are scaled by their corner handle here.
    VXQSymbol::setDefaultSizeHandleVisible(true);
    registerLibraryClasses();

    VLTMAppDelegate delegate;
    platform::Application::setDelegate(&delegate);
    const ScaleBarPaneHost scaleBarPanes;
    if (!delegate.applicationWillFinishLaunching())
        return 1;
    // As on the desktop: files open before the launch finishes, an untitled map after it.
    const QStringList files = QCoreApplication::arguments().mid(1);
    openFiles(delegate, files);
    delegate.applicationDidFinishLaunching();
    if (files.isEmpty())
        openUntitledDocument();
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &VLTMAppDelegate::applicationWillTerminate);
    return app.exec();
}
