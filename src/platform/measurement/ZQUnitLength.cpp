#include "platform/measurement/ZQUnitLength.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"

#include <array>

namespace {

constexpr double kPointsPerInch = 72.0;
constexpr double kPointsPerMillimetre = kPointsPerInch / 25.4;

const QString kSymbolKey = QStringLiteral("ZQUnitLength_symbol");

struct UnitDefinition {
    const char* fullName;
    const char* symbol;
    double pointsPerUnit;
};

// In the order of the class functions.
enum UnitIndex {
    Points,
    Millimetres,
    Centimetres,
    Metres,
    Kilometres,
    Inches,
    Feet,
    Yards,
    Rods,
    Furlongs,
    Miles,
    NauticalMiles,
    UnitCount
};

constexpr std::array<UnitDefinition, UnitCount> kDefinitions{{
    {"points", "pt", 1.0},
    {"millimetres", "mm", kPointsPerMillimetre},
    {"centimetres", "cm", kPointsPerMillimetre * 10.0},
    {"metres", "m", kPointsPerMillimetre * 1000.0},
    {"kilometres", "km", kPointsPerMillimetre * 1000000.0},
    {"inches", "in", kPointsPerInch},
    {"feet", "ft", kPointsPerInch * 12.0},
    {"yards", "yd", kPointsPerInch * 36.0},
    {"rods", "rd", kPointsPerInch * 198.0},
    {"furlongs", "fur", kPointsPerInch * 7920.0},
    {"miles", "mi", kPointsPerInch * 63360.0},
    {"nautical miles", "NM", kPointsPerMillimetre * 1852000.0},
}};

const UnitDefinition* definitionWithSymbol(const QString& symbol)
{
    for (const UnitDefinition& definition : kDefinitions) {
        if (symbol == QLatin1String(definition.symbol))
            return &definition;
    }
    return nullptr;
}

// One shared instance per unit, made on first use.
ZQUnitLengthPtr sharedUnit(UnitIndex index)
{
    static const std::array<ZQUnitLengthPtr, UnitCount> units = [] {
        std::array<ZQUnitLengthPtr, UnitCount> made;
        for (int i = 0; i < UnitCount; ++i)
            made[i] = ZQUnitLength::unitWithSymbol(QString::fromLatin1(kDefinitions[i].symbol));
        return made;
    }();
    return units[index];
}

} // namespace

ZQUnitLength::ZQUnitLength()
{
    const UnitDefinition& point = kDefinitions[Points];
    adopt(point.fullName, point.symbol, point.pointsPerUnit);
}

void ZQUnitLength::adopt(const char* fullName, const char* symbol, double pointsPerUnit)
{
    m_fullName = QString::fromLatin1(fullName);
    m_symbol = QString::fromLatin1(symbol);
    m_pointsPerUnit = pointsPerUnit;
}

QList<ZQUnitLengthPtr> ZQUnitLength::menuUnits()
{
    return {millimeters(), centimeters(), meters(), kilometers(), nullptr, inches(),
            feet(),        yards(),       miles(),  nauticalMiles(), nullptr, points()};
}

ZQUnitLengthPtr ZQUnitLength::unitWithSymbol(const QString& symbol)
{
    const UnitDefinition* definition = definitionWithSymbol(symbol);
    if (!definition)
        return nullptr;
    auto unit = std::make_shared<ZQUnitLength>();
    unit->adopt(definition->fullName, definition->symbol, definition->pointsPerUnit);
    return unit;
}

ZQUnitLengthPtr ZQUnitLength::points()
{
    return sharedUnit(Points);
}
ZQUnitLengthPtr ZQUnitLength::millimeters()
{
    return sharedUnit(Millimetres);
}
ZQUnitLengthPtr ZQUnitLength::centimeters()
{
    return sharedUnit(Centimetres);
}
ZQUnitLengthPtr ZQUnitLength::meters()
{
    return sharedUnit(Metres);
}
ZQUnitLengthPtr ZQUnitLength::kilometers()
{
    return sharedUnit(Kilometres);
}
ZQUnitLengthPtr ZQUnitLength::inches()
{
    return sharedUnit(Inches);
}
ZQUnitLengthPtr ZQUnitLength::feet()
{
    return sharedUnit(Feet);
}
ZQUnitLengthPtr ZQUnitLength::yards()
{
    return sharedUnit(Yards);
}
ZQUnitLengthPtr ZQUnitLength::rods()
{
    return sharedUnit(Rods);
}
ZQUnitLengthPtr ZQUnitLength::furlongs()
{
    return sharedUnit(Furlongs);
}
ZQUnitLengthPtr ZQUnitLength::miles()
{
    return sharedUnit(Miles);
}
ZQUnitLengthPtr ZQUnitLength::nauticalMiles()
{
    return sharedUnit(NauticalMiles);
}

bool ZQUnitLength::isEqualToUnit(const ZQUnitLength* other) const
{
    return other && (other == this || other->m_symbol == m_symbol);
}

std::shared_ptr<ZQObject> ZQUnitLength::copy() const
{
    return unitWithSymbol(m_symbol);
}

void ZQUnitLength::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeString(m_symbol, kSymbolKey);
}

void ZQUnitLength::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const QString symbol = coder.decodeString(kSymbolKey);
    if (const UnitDefinition* definition = definitionWithSymbol(symbol))
        adopt(definition->fullName, definition->symbol, definition->pointsPerUnit);
    else
        ZQLogObjCMethod(QStringLiteral("unknown unit of length \"%1\", using points").arg(symbol));
}
