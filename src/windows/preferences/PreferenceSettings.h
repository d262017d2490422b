#pragma once

// The preferences that classes keep for themselves (VXStyle::shouldAntialias and the like),
// made to last beyond one run: each has a user-defaults key under which the value the class
// kept is stored whenever the preferences change it. At launch the stored values are handed
// back to the classes, through their setters, so whatever a class refuses or clamps stays out.
// When the stored preferences are discarded (a reset, which removes every key), the classes
// get back the values they had before any was applied.
//
// Settings the preferences write as plain user defaults (keys the application reads where it
// needs them) are not listed here, except the three that the drawing framework keeps in class
// state: scroll-wheel zoom and its sense, and the layers' storage class.

#include <QString>
#include <QVariant>

inline const QString kVXDrawingDisableScrollwheelZoomPrefsKey = QStringLiteral("kVXDrawingDisableScrollwheelZoomPrefsKey");
inline const QString kVXDrawingScrollwheelSensePrefsKey = QStringLiteral("kVXDrawingScrollwheelSensePrefsKey");
inline const QString kQVNLInternalStorageClass = QStringLiteral("QVNL_INTERNAL_STORAGE_CLASS");

namespace PreferenceSettings {

// Keys of the class-kept settings.
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

// The value the class keeps now (a bool, int or double); invalid for an unknown key.
QVariant value(const QString& key);
// Hands `value` to the class and stores what it kept.
void setValue(const QString& key, const QVariant& value);

// Remembers the classes' own values, hands them the stored ones, and from then on follows
// discarded preferences. Launch calls it once; calling it again does nothing.
void install();
// Every class-kept value: stored when there is one, else the class's value from before install.
void applyStoredValues();

} // namespace PreferenceSettings
