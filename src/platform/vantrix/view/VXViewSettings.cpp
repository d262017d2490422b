#include "platform/vantrix/view/VXViewSettings.h"

namespace {
bool g_trackpadGestures = true;
bool g_layerAutoActivation = false;
bool g_dimensionGuides = false;
} // namespace

bool VXViewSettings::trackpadGesturesEnabled() { return g_trackpadGestures; }
void VXViewSettings::setTrackpadGesturesEnabled(bool enabled) { g_trackpadGestures = enabled; }
bool VXViewSettings::layerAutoActivationDefault() { return g_layerAutoActivation; }
void VXViewSettings::setLayerAutoActivationDefault(bool activates) { g_layerAutoActivation = activates; }
bool VXViewSettings::dimensionGuidesEnabled() { return g_dimensionGuides; }
void VXViewSettings::setDimensionGuidesEnabled(bool enabled) { g_dimensionGuides = enabled; }
