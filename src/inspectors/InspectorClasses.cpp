#include "inspectors/InspectorClasses.h"

#include "app/sidebar/TabControllerRegistry.h"
#include "app/services/WindowServices.h"
#include "furniture/FurnitureClasses.h"
#include "furniture/scalebar/pane/VLTM_VXQScaleBarShapeController.h"
#include "inspectors/attributes/VLQNAttributesController.h"
#include "inspectors/buffer/BufferableObjects.h"
#include "inspectors/buffer/ZQQuorvaneBufferController.h"
#include "inspectors/duplicate/ZQLinearDuplicateController.h"
#include "inspectors/duplicate/ZQPolarDuplicateController.h"
#include "inspectors/geometry/GeometryPaneRegistry.h"
#include "inspectors/geometry/VLTMGeometryController.h"
#include "inspectors/panes/ShapePanes.h"
#include "inspectors/panes/TrackPanes.h"
#include "inspectors/panes/VLTM_VXDrawableObjectController.h"
#include "inspectors/panes/VLTM_VXImageShapeController.h"
#include "inspectors/panes/VLTM_VXQSymbolController.h"
#include "inspectors/pseudo/LayerOperationPanes.h"
#include "inspectors/pseudo/VLTM_ZArrangerViewController.h"
#include "inspectors/text/VLTMTextController.h"
#include "inspectors/text/VLTM_VXTextShapeController.h"
#include "style_editor/StyleEditorClasses.h"
#include "style_editor/panes/text/VLTMStyleEditSub_VXTextAdornment.h"

void registerInspectorClasses()
{
    registerStyleEditorClasses();
    registerFurnitureClasses();
    // The order a tab makes its panes in.
    GeometryPaneRegistry::registerPaneForKey<VLTM_VXDrawableObjectController>(QStringLiteral("VXDrawableObject"));
    GeometryPaneRegistry::registerPaneForKey<VLTM_VXRoundRectShapeController>(QStringLiteral("VXRoundRectShape"));
    GeometryPaneRegistry::registerPaneForKey<VLTM_VXRegularPolygonPathController>(QStringLiteral("VXRegularPolygonPath"));
    GeometryPaneRegistry::registerPaneForKey<VLTM_VXArcPathController>(QStringLiteral("VXArcPath"));
    GeometryPaneRegistry::registerPaneForKey<VLTM_VXImageShapeController>(QStringLiteral("VXImageShape"));
    GeometryPaneRegistry::registerPaneForKey<VLTM_VXDrawablePathController>(QStringLiteral("VXDrawablePath"));
    GeometryPaneRegistry::registerPaneForKey<VLTM_ZArrangerViewController>(VLTMGeometryController::kArrangerKey);
    GeometryPaneRegistry::registerPaneForKey<VLTM_BooleanOpsViewController>(VLTMGeometryController::kBooleansKey);
    GeometryPaneRegistry::registerPaneForKey<VLTM_AlignDistributeController>(VLTMGeometryController::kAlignmentKey);
    GeometryPaneRegistry::registerPaneForKey<VLTM_VXQTrackController>(QStringLiteral("VXQTrack"));
    GeometryPaneRegistry::registerPaneForKey<VLTM_VXQScaleBarShapeController>(QStringLiteral("VXQScaleBarShape"));
    GeometryPaneRegistry::registerPaneForKey<VLTM_VXQSymbolController>(QStringLiteral("VXQSymbol"));
    TabControllerRegistry::registerTabControllerForIdentifier(VLTMGeometryController::kTabIdentifier,
                                                              [] { return VLTMGeometryController::make(); });
    TabControllerRegistry::registerTabControllerForIdentifier(VLTMTextController::kTabIdentifier,
                                                              [] { return VLTMTextController::make(); });
    VLTMStyleEditSub_VXTextAdornment::setTextControllerFactory(
        [] { return std::make_shared<VLTM_VXTextShapeController>(); });
    TabControllerRegistry::registerTabControllerForIdentifier(VLQNAttributesController::kTabIdentifier,
                                                              [] { return VLQNAttributesController::make(); });
    registerBufferableObjects();
    WindowServices& services = WindowServices::installed();
    services.makeLinearDuplicateSheet = [] { return std::make_shared<ZQLinearDuplicateController>(); };
    services.makePolarDuplicateSheet = [] { return std::make_shared<ZQPolarDuplicateController>(); };
    services.makeBufferSheet = [] { return std::make_shared<ZQQuorvaneBufferController>(); };
}
