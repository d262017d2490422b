#include "platform/measurement/ZQTypedLength.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace {

// Exact symbols first, so that "NM" and "mm" stay apart; then any case ("KM", "Cm").
ZQUnitLengthPtr unitFromSymbol(const QString& symbol)
{
    if (ZQUnitLengthPtr unit = ZQUnitLength::unitWithSymbol(symbol))
        return unit;
    QList<ZQUnitLengthPtr> known = ZQUnitLength::menuUnits();
    known << ZQUnitLength::rods() << ZQUnitLength::furlongs();
    for (const ZQUnitLengthPtr& unit : std::as_const(known)) {
        if (unit && unit->symbol().compare(symbol, Qt::CaseInsensitive) == 0)
            return unit;
    }
    return nullptr;
}

} // namespace

std::optional<double> ZQTypedLength::numberFromText(const QString& text)
{
    bool ok = false;
    double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok)
        value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

std::optional<ZQTypedLength> ZQTypedLength::fromText(const QString& text)
{
    static const QRegularExpression kNumberThenSymbol(QStringLiteral("^(.*?)\\s*([A-Za-z]*)$"));
    const QRegularExpressionMatch match = kNumberThenSymbol.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const std::optional<double> value = numberFromText(match.captured(1));
    if (!value)
        return std::nullopt;
    const QString symbol = match.captured(2);
    if (symbol.isEmpty())
        return ZQTypedLength{*value, nullptr};
    ZQUnitLengthPtr unit = unitFromSymbol(symbol);
    if (!unit)
        return std::nullopt;
    return ZQTypedLength{*value, std::move(unit)};
}

double ZQTypedLength::valueInUnitOfPoints(double pointsPerUnit) const
{
    return unit ? value * unit->conversionFactorForPoints() / pointsPerUnit : value;
}
