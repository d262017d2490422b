#pragma once

// What new map documents start with: paper size and margins, map scale, drawing units,
// symbol prescale and page layout, kept in the user defaults under the keys below (a stored
// value that does not read gives the fallback), and whether drawings modulate their rendering
// quality while they change (kept for the run only).

#include "mapscale/VXQMapScale.h"
#include "platform/measurement/ZQUnitLength.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QSizeF>

inline const QString kVXDocumentDefaultSize = QStringLiteral("kVXDocumentDefaultSize");
inline const QString kVXDocumentDefaultMargins = QStringLiteral("kVXDocumentDefaultMargins");
inline const QString kVXDocumentDefaultDrawingScale_Quorvane2 = QStringLiteral("kVXDocumentDefaultDrawingScale_Quorvane2");
inline const QString kVXDocumentDrawingUnitsDefault = QStringLiteral("kVXDocumentDrawingUnitsDefault");
inline const QString kVXDocumentPrescaleDefault = QStringLiteral("kVXDocumentPrescaleDefault");
inline const QString kDefaultPrintInfo = QStringLiteral("kDefaultPrintInfo");

class MapDocumentDefaults {
public:
    // A4 portrait without a usable stored size.
    static QSizeF drawingSize();
    static void setDrawingSize(QSizeF size);
    // Half an inch all round without usable stored margins.
    static QMarginsF drawingMargins();
    static void setDrawingMargins(const QMarginsF& margins);
    // Never null: the stored scale, or VXQMapScale::defaultScale().
    static VXQMapScalePtr drawingScale();
    // Null is ignored.
    static void setDrawingScale(const VXQMapScalePtr& scale);
    // Centimetres without stored units; null is ignored.
    static ZQUnitLengthPtr drawingUnits();
    static void setDrawingUnits(const ZQUnitLengthPtr& units);
    // 1 without a positive stored factor.
    static double prescale();
    static void setPrescale(double prescale);
    // A4 portrait with half-inch margins without a stored layout.
    static QPageLayout printInfo();
    static bool qualityModulation();
    static void setQualityModulation(bool flag);
};
