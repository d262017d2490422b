#pragma once

// The units terrain heights are shown in. Heights are stored in metres; a unit name selects
// the factor from metres to what is shown ("Feet" 3.281, any other name 1.0) and an
// abbreviation. The names offered live in the user default "kContourLayerAvailableUnits",
// written with "Metres" and "Feet" when absent.

#include <QStringList>

namespace ContourUnits {

inline const QString kAvailableUnitsKey = QStringLiteral("kContourLayerAvailableUnits");
inline const QString kMetres = QStringLiteral("Metres");
inline const QString kFeet = QStringLiteral("Feet");

QStringList availableUnits();
// Appends a name not yet in the list and writes the list back.
void addUnit(const QString& unit);
// "m", "ft." or "".
QString abbreviationForUnits(const QString& unit);
double factorForUnits(const QString& unit);

} // namespace ContourUnits
