#pragma once

// The drawing framework's user preferences: one value for the whole process, read by the classes
// that follow a preference and replaced as a whole by the application (which keeps it in the user
// defaults). The initialisers are the framework's own values, those of a new installation.

#include <QSizeF>

struct QMetaObject;

struct VXDrawingPreferences {
    // Drawing. Shadows stop growing with the view beyond shadowScaleLimit (0: no limit).
    bool shouldAntialias = true;
    bool willDrawShadows = true;
    double shadowScaleLimit = 0.0;
    QSizeF controlKnobSize{6, 6};
    bool showsDirectControls = true;
    bool displaysSizeInfoWhenDragging = true;
    bool dimensionGuidesEnabled = false;

    // Styles.
    bool styleSharingEnabled = true;
    bool stylesAreSharableByDefault = false;

    // Paths. A freehand stroke is simplified to within freehandEpsilon points.
    bool onPathHitDetectionPriority = false;
    bool autoClosesPath = false;
    bool combinesEndPointsOfClosedPath = true;
    double freehandEpsilon = 2.0;

    // Text.
    bool allowsInlineImages = false;
    bool returnInsertsNewline = true;
    bool startEditingOnObjectCreation = true;

    // Editing. A click of the selection tool in an inactive layer's object activates that layer
    // with layerAutoActivation; levelsOfUndo 0 keeps every step.
    bool moveOperatesOnAllLayers = false;
    bool selectionShownWhenInactive = false;
    bool snapToGridOnGridVisible = false;
    bool layerAutoActivation = false;
    bool metadataChangesAreUndoable = true;
    int levelsOfUndo = 0;

    // Views.
    bool scrollwheelZoomEnabled = true;
    bool scrollwheelInverted = false;
    bool trackpadGesturesEnabled = true;

    // Files: SVG filters skipped on import; the class that keeps a new layer's objects.
    bool ignoresSVGFilterElements = false;
    const QMetaObject* layerStorageClass = indexedLayerStorage();

    static constexpr double kMaximumShadowScaleLimit = 64.0;

    bool operator==(const VXDrawingPreferences&) const = default;

    static const VXDrawingPreferences& current();
    // Makes `preferences` current. Values no class could use are refused (the current one stays:
    // a negative or non-finite freehand epsilon or knob size, a storage class that is no object
    // storage) or brought into range (undo levels below 0, the shadow limit). Open views redraw
    // when a value they draw with changed; a change of style sharing is announced.
    static void setCurrent(const VXDrawingPreferences& preferences);
    // Hands a copy of the current preferences to `change`, then makes the result current.
    template <class Change>
    static void edit(Change&& change)
    {
        VXDrawingPreferences preferences = current();
        change(preferences);
        setCurrent(preferences);
    }

    static const QMetaObject* indexedLayerStorage();
};
