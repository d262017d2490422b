#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/measurement/ZQMeasurementScaler.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>

using testsupport::ArchiveStub;
using testsupport::LogCapture;
using testsupport::roundTrip;

namespace {

ZQMeasurementPtr measurement(double value, ZQUnitLengthPtr unit)
{
    return ZQMeasurement::make(value, std::move(unit));
}

// Runs a test in an English locale, so formatted numbers are predictable.
class ZQMeasurementScalerInEnglish : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

} // namespace

TEST(ZQMeasurement, ConversionKeepsTheLengthAndEqualityNeedsTheSameUnit)
{
    const auto converted = [](double value, ZQUnitLengthPtr from, ZQUnitLengthPtr to) {
        return measurement(value, std::move(from))->measurementByConvertingToUnit(std::move(to))->value();
    };
    EXPECT_NEAR(converted(2.5, ZQUnitLength::kilometers(), ZQUnitLength::meters()), 2500.0, 1e-9);
    EXPECT_NEAR(converted(1, ZQUnitLength::miles(), ZQUnitLength::kilometers()), 1.609344, 1e-12);
    EXPECT_NEAR(converted(1, ZQUnitLength::nauticalMiles(), ZQUnitLength::meters()), 1852.0, 1e-9);
    EXPECT_NEAR(converted(1, ZQUnitLength::furlongs(), ZQUnitLength::rods()), 40.0, 1e-12);
    EXPECT_NEAR(converted(10, ZQUnitLength::centimeters(), ZQUnitLength::points()), 283.46456692913, 1e-9);

    const ZQMeasurementPtr oneKilometre = measurement(1, ZQUnitLength::kilometers());
    EXPECT_TRUE(oneKilometre->isEqualToMeasurement(measurement(1, ZQUnitLength::kilometers()).get()));
    EXPECT_FALSE(oneKilometre->isEqualToMeasurement(measurement(1000, ZQUnitLength::meters()).get()));
    EXPECT_FALSE(oneKilometre->isEqualToMeasurement(measurement(1.5, ZQUnitLength::kilometers()).get()));
    EXPECT_FALSE(oneKilometre->isEqualToMeasurement(nullptr));
}

TEST_F(ZQMeasurementScalerInEnglish, RatioConversionsAndDescriptionFollowBothSides)
{
    const ZQMeasurementScalerPtr scaler = ZQMeasurementScaler::fourCentimetersToOneKilometer();
    EXPECT_DOUBLE_EQ(scaler->ratio(), 25000.0);
    EXPECT_TRUE(scaler->reference()->isEqualToMeasurement(measurement(4, ZQUnitLength::centimeters()).get()));
    EXPECT_TRUE(scaler->representative()->isEqualToMeasurement(measurement(1, ZQUnitLength::kilometers()).get()));
    EXPECT_TRUE(scaler->isEqualToScaler(ZQMeasurementScaler::fourCentimetersToOneKilometer().get()));
    EXPECT_EQ(scaler->scaleDescription(), QStringLiteral("4 cm = 1 km"));
    // Same ratio, other numbers: a different scale to show.
    const auto doubled = ZQMeasurementScaler::make(measurement(8, ZQUnitLength::centimeters()), measurement(2, ZQUnitLength::kilometers()));
    EXPECT_DOUBLE_EQ(doubled->ratio(), 25000.0);
    EXPECT_FALSE(scaler->isEqualToScaler(doubled.get()));
    EXPECT_DOUBLE_EQ(ZQMeasurementScaler::make(measurement(1, ZQUnitLength::inches()), measurement(1, ZQUnitLength::miles()))->ratio(),
                     63360.0);
    EXPECT_EQ(ZQMeasurementScaler::make(measurement(3.21869, ZQUnitLength::centimeters()), measurement(0.5, ZQUnitLength::miles()))
                  ->scaleDescription(),
              QStringLiteral("3.21869 cm = 0.5 mi"));

    // Map to ground and back, in the units of each side.
    const ZQMeasurementPtr ground = scaler->measurementWithRepresentativeScale(*measurement(2, ZQUnitLength::centimeters()));
    EXPECT_TRUE(ground->unit()->isEqualToUnit(ZQUnitLength::kilometers().get()));
    EXPECT_NEAR(ground->value(), 0.5, 1e-12);
    const ZQMeasurementPtr map = scaler->measurementFromRepresentativeScale(*measurement(250, ZQUnitLength::meters()));
    EXPECT_TRUE(map->unit()->isEqualToUnit(ZQUnitLength::centimeters().get()));
    EXPECT_NEAR(map->value(), 1.0, 1e-12);
}

TEST(ZQMeasurementScaler, MeasurementsAndScalersRoundTripAndRepairDamagedArchives)
{
    const ZQMeasurementPtr tenth = measurement(0.1, ZQUnitLength::yards());
    const auto decodedMeasurement = roundTrip<ZQMeasurement>(*tenth);
    ASSERT_TRUE(decodedMeasurement);
    EXPECT_TRUE(decodedMeasurement->isEqualToMeasurement(tenth.get())) << "doubles are stored exactly";
    const auto original = ZQMeasurementScaler::make(measurement(2.5, ZQUnitLength::inches()), measurement(3, ZQUnitLength::nauticalMiles()));
    const auto decoded = roundTrip<ZQMeasurementScaler>(*original);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isEqualToScaler(original.get()));
    EXPECT_DOUBLE_EQ(decoded->ratio(), original->ratio());

    LogCapture log;
    ArchiveStub damaged;
    damaged.values.insert(QStringLiteral("ZQMeasurement_value"), qInf());
    const auto repairedMeasurement = std::dynamic_pointer_cast<ZQMeasurement>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(damaged.archiveAs(QStringLiteral("ZQMeasurement"))));
    ASSERT_TRUE(repairedMeasurement);
    EXPECT_EQ(repairedMeasurement->value(), 0.0);
    EXPECT_TRUE(repairedMeasurement->unit()->isEqualToUnit(ZQUnitLength::points().get()));
    ArchiveStub onlyReference;
    onlyReference.objects.insert(QStringLiteral("ZQMScaler_reference"), measurement(2, ZQUnitLength::millimeters()));
    const auto repaired = std::dynamic_pointer_cast<ZQMeasurementScaler>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(onlyReference.archiveAs(QStringLiteral("ZQMeasurementScaler"))));
    ASSERT_TRUE(repaired);
    EXPECT_TRUE(repaired->reference()->isEqualToMeasurement(measurement(2, ZQUnitLength::millimeters()).get()));
    EXPECT_TRUE(repaired->representative()->isEqualToMeasurement(measurement(1, ZQUnitLength::kilometers()).get()));
    for (const char* logged : {"non-finite measurement value", "missing unit of length", "missing representative measurement"})
        EXPECT_TRUE(log.contains(QString::fromLatin1(logged))) << logged;
}
