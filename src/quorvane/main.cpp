#include "app/AppClasses.h"
#include "app/VLTMAppDelegate.h"
#include "app/VLTMApplication.h"
#include "geodata/GeodataClasses.h"
#include "mapscale/MapScaleClasses.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/measurement/MeasurementClasses.h"
#include "platform/ui/DocumentController.h"
#include "platform/vantrix/VantrixComponentClasses.h"
#include "platform/vantrix/VantrixDrawingClasses.h"
#include "platform/vantrix/VantrixStyleClasses.h"
#include "platform/vantrix/VantrixTextClasses.h"
#include "tracks/TrackClasses.h"

namespace {

void registerArchivableClasses()
{
    registerFoundationClasses();
    registerMeasurementClasses();
    registerMapScaleClasses();
    registerGeodataClasses();
    registerVantrixStyleClasses();
    registerVantrixComponentClasses();
    registerVantrixTextClasses();
    registerVantrixDrawingClasses();
    registerAppClasses();
    registerTrackClasses();
}

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
    registerArchivableClasses();

    VLTMAppDelegate delegate;
    platform::Application::setDelegate(&delegate);
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
