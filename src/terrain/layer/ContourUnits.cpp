#include "terrain/layer/ContourUnits.h"

#include "platform/foundation/UserDefaults.h"

namespace ContourUnits {

QStringList availableUnits()
{
    platform::UserDefaults* defaults = platform::UserDefaults::standardUserDefaults();
    if (defaults->objectForKey(kAvailableUnitsKey).isValid()) {
        QStringList units;
        for (const QVariant& unit : defaults->arrayForKey(kAvailableUnitsKey))
            if (unit.typeId() == QMetaType::QString)
                units.append(unit.toString());
        return units;
    }
    const QStringList units{kMetres, kFeet};
    defaults->setObjectForKey(QVariant(units), kAvailableUnitsKey);
    return units;
}

void addUnit(const QString& unit)
{
    QStringList units = availableUnits();
    if (units.contains(unit))
        return;
    units.append(unit);
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(QVariant(units), kAvailableUnitsKey);
}

QString abbreviationForUnits(const QString& unit)
{
    if (unit == kMetres)
        return QStringLiteral("m");
    if (unit == kFeet)
        return QStringLiteral("ft.");
    return {};
}

double factorForUnits(const QString& unit)
{
    return unit == kFeet ? 3.281 : 1.0;
}

} // namespace ContourUnits
