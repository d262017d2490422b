#pragma once

// The user's preferences that classes follow, as one typed value: the drawing framework's
// (VXDrawingPreferences, read by the framework's classes) and the Style Dropper's (the tool's
// own state). The application keeps it in the user defaults, one key per preference: at launch
// install() applies the stored values over those from before, leaving damaged ones out; apply()
// hands a value to the classes and stores, under their keys, the preferences that changed, as
// the classes kept them; when the stored preferences are discarded (a reset removes every key),
// the values from before come back.
//
// Settings the preferences window writes as plain user defaults (keys the application reads
// where it needs them) are not part of it.

#include "platform/vantrix/settings/VXDrawingPreferences.h"

#include <QString>

inline const QString kVXDrawingDisableScrollwheelZoomPrefsKey = QStringLiteral("kVXDrawingDisableScrollwheelZoomPrefsKey");
inline const QString kVXDrawingScrollwheelSensePrefsKey = QStringLiteral("kVXDrawingScrollwheelSensePrefsKey");
inline const QString kQVNLInternalStorageClass = QStringLiteral("QVNL_INTERNAL_STORAGE_CLASS");

struct QuorvaneSettings {
    VXDrawingPreferences drawing;
    bool styleDropperResetsSelection = false;

    // Moves reach the selections of every layer, and those selections stay visible while
    // their layers are inactive: one preference.
    void setMovesReachAllLayers(bool on) { drawing.moveOperatesOnAllLayers = drawing.selectionShownWhenInactive = on; }

    bool operator==(const QuorvaneSettings&) const = default;

    static QuorvaneSettings current();
    static void apply(const QuorvaneSettings& settings);
    // Hands a copy of the current settings to `change`, then applies the result.
    template <class Change>
    static void edit(Change&& change)
    {
        QuorvaneSettings settings = current();
        change(settings);
        apply(settings);
    }

    // Remembers the values from before, applies the stored ones, and from then on follows
    // discarded preferences. Launch calls it once; calling it again does nothing.
    static void install();
    // The values from before install() with the usable stored ones over them, applied.
    static void applyStoredValues();

    // Keys of the preferences stored in their own shape (besides the three above).
    static inline const QString kDisplaysSizeInfoWhenDragging = QStringLiteral("kVXDrawableObjectDisplaysSizeInfoWhenDragging");
    static inline const QString kAllowsInlineImages = QStringLiteral("kVXTextShapeAllowsInlineImages");
    static inline const QString kMetadataChangesAreUndoable = QStringLiteral("kVXDrawableObjectMetadataChangesAreUndoable");
    static inline const QString kShouldAntialias = QStringLiteral("kVXStyleShouldAntialias");
    static inline const QString kWillDrawShadows = QStringLiteral("kVXStyleWillDrawShadows");
    static inline const QString kDefaultLevelsOfUndo = QStringLiteral("kVXDrawingDocumentDefaultLevelsOfUndo");
    static inline const QString kOnPathHitDetectionPriority = QStringLiteral("kVXDrawablePathOnPathHitDetectionPriority");
    static inline const QString kAutoClosesPath = QStringLiteral("kVXDrawablePathAutoClosesPath");
    static inline const QString kPerformsResetOnSelection = QStringLiteral("kVXQStylePickUpToolPerformsResetOnSelection");
    static inline const QString kReturnInsertsNewline = QStringLiteral("kVXTextShapeReturnInsertsNewline");
    static inline const QString kFreehandEpsilon = QStringLiteral("kVXDrawablePathFreehandEpsilon");
    static inline const QString kControlKnobSize = QStringLiteral("kVXKnobControlKnobSize");
    static inline const QString kShadowScaleLimit = QStringLiteral("kVXShadowScaleLimit");
    static inline const QString kCombinesEndPoints = QStringLiteral("kVXDrawablePathCombinesEndPointsOfClosedPath");
    static inline const QString kIgnoresFilterElements = QStringLiteral("kVXStyleIgnoresFilterElements");
    static inline const QString kMoveOperatesOnAllLayers = QStringLiteral("kVXSelectAndEditToolMoveOperatesOnAllLayers");
    static inline const QString kSnapToGridOnGridVisible = QStringLiteral("kVXDrawingSnapToGridOnGridVisible");
    static inline const QString kLayerAutoActivation = QStringLiteral("kVXViewControllerLayerAutoActivation");
    static inline const QString kStartEditingOnObjectCreation = QStringLiteral("kVXTextShapeStartEditingOnObjectCreation");
    static inline const QString kStyleSharingEnabled = QStringLiteral("kVXStyleStyleSharingEnabled");
    static inline const QString kStylesSharableByDefault = QStringLiteral("kVXStyleStylesAreSharableByDefault");
    static inline const QString kDimensionGuidesEnabled = QStringLiteral("kVXDimensionGuidesEnabled");
    static inline const QString kShowsDirectControls = QStringLiteral("kVXDrawableShapeShowsDirectControls");
    static inline const QString kTrackpadGesturesEnabled = QStringLiteral("kZQZoomViewTrackpadGesturesEnabled");
};
