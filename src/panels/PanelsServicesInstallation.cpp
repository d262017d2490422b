#include "panels/PanelsServicesInstallation.h"

#include "app/sidebar/SidebarTabView.h"
#include "app/application/VLTMAppDelegate.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "inspectors/panes/VLTM_VXQSliceController.h"
#include "panels/dialogs/DocumentExport.h"
#include "panels/export/VLTMExportOperation.h"
#include "panels/search/DocumentSearch.h"
#include "panels/search/SmartSearchTable.h"
#include "panels/search/VXQSmartSelectTool.h"
#include "panels/slices/SliceInspection.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "panels/tabs/VLTMTabView.h"

void installPanelsServices()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    DocumentSearch::installForMapDocuments();
    DocumentExport::installForMapDocuments();
    VLTMAppDelegate::addToolRegistration(&VXQSmartSelectTool::registerWithRegistry);
    SidebarTabView::setFactory(&VLTMTabView::makeSidebarTabView);
    VLTMAppDelegate::setSavedSearchesSteps(&SmartSearchTable::loadSmartSearches, &SmartSearchTable::saveSmartSearches);
    ZQQuorvaneDocument::setExportOperationFactory([](const QVariantMap& info) -> ZQObjectPtr {
        return VLTMExportOperation::exportOperationWithRestorableStateInfo(info);
    });
    ZQQuorvaneDocument::setSlicesLayerFactory([] { return std::make_shared<VLTMSlicesLayer>(); });
    VLTM_VXQSliceController::installWithServices(std::make_shared<SliceInspection>());
}
