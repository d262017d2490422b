#include "panels/PanelsServicesInstallation.h"

#include "app/VLTMAppDelegate.h"
#include "panels/search/DocumentSearch.h"
#include "panels/search/SmartSearchTable.h"

void installPanelsServices()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    DocumentSearch::installForMapDocuments();
    VLTMAppDelegate::setSavedSearchesSteps(&SmartSearchTable::loadSmartSearches, &SmartSearchTable::saveSmartSearches);
}
