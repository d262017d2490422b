#include "style_editor/panes/StylePaneClasses.h"

#include "style_editor/panes/StyleComponentPaneRegistry.h"
#include "style_editor/panes/fills/ImagePanes.h"
#include "style_editor/panes/fills/VLTMStyleEditSub_VXFill.h"
#include "style_editor/panes/fills/VLTMStyleEditSub_VXGradientFill.h"
#include "style_editor/panes/fills/VLTMStyleEditSub_VXHatching.h"
#include "style_editor/panes/groups/GroupPanes.h"
#include "style_editor/panes/maps/MapRasterizerPanes.h"
#include "style_editor/panes/strokes/StrokeSubclassPanes.h"
#include "style_editor/panes/text/VLTMStyleEditSub_VXTextAdornment.h"

void registerStylePanes()
{
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXStroke>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXArrowStroke>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXZigZagStroke>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXRoughStroke>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXQTaperedStroke>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXQTaggedStroke>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXFill>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXZigZagFill>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXTilingFill>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXHatching>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXImageAdornment>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXPathDecorator>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXFillPattern>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXQCuttingAndEmbankmentRasterizer>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXQTunnelRasterizer>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXQBridgeRasterizer>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXGradientFill>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXRepeatTransformGroup>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXGloomGroup>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXCIFilterTypeBlurGroup>();
    StyleComponentPaneRegistry::registerPane<VLTMStyleEditSub_VXTextAdornment>();
}
