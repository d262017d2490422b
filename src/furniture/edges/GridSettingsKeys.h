#pragma once

// The keys of the index-grid settings dictionary that the grid, its labels and bands, the
// grid settings sheet and the drawing set-up exchange. Numbers are stored with the
// setIntValueForKey family (app/DictionaryUtilities.h); a missing entry reads 0 or NO.

#include <QString>

// The grid itself.
inline const QString kVXQMapGridSpanMultiplier = QStringLiteral("kVXQMapGridSpanMultiplier");
inline const QString kVXQMapGridDivisions = QStringLiteral("kVXQMapGridDivisions");
inline const QString kVXQMapGridMajors = QStringLiteral("kVXQMapGridMajors");
inline const QString kVXQMapGridColour = QStringLiteral("kVXQMapGridColour");
inline const QString kVXQMapGridShowsDivisions = QStringLiteral("kVXQMapGridShowsDivisions");
inline const QString kVXQMapGridEnabled = QStringLiteral("kVXQMapGridEnabled");
inline const QString kVXQMapGridBorderLineEnabled = QStringLiteral("kVXQMapGridBorderLineEnabled");
inline const QString kVXQMapGridHasLeftAnnotation = QStringLiteral("kVXQMapGridHasLeftAnnotation");
inline const QString kVXQMapGridHasRightAnnotation = QStringLiteral("kVXQMapGridHasRightAnnotation");
inline const QString kVXQMapGridHasTopAnnotation = QStringLiteral("kVXQMapGridHasTopAnnotation");
inline const QString kVXQMapGridHasBottomAnnotation = QStringLiteral("kVXQMapGridHasBottomAnnotation");

// Labels: one set per orientation, and one placement key for both.
inline const QString kVXQMapGridHorizontalStartValue = QStringLiteral("kVXQMapGridHorizontalStartValue");
inline const QString kVXQMapGridVerticalStartValue = QStringLiteral("kVXQMapGridVerticalStartValue");
inline const QString kVXQMapGridHorizontalIncrementValue = QStringLiteral("kVXQMapGridHorizontalIncrementValue");
inline const QString kVXQMapGridVerticalIncrementValue = QStringLiteral("kVXQMapGridVerticalIncrementValue");
inline const QString kVXQMapGridHorizontalAnnotationType = QStringLiteral("kVXQMapGridHorizontalAnnotationType");
inline const QString kVXQMapGridVerticalAnnotationType = QStringLiteral("kVXQMapGridVerticalAnnotationType");
inline const QString kVXQMapGridHorizontalAnnotationRotated = QStringLiteral("kVXQMapGridHorizontalAnnotationRotated");
inline const QString kVXQMapGridVerticalAnnotationRotated = QStringLiteral("kVXQMapGridVerticalAnnotationRotated");
inline const QString kVXQMapGridHorizontalAnnotationReversed =
    QStringLiteral("kVXQMapGridHorizontalAnnotationReversed");
inline const QString kVXQMapGridVerticalAnnotationReversed = QStringLiteral("kVXQMapGridVerticalAnnotationReversed");
inline const QString kVXQMapGridHorizontalDigits = QStringLiteral("kVXQMapGridHorizontalDigits");
inline const QString kVXQMapGridVerticalDigits = QStringLiteral("kVXQMapGridVerticalDigits");
inline const QString kVXQMapGridHorizontalAnnotationTextAttributes =
    QStringLiteral("kVXQMapGridHorizontalAnnotationTextAttributes");
inline const QString kVXQMapGridVerticalAnnotationTextAttributes =
    QStringLiteral("kVXQMapGridVerticalAnnotationTextAttributes");
inline const QString kVXQMapGridHorizontalAnnotationPlacement =
    QStringLiteral("kVXQMapGridHorizontalAnnotationPlacement");

// Bands.
inline const QString kVXQMapGridBorderWidth = QStringLiteral("kVXQMapGridBorderWidth");
inline const QString kVXQMapGridBorderOffset = QStringLiteral("kVXQMapGridBorderOffset");
inline const QString kVXQMapGridBorderFillColour = QStringLiteral("kVXQMapGridBorderFillColour");
inline const QString kVXQMapGridBorderAlternateFillColour = QStringLiteral("kVXQMapGridBorderAlternateFillColour");
inline const QString kVXQMapGridBorderIsAlternating = QStringLiteral("kVXQMapGridBorderIsAlternating");
inline const QString kVXQMapGridBorderExtendedMarkers = QStringLiteral("kVXQMapGridBorderExtendedMarkers");
inline const QString kVXQMapGridBorderOrdnanceSurveyStyle = QStringLiteral("kVXQMapGridBorderOrdnanceSurveyStyle");
inline const QString kVXQMapGridHasLeftBorder = QStringLiteral("kVXQMapGridHasLeftBorder");
inline const QString kVXQMapGridHasRightBorder = QStringLiteral("kVXQMapGridHasRightBorder");
inline const QString kVXQMapGridHasTopBorder = QStringLiteral("kVXQMapGridHasTopBorder");
inline const QString kVXQMapGridHasBottomBorder = QStringLiteral("kVXQMapGridHasBottomBorder");
