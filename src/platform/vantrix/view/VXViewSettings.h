#pragma once

// Preferences of the drawing views that no view reads yet: pinch and swipe gestures of a
// trackpad zooming and scrolling, a click on an object of an inactive layer making that layer
// active, and guides showing an object's dimensions while it is dragged. They are kept here,
// where the views will read them, so the preferences can already be set and kept.

class VXViewSettings {
public:
    static bool trackpadGesturesEnabled();
    static void setTrackpadGesturesEnabled(bool enabled);
    static bool layerAutoActivationDefault();
    static void setLayerAutoActivationDefault(bool activates);
    static bool dimensionGuidesEnabled();
    static void setDimensionGuidesEnabled(bool enabled);
};
