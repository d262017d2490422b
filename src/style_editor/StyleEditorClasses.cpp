#include "style_editor/StyleEditorClasses.h"

#include "app/sidebar/TabControllerRegistry.h"
#include "app/application/VLTMAppDelegate.h"
#include "library/LibraryClasses.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "style_editor/dropper/VXQStylePickUpTool.h"
#include "style_editor/editor/VLTMStyleEditorController.h"
#include "style_editor/panes/StyleComponentPaneRegistry.h"
#include "style_editor/panes/StylePaneClasses.h"
#include "style_editor/panes/VLTMStyleComponentPlaceholder.h"

void registerStyleEditorClasses()
{
    registerLibraryClasses();
    StyleComponentPaneRegistry::registerPane<VLTMStyleComponentPlaceholder>();
    registerStylePanes();
    TabControllerRegistry::registerTabControllerForIdentifier(kVLTMTabViewStyle,
                                                              [] { return VLTMStyleEditorController::make(); });
    static const bool toolAdded = [] {
        VLTMAppDelegate::addToolRegistration([](VXToolRegistry& registry) {
            registry.registerDrawingToolWithName(VXQStylePickUpTool::make(), VXQStylePickUpTool::kToolName);
        });
        return true;
    }();
    Q_UNUSED(toolAdded);
}
