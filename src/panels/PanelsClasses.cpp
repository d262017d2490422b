#include "panels/PanelsClasses.h"

#include "app/sidebar/TabControllerRegistry.h"
#include "inspectors/InspectorClasses.h"
#include "library/LibraryClasses.h"
#include "panels/layers/VLTMLayersController.h"
#include "panels/export/VLTMExportOperation.h"
#include "panels/search/MPSearchQuery.h"
#include "panels/search/SmartSearchTable.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/foundation/ClassRegistry.h"

void registerPanelsClasses()
{
    registerInspectorClasses();
    registerLibraryClasses();
    platform::ClassRegistry::registerClass<MPSearchQuery>();
    platform::ClassRegistry::registerClass<MPSearchCriterion>();
    platform::ClassRegistry::registerClass<SearchRangeValue>();
    platform::ClassRegistry::registerClass<SearchIndexSetValue>();
    platform::ClassRegistry::registerClass<SmartSearchArchive>();
    platform::ClassRegistry::registerClass<VLTMExportOperation>();
    platform::ClassRegistry::registerClass<VXQSlice>();
    platform::ClassRegistry::registerClass<VLTMSlicesLayer>();
    TabControllerRegistry::registerTabControllerForIdentifier(kVLTMTabViewLayers,
                                                              [] { return VLTMLayersController::make(); });
}
