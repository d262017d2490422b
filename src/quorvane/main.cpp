#include "app/application/VLTMAppDelegate.h"
#include "app/progress/EditWorkProgress.h"
#include "furniture/FurnitureClasses.h"
#include "inspectors/InspectorClasses.h"
#include "inspectors/InspectorServicesInstallation.h"
#include "inspectors/text/VLTMFontManagerTrampoline.h"
#include "library/LibraryClasses.h"
#include "library/LibraryServicesInstallation.h"
#include "media/MediaClasses.h"
#include "panels/PanelsClasses.h"
#include "panels/PanelsServicesInstallation.h"
#include "app/application/VLTMApplication.h"
#include "platform/foundation/EnglishPlurals.h"
#include "platform/foundation/LaunchLogLevel.h"
#include "platform/foundation/ProblemReporter.h"
#include "platform/foundation/WorkInFlight.h"
#include "platform/ui/Alert.h"
#include "style_editor/StyleEditorClasses.h"
#include "symbols/SymbolClasses.h"
#include "symbols/placed/VXQSymbol.h"
#include "terrain/TerrainClasses.h"
#include "windows/WindowsClasses.h"

#include <csignal>

int main(int argc, char** argv)
{
    // The shared font manager is made on first use: install ours before anything asks.
    platform::FontManager::setFontManagerFactory([] { return std::make_unique<VLTMFontManagerTrampoline>(); });
    // A write to a display connection that broke fails where it is made, so that Qt ends the
    // process as it does for a lost display, rather than the signal killing it first.
    std::signal(SIGPIPE, SIG_IGN);
    VLTMApplication app(argc, argv);
    // Qt ends the process with exit() when the display goes away; no worker may outlive that.
    platform::WorkInFlight::stopWhenProcessEnds();
    QStringList arguments = QCoreApplication::arguments();
    platform::setLogLevelFromLaunch(arguments);
    platform::EnglishPluralTranslator::install();
    // Edits of a large selection show how far they are once they take a while.
    const EditProgressPresenter editProgress;
    // Settings and libraries that could not be read or written say so as soon as the loop runs;
    // while quitting no later turn comes, so the alert is seen before the application goes.
    const auto problemAlert = [](const QString& message, const QString& detail) {
        return platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
            message, QObject::tr("OK"), {}, {}, detail);
    };
    platform::ProblemReporter::setHandler([problemAlert](const QString& message, const QString& detail) {
        problemAlert(message, detail).beginSheetModalForWindowCompletionHandler(nullptr, {});
    });
    platform::ProblemReporter::setQuittingHandler([problemAlert](const QString& message, const QString& detail) {
        problemAlert(message, detail).runModal();
    });
    registerSymbolClasses();
    registerFurnitureClasses();
    registerTerrainClasses();
    installTerrainServices();
    // Placed symbols are scaled by their corner handle here.
    VXQSymbol::setDefaultSizeHandleVisible(true);
    registerLibraryClasses();
    installLibraryServices();
    registerStyleEditorClasses();
    registerInspectorClasses();
    installInspectorServices();
    registerMediaClasses();
    installMediaServices();
    registerPanelsClasses();
    installPanelsServices();
    registerWindowsClasses();

    VLTMAppDelegate delegate;
    platform::Application::setDelegate(&delegate);
    if (!delegate.applicationWillFinishLaunching())
        return 1;
    // As on the desktop: files open before the launch finishes, an untitled map after it
    // when none did and the template chooser is not offering one.
    const bool opened = delegate.applicationOpenFiles(arguments.mid(1));
    delegate.applicationDidFinishLaunching();
    if (!opened && !delegate.showedTemplateBrowserAtLaunch())
        delegate.applicationOpenUntitledFile();
    QObject::connect(&app, &VLTMApplication::willTerminate, &delegate, &VLTMAppDelegate::applicationWillTerminate);
    const int status = app.exec();
    platform::WorkInFlight::stopAll();
    return status;
}
