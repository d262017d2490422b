#include "windows/WindowsClasses.h"

#include "app/AppClasses.h"
#include "app/WindowServices.h"
#include "windows/printing/ZQQuorvanePrintAccessoryController.h"
#include "windows/reposition/VLTMTransformAdjustmentView.h"
#include "windows/setup/QVNDrawingGridController.h"
#include "windows/sharing/DocumentSharingMenu.h"

void registerWindowsClasses()
{
    registerAppClasses();
    WindowServices& services = WindowServices::installed();
    services.makeDrawingSetupSheet = [] { return std::make_shared<QVNDrawingGridController>(); };
    services.makePrintOptionsTab = [](MapPrintOperation& operation) {
        return ZQQuorvanePrintAccessoryController::sharedPrintAccessoryController()->makeOptionsTabForOperation(
            operation);
    };
    services.showSharingMenu = &DocumentSharingMenu::showMenu;
    services.makeTransformAdjustmentView = &VLTMTransformAdjustmentView::overDrawingView;
}
