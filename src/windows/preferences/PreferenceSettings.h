#pragma once

// The drawing framework's preferences (VXDrawingPreferences) and the Style Dropper's, made to
// last beyond one run: each has a user-defaults key under which the value kept is stored
// whenever the preferences change it. At launch the stored values are applied as a whole, so
// whatever the framework refuses or clamps stays out. When the stored preferences are discarded
// (a reset, which removes every key), the values from before any was applied come back.
//
// Settings the preferences write as plain user defaults (keys the application reads where it
// needs them) are not listed here, except the three that the drawing framework keeps: scroll-
// wheel zoom and its sense, and the layers' storage class.

#include <QString>
#include <QVariant>

inline const QString kVXDrawingDisableScrollwheelZoomPrefsKey = QStringLiteral("kVXDrawingDisableScrollwheelZoomPrefsKey");
inline const QString kVXDrawingScrollwheelSensePrefsKey = QStringLiteral("kVXDrawingScrollwheelSensePrefsKey");
inline const QString kQVNLInternalStorageClass = QStringLiteral("QVNL_INTERNAL_STORAGE_CLASS");

namespace PreferenceSettings {

// Keys of the kept settings.
inline const QString kDisplaysSizeInfoWhenDragging = QStringLiteral("kVXDrawableObjectDisplaysSizeInfoWhenDragging");
inline const QString kAllowsInlineImages = QStringLiteral("kVXTextShapeAllowsInlineImages");
inline const QString kMetadataChangesAreUndoable = QStringLiteral("kVXDrawableObjectMetadataChangesAreUndoable");
inline const QString kShouldAntialias = QStringLiteral("kVXStyleShouldAntialias");
inline const QString kWillDrawShadows = QStringLiteral("kVXStyleWillDrawShadows");
inline const QString kDefaultLevelsOfUndo = QStringLiteral("kVXDrawingDocumentDefaultLevelsOfUndo");
inline const QString kOnPathHitDetectionPriority = QStringLiteral("kVXDrawablePathOnPathHitDetectionPriority");
inline const QString kAutoClosesPath = QStringLiteral("kVXDrawablePathAutoClosesPath");
inline const QString kPerformsResetOnSelection = QStringLiteral("kVXQStylePickUpToolPerformsResetOnSelection");
inline const QString kReturnInsertsNewline = QStringLiteral("kVXTextShapeReturnInsertsNewline");
inline const QString kFreehandEpsilon = QStringLiteral("kVXDrawablePathFreehandEpsilon");
inline const QString kControlKnobSize = QStringLiteral("kVXKnobControlKnobSize");
inline const QString kShadowScaleLimit = QStringLiteral("kVXShadowScaleLimit");
inline const QString kCombinesEndPoints = QStringLiteral("kVXDrawablePathCombinesEndPointsOfClosedPath");
inline const QString kIgnoresFilterElements = QStringLiteral("kVXStyleIgnoresFilterElements");
inline const QString kMoveOperatesOnAllLayers = QStringLiteral("kVXSelectAndEditToolMoveOperatesOnAllLayers");
inline const QString kSnapToGridOnGridVisible = QStringLiteral("kVXDrawingSnapToGridOnGridVisible");
inline const QString kLayerAutoActivation = QStringLiteral("kVXViewControllerLayerAutoActivation");
inline const QString kStartEditingOnObjectCreation = QStringLiteral("kVXTextShapeStartEditingOnObjectCreation");
inline const QString kStyleSharingEnabled = QStringLiteral("kVXStyleStyleSharingEnabled");
inline const QString kStylesSharableByDefault = QStringLiteral("kVXStyleStylesAreSharableByDefault");
inline const QString kDimensionGuidesEnabled = QStringLiteral("kVXDimensionGuidesEnabled");
inline const QString kShowsDirectControls = QStringLiteral("kVXDrawableShapeShowsDirectControls");
inline const QString kTrackpadGesturesEnabled = QStringLiteral("kZQZoomViewTrackpadGesturesEnabled");

// The value kept now (a bool, int or double); invalid for an unknown key.
QVariant value(const QString& key);
// Applies `value` and stores what was kept.
void setValue(const QString& key, const QVariant& value);

// Remembers the values from before, applies the stored ones, and from then on follows
// discarded preferences. Launch calls it once; calling it again does nothing.
void install();
// Every kept value: stored when there is one, else the value from before install.
void applyStoredValues();

} // namespace PreferenceSettings
