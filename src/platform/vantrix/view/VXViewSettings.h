#pragma once

// Preferences of the drawing views: a click of the selection tool on an object of an inactive
// layer making that layer active (the tool controller reads it). Two no view reads yet, kept
// here so the preferences can already be set and kept: pinch and swipe gestures of a trackpad
// zooming and scrolling, and guides showing an object's dimensions while it is dragged.

class VXViewSettings {
public:
    static bool trackpadGesturesEnabled();
    static void setTrackpadGesturesEnabled(bool enabled);
    static bool layerAutoActivationDefault();
    static void setLayerAutoActivationDefault(bool activates);
    static bool dimensionGuidesEnabled();
    static void setDimensionGuidesEnabled(bool enabled);
};
