#include "furniture/FurnitureClasses.h"

#include "app/services/MapDocumentServices.h"
#include "furniture/border/VXQBorderLayer.h"
#include "furniture/calibration/QVNCalibrationController.h"
#include "furniture/edges/VXQGridAnnotation.h"
#include "furniture/edges/VXQGridBorder.h"
#include "furniture/grid/VXQSquareAnnotatedGrid.h"
#include "furniture/ruler/VXQMeasureTool.h"
#include "furniture/ruler/VXQRuler.h"
#include "furniture/scalebar/VXQScaleBarElement.h"
#include "furniture/scalebar/VXQScaleBarShape.h"
#include "furniture/settings/VLQNMapGridSettingsController.h"
#include "platform/foundation/ClassRegistry.h"
#include "tracks/TrackClasses.h"

void registerFurnitureClasses()
{
    registerTrackClasses();
    platform::ClassRegistry::registerClass<VXQGridAnnotation>();
    platform::ClassRegistry::registerClass<VXQGridBorder>();
    platform::ClassRegistry::registerClass<VXQBorderLayer>();
    platform::ClassRegistry::registerClass<VXQSquareAnnotatedGrid>();
    platform::ClassRegistry::registerClass<VXQScaleBarElement>();
    platform::ClassRegistry::registerClass<VXQScaleBarShape>();
    platform::ClassRegistry::registerClass<VXQRuler>();
    platform::ClassRegistry::registerClass<QVNCalibrationController>();
    addMeasureToolRegistration();
    // Installed with the classes: a program that has the index grid class makes new maps with it.
    MapDocumentServices& services = MapDocumentServices::installed();
    services.makeDefaultMapGrid = [] { return VXQSquareAnnotatedGrid::defaultMapGrid(); };
    services.editGridSettings = [](QWidget* window, const std::shared_ptr<VXGridLayer>& grid) {
        VLQNMapGridSettingsController::mapGridSettingsController()->beginModalWithParentWindowForGridLayer(window, grid);
    };
}
