#pragma once

// The drawing set-up dictionary that the set-up sheet and the map document exchange: its keys
// and the rules that tie its sizes and margins to the drawing units.
//
// Sizes and margins are in drawing units; kQVNDrawingUnitConversionValue holds the points in
// one unit. kQVNDrawingSizeBaseValue is the size in points before printer margins come off.
// Kinds: numbers are doubles (a "single" holds a float's exact value), booleans, ints,
// QSizeF, QColor for grid lines, QBrush for the paper (a colour or a tiled image), the units
// and the map scale as ZQObjectPtr, a QImage for the document picture. Absent booleans and
// integers read as false and 0.

#include "mapscale/VXQMapScale.h"
#include "platform/measurement/ZQUnitLength.h"

#include <QBrush>
#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <QVariantMap>

inline const QString kQVNDrawingSizeBaseValue = QStringLiteral("kQVNDrawingSizeBaseValue");
inline const QString kQVNDrawingSizeHorizontalValue = QStringLiteral("kQVNDrawingSizeHorizontalValue");
inline const QString kQVNDrawingSizeVerticalValue = QStringLiteral("kQVNDrawingSizeVerticalValue");
inline const QString kQVNDrawingSizeCustomValue = QStringLiteral("kQVNDrawingSizeCustomValue");
inline const QString kQVNPortraitOrLandscape = QStringLiteral("kQVNPortraitOrLandscape");
inline const QString kQVNSubtractPaperMargins = QStringLiteral("kQVNSubtractPaperMargins");
inline const QString kQVNDrawingMarginTopValue = QStringLiteral("kQVNDrawingMarginTopValue");
inline const QString kQVNDrawingMarginLeftValue = QStringLiteral("kQVNDrawingMarginLeftValue");
inline const QString kQVNDrawingMarginRightValue = QStringLiteral("kQVNDrawingMarginRightValue");
inline const QString kQVNDrawingMarginBottomValue = QStringLiteral("kQVNDrawingMarginBottomValue");
inline const QString kQVNDrawingUnitConversionValue = QStringLiteral("kQVNDrawingUnitConversionValue");
inline const QString kQVNDrawingUnitStringValue = QStringLiteral("kQVNDrawingUnitStringValue");
inline const QString kQVNDrawingUnitAbbreviatedStringValue = QStringLiteral("kQVNDrawingUnitAbbreviatedStringValue");
inline const QString kQVNDrawingModernUnitsKey = QStringLiteral("kQVNDrawingModernUnitsKey");
inline const QString kQVNGridSpanMultiplierValue = QStringLiteral("kQVNGridSpanMultiplierValue");
inline const QString kQVNGridDivisionsValue = QStringLiteral("kQVNGridDivisionsValue");
inline const QString kQVNGridMajorsValue = QStringLiteral("kQVNGridMajorsValue");
inline const QString kQVNGridThemeColourValue = QStringLiteral("kQVNGridThemeColourValue");
inline const QString kQVNGridThemeSelectorValue = QStringLiteral("kQVNGridThemeSelectorValue");
inline const QString kQVNGridSpanColourValue = QStringLiteral("kQVNGridSpanColourValue");
inline const QString kQVNGridDivisionsColourValue = QStringLiteral("kQVNGridDivisionsColourValue");
inline const QString kQVNGridMajorsColourValue = QStringLiteral("kQVNGridMajorsColourValue");
inline const QString kQVNRulerLabelIntervalValue = QStringLiteral("kQVNRulerLabelIntervalValue");
inline const QString kQVNDrawingTweakMarginsFlagValue = QStringLiteral("kQVNDrawingTweakMarginsFlagValue");
inline const QString kQVNPrintGridFlagValue = QStringLiteral("kQVNPrintGridFlagValue");
inline const QString kQVNPaperColourValue = QStringLiteral("kQVNPaperColourValue");
inline const QString kQVNPaperColourPrintableValue = QStringLiteral("kQVNPaperColourPrintableValue");
inline const QString kQVNPaperColourImageNameValue = QStringLiteral("kQVNPaperColourImageNameValue");
inline const QString kQVNGridVisibleValue = QStringLiteral("kQVNGridVisibleValue");
inline const QString kQVNGridLockedValue = QStringLiteral("kQVNGridLockedValue");
inline const QString kQVNIndexGridMissing = QStringLiteral("kQVNIndexGridMissing");
inline const QString kQVNDrawingGridMissing = QStringLiteral("kQVNDrawingGridMissing");
inline const QString kQVNDocumentPrescale = QStringLiteral("kQVNDocumentPrescale");
inline const QString kQVNInitialPageIndexKey = QStringLiteral("kQVNInitialPageIndexKey");
inline const QString kQVNGridTypeValue = QStringLiteral("kQVNGridTypeValue");
inline const QString kQVNGridIsoShowVerticalsFlagValue = QStringLiteral("kQVNGridIsoShowVerticalsFlagValue");
inline const QString kQVNDrawingDocumentImage = QStringLiteral("kQVNDrawingDocumentImage");
inline const QString kQVNMapScaleInfoKey = QStringLiteral("QVNL_MAP_SCALE_INFO_KEY");

// The texture name of a plain paper colour.
inline const QString kQVNFixedColourTextureName = QStringLiteral("VX_FIXED_COLOUR");

namespace drawingsetup {

// Typed readers; a missing or mistyped value answers null (or an empty brush).
ZQUnitLengthPtr units(const QVariantMap& settings);
VXQMapScalePtr mapScale(const QVariantMap& settings);
QBrush paper(const QVariantMap& settings);
QColor colour(const QVariantMap& settings, const QString& key);
QSizeF baseSize(const QVariantMap& settings);

void setUnits(QVariantMap& settings, const ZQUnitLengthPtr& units);
void setMapScale(QVariantMap& settings, const VXQMapScalePtr& scale);

// Re-expresses sizes and margins in `units`: with F0 the stored factor and F the new one,
// margins, width and height become value x F0 / F and F is stored in single precision; the
// base size in points stays. The unit names are stored, and a map scale in the dictionary is
// re-expressed in the units. An equal factor changes no number.
void changeUnits(QVariantMap& settings, const ZQUnitLengthPtr& units);

// A width (or height) typed in drawing units, taken in single precision: stored, and the base
// and custom sizes become (W x factor, old base height). A value that is not a positive
// finite size, or one the drawing cannot take, is refused: false and nothing changes.
bool editDrawingWidth(QVariantMap& settings, double width);
bool editDrawingHeight(QVariantMap& settings, double height);

// A margin typed in drawing units under one of the four margin keys. Refused (false) when it
// is negative or not finite, or when the margins would leave no interior in the base size.
bool editMargin(QVariantMap& settings, const QString& marginKey, double value);

// Limits of the other typed values, each refused outside them.
bool isAcceptablePrescale(double prescale);
bool isAcceptableSpanMultiplier(double span);
bool isAcceptableGridCount(double count); // divisions, majors, ruler interval

// The margins in points: each single-precision margin times the single-precision factor.
QMarginsF marginsInPoints(const QVariantMap& settings);
// The base size, less `printerMargins` when the subtract flag is set.
QSizeF committedDrawingSize(const QVariantMap& settings, const QMarginsF& printerMargins);

} // namespace drawingsetup
