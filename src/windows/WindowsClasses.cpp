#include "windows/WindowsClasses.h"

#include "app/services/WindowServices.h"
#include "inspectors/InspectorClasses.h"
#include "media/MediaClasses.h"
#include "panels/PanelsClasses.h"
#include "platform/ui/Application.h"
#include "style_editor/StyleEditorClasses.h"
#include "windows/help/VLTMWebViewWindowController.h"
#include "windows/palettes/QVNToolsController.h"
#include "windows/palettes/VLTMSlicesToolPaletteController.h"
#include "windows/preferences/QVNPrefsController.h"
#include "windows/preferences/QuorvaneSettings.h"
#include "windows/printing/ZQQuorvanePrintAccessoryController.h"
#include "windows/reposition/VLTMTransformAdjustmentView.h"
#include "windows/setup/QVNDrawingGridController.h"
#include "windows/sharing/DocumentSharingMenu.h"
#include "windows/templates/QVNTemplatePickerController.h"
#include "windows/welcome/TMSVVideoSplashController.h"

void registerWindowsClasses()
{
    registerPanelsClasses();
    registerInspectorClasses();
    registerStyleEditorClasses();
    registerMediaClasses();
    WindowServices& services = WindowServices::installed();
    services.makeDrawingSetupSheet = [] { return std::make_shared<QVNDrawingGridController>(); };
    services.makePrintOptionsTab = [](MapPrintOperation& operation) {
        return ZQQuorvanePrintAccessoryController::sharedPrintAccessoryController()->makeOptionsTabForOperation(
            operation);
    };
    services.showSharingMenu = &DocumentSharingMenu::showMenu;
    services.makeTransformAdjustmentView = &VLTMTransformAdjustmentView::overDrawingView;
    services.showHelpPage = [](const QUrl& url, const QUrl& homePage, const QString& title) {
        VLTMWebViewWindowController* help = VLTMWebViewWindowController::sharedWebWindowController();
        if (!homePage.isEmpty())
            help->setHomePageURL(homePage);
        help->setFallbackTitle(title);
        help->openURL(url);
    };
    services.toggleToolPalette = [] {
        QVNToolsController* palette = QVNToolsController::sharedToolsController();
        QWidget* window = palette->window();
        if (window->isVisible()) {
            window->hide();
            return;
        }
        palette->setDelegate(platform::Application::delegate());
        window->show();
    };
    services.enableToolPalette = [] { QVNToolsController::sharedToolsController()->setEnabled(true); };
    services.restoreToolPaletteState = &QVNToolsController::restoreToolsControllerState;
    services.saveToolPaletteState = &QVNToolsController::saveToolsControllerState;
    VLTMSlicesToolPaletteController::sharedSlicesToolPalette();
    services.applyStoredPreferences = &QuorvaneSettings::install;
    services.showPreferences = [] { QVNPrefsController::sharedPrefsController()->showWindow(nullptr); };
    services.showWelcomeWindow = [] { TMSVVideoSplashController::sharedVideoSplashController()->showWindow(); };
    services.showsWelcomeWindowAtLaunch = &TMSVVideoSplashController::shouldDisplayWelcomeVideoAtLaunch;
    services.shouldShowTemplateChooserAtLaunch = &QVNTemplatePickerController::shouldDisplayTemplatePickerAtLaunch;
    services.showTemplateChooser = [](QObject* delegate) {
        QVNTemplatePickerController* chooser = QVNTemplatePickerController::templatePicker();
        chooser->setDelegate(delegate);
        chooser->showWindow(nullptr);
    };
}
