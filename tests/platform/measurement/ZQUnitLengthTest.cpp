#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/measurement/ZQUnitLength.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

using testsupport::ArchiveStub;
using testsupport::LogCapture;
using testsupport::roundTrip;

namespace {

struct UnitCase {
    ZQUnitLengthPtr (*unit)();
    const char* fullName;
    const char* symbol;
    double pointsPerUnit;
};

const UnitCase kUnits[] = {
    {&ZQUnitLength::points, "points", "pt", 1.0},
    {&ZQUnitLength::millimeters, "millimetres", "mm", 2.8346456692913},
    {&ZQUnitLength::centimeters, "centimetres", "cm", 28.346456692913},
    {&ZQUnitLength::meters, "metres", "m", 2834.6456692913},
    {&ZQUnitLength::kilometers, "kilometres", "km", 2834645.6692913},
    {&ZQUnitLength::inches, "inches", "in", 72.0},
    {&ZQUnitLength::feet, "feet", "ft", 864.0},
    {&ZQUnitLength::yards, "yards", "yd", 2592.0},
    {&ZQUnitLength::rods, "rods", "rd", 14256.0},
    {&ZQUnitLength::furlongs, "furlongs", "fur", 570240.0},
    {&ZQUnitLength::miles, "miles", "mi", 4561920.0},
    {&ZQUnitLength::nauticalMiles, "nautical miles", "NM", 5249763.7795},
};

} // namespace

TEST(ZQUnitLength, EveryUnitHasItsNameSymbolAndPointsPerUnit)
{
    for (const UnitCase& expected : kUnits) {
        const ZQUnitLengthPtr unit = expected.unit();
        SCOPED_TRACE(expected.symbol);
        EXPECT_EQ(unit->fullName(), QLatin1String(expected.fullName));
        EXPECT_EQ(unit->symbol(), QLatin1String(expected.symbol));
        EXPECT_NEAR(unit->conversionFactorForPoints(), expected.pointsPerUnit, expected.pointsPerUnit * 1e-11);
        EXPECT_EQ(unit, expected.unit()) << "class units are shared";
        EXPECT_TRUE(ZQUnitLength::unitWithSymbol(unit->symbol())->isEqualToUnit(unit.get()));
    }
    EXPECT_FALSE(ZQUnitLength::feet()->isEqualToUnit(ZQUnitLength::yards().get()));
    EXPECT_FALSE(ZQUnitLength::feet()->isEqualToUnit(nullptr));
    EXPECT_EQ(ZQUnitLength::unitWithSymbol(QStringLiteral("chains")), nullptr);
}

TEST(ZQUnitLength, ArchivesBySymbolAndRefusesUnknownSymbols)
{
    for (const UnitCase& expected : kUnits) {
        const auto decoded = roundTrip<ZQUnitLength>(*expected.unit());
        ASSERT_TRUE(decoded) << expected.symbol;
        EXPECT_TRUE(decoded->isEqualToUnit(expected.unit().get()));
        EXPECT_EQ(decoded->conversionFactorForPoints(), expected.unit()->conversionFactorForPoints());
    }

    LogCapture log;
    ArchiveStub stub;
    stub.values.insert(QStringLiteral("ZQUnitLength_symbol"), QStringLiteral("furlong-ish"));
    const auto decoded = std::dynamic_pointer_cast<ZQUnitLength>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("ZQUnitLength"))));
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isEqualToUnit(ZQUnitLength::points().get()));
    EXPECT_TRUE(log.contains(QStringLiteral("unknown unit of length \"furlong-ish\"")));
}
