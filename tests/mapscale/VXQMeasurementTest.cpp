#include "mapscale/VXQMeasurement.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cmath>

using testsupport::LogCapture;

namespace {

VXQMeasurementPtr measurement(quint32 system, double value, quint32 measure = 1, bool normalizing = false)
{
    VXQMeasurementPtr made = VXQMeasurement::measurementWithSystem(system);
    made->setMeasure(measure);
    made->setValue(value);
    made->setNormalizeEnabled(normalizing);
    return made;
}

} // namespace

TEST(VXQMeasurementClass, UnitNamesAndNormalizingChains)
{
    const VXQMeasurementClass& metric = VXQMeasurementClass::metric();
    const VXQMeasurementClass& imperial = VXQMeasurementClass::imperial();
    const std::tuple<const VXQMeasurementClass&, quint32, const char*, const char*> names[] = {
        {metric, 10, "centimetres", "cm"}, {metric, 1000000, "kilometres", "km"}, {imperial, 198, "rods", "rd"},
        {imperial, 792, "chains", "ch"}, {imperial, 63360, "miles", "mi"},
        {VXQMeasurementClass::quartz(), 12345, "points", "pt"}, // any measure
        {VXQMeasurementClass::nauticalMiles(), 7, "nautical miles", "nmi"},
    };
    for (const auto& [measurementClass, measure, name, abbreviation] : names) {
        EXPECT_EQ(measurementClass.unitsStringForMeasure(measure), QLatin1String(name));
        EXPECT_EQ(measurementClass.abbreviationForMeasure(measure), QLatin1String(abbreviation));
    }
    // Off the tables: no name at all, except for the class without a system.
    EXPECT_TRUE(metric.unitsStringForMeasure(100).isNull());
    EXPECT_TRUE(imperial.abbreviationForMeasure(5).isNull());
    EXPECT_FALSE(VXQMeasurementClass::none().unitsStringForMeasure(3).isNull());

    using Steps = QList<QPair<quint32, quint32>>;
    const auto expectSteps = [](const Steps& steps, auto next) {
        for (const auto& [from, to] : steps)
            EXPECT_EQ(next(from), to) << from;
    };
    expectSteps({{1, 10}, {10, 1000}, {1000, 1000000}, {1000000, 1000000}, {100, 1}},
        [&](quint32 m) { return metric.nextHighestMeasure(m); });
    expectSteps(
        {{1000000, 1000}, {1000, 10}, {10, 1}, {77, 1}}, [&](quint32 m) { return metric.nextLowestMeasure(m); });
    expectSteps({{1, 12}, {12, 36}, {36, 63360}, {198, 792}, {792, 7920}, {7920, 63360}, {63360, 63360}, {5, 1}},
        [&](quint32 m) { return imperial.nextHighestMeasure(m); });
    expectSteps({{36, 12}, {198, 36}, {792, 198}, {7920, 792}, {63360, 36}, {12, 1}},
        [&](quint32 m) { return imperial.nextLowestMeasure(m); });
    EXPECT_EQ(VXQMeasurementClass::quartz().nextHighestMeasure(1), 1u);
    EXPECT_EQ(VXQMeasurementClass::nauticalMiles().nextLowestMeasure(1000), 1u);
}

TEST(VXQMeasurement, MeasureChangesKeepTheLengthAndNormalizingPicksTheLargestFittingUnit)
{
    const VXQMeasurementPtr length = measurement(kMetricMeasurementSystem, 2500);
    length->setMeasure(1000);
    EXPECT_DOUBLE_EQ(length->value(), 2.5);
    EXPECT_DOUBLE_EQ(length->valueWithMeasure(10), 250.0);
    EXPECT_THROW(length->setMeasure(0), platform::AssertionFailure);
    EXPECT_EQ(length->measure(), 1000u);

    const std::tuple<quint32, double, quint32, double, quint32> cases[] = {
        {kMetricMeasurementSystem, 1500, 1, 1.5, 1000},
        {kMetricMeasurementSystem, 0.5, 1, 0.5, 1},
        {kMetricMeasurementSystem, 0.5, 1000, 50, 10},
        {kMetricMeasurementSystem, 2000000, 1, 2, 1000000},
        {kImperialMeasurementSystem, 3600, 1, 100, 36},
        {kImperialMeasurementSystem, 63360, 1, 1, 63360},
        {kImperialMeasurementSystem, 3, 792, 66, 36}, // chains are never chosen
        {kQuartzMeasurementSystem, 5000, 1, 5000, 1},
    };
    for (const auto& [system, value, measure, expectedValue, expectedMeasure] : cases) {
        SCOPED_TRACE(testing::Message() << system << ": " << value << " x " << measure);
        const VXQMeasurementPtr original = measurement(system, value, measure, true);
        const VXQMeasurementPtr normalized = original->normalizedMeasurement();
        EXPECT_EQ(original->measure(), measure) << "the receiver is unchanged";
        EXPECT_NEAR(normalized->value(), expectedValue, 1e-9);
        EXPECT_EQ(normalized->measure(), expectedMeasure);
        original->normalize();
        EXPECT_EQ(original->measure(), expectedMeasure);
    }
    const VXQMeasurementPtr disabled = measurement(kMetricMeasurementSystem, 1500);
    disabled->normalize();
    EXPECT_EQ(disabled->measure(), 1u);
}

TEST(VXQMeasurement, ConversionBetweenSystems)
{
    const VXQMeasurementPtr inchInMillimetres = measurement(kMetricMeasurementSystem, 2.54, 10);
    EXPECT_EQ(inchInMillimetres->measurementWithMeasurementSystem(kMetricMeasurementSystem), inchInMillimetres);
    EXPECT_NEAR(inchInMillimetres->measurementWithMeasurementSystem(kImperialMeasurementSystem)->value(), 1.0, 1e-12);
    EXPECT_NEAR(inchInMillimetres->quartzValue(), 72.0, 1e-9);
    EXPECT_NEAR(inchInMillimetres->unitQuartzValue(), 28.346456692913, 1e-9);
    // Points per unit do not depend on the value, even when it is 0.
    EXPECT_NEAR(measurement(kImperialMeasurementSystem, 0, 12)->unitQuartzValue(), 864.0, 1e-7);
    EXPECT_NEAR(
        measurement(kImperialMeasurementSystem, 1)->ratio(measurement(kMetricMeasurementSystem, 50.8)), 2.0, 1e-12);

    const VXQMeasurementPtr miles = measurement(kImperialMeasurementSystem, 2, 63360);
    const VXQMeasurementPtr sameUnit = measurement(kImperialMeasurementSystem, 7, 63360);
    EXPECT_EQ(miles->convertMeasurement(sameUnit), sameUnit);
    const VXQMeasurementPtr inMiles = miles->convertMeasurement(measurement(kMetricMeasurementSystem, 1, 1000000));
    EXPECT_EQ(inMiles->measure(), 63360u);
    EXPECT_NEAR(inMiles->value(), 0.621371192237334, 1e-12);

    // A measurement of the same system in another unit is converted, not changed.
    const VXQMeasurementPtr yards = measurement(kImperialMeasurementSystem, 880, 36);
    EXPECT_NEAR(miles->convertMeasurement(yards)->value(), 0.5, 1e-12);
    EXPECT_EQ(yards->measure(), 36u);
    EXPECT_EQ(yards->value(), 880.0);

    EXPECT_DOUBLE_EQ(VXQMeasurement::multiplierForSourceSystemDestination(0, 1), 0.03937007874016);
    EXPECT_NEAR(VXQMeasurement::multiplierForSourceSystemDestination(1, 2), 72.0, 1e-9);
    EXPECT_EQ(VXQMeasurement::multiplierForSourceSystemDestination(3, 3), 1.0);
    EXPECT_EQ(VXQMeasurement::multiplierForSourceSystemDestination(kNoMeasurementSystem, 0), 0.0);
    EXPECT_EQ(VXQMeasurement::multiplierForSourceSystemDestination(9, 9), 0.0);
    EXPECT_EQ(VXQMeasurement::measurementWithSystem(4), nullptr);
}

TEST(VXQMeasurement, ConstrainingToPointLimits)
{
    // 1 mm (2.83 pt) doubles to 32 mm (90.7 pt), normalized to centimetres.
    const VXQMeasurementPtr millimetre = measurement(kMetricMeasurementSystem, 1);
    const VXQMeasurementPtr grown = millimetre->measurementConstrainedToQuartzLowerLimitUpperLimitByFactor(50, 100, 2);
    EXPECT_EQ(grown->measure(), 10u);
    EXPECT_NEAR(grown->value(), 3.2, 1e-12);
    EXPECT_TRUE(grown->normalizeEnabled());
    const VXQMeasurementPtr factorOne
        = millimetre->measurementConstrainedToQuartzLowerLimitUpperLimitByFactor(50, 100, 1);
    EXPECT_NEAR(factorOne->quartzValue(), grown->quartzValue(), 1e-9);

    // 1 km shrinks by tenths until it fits.
    const VXQMeasurementPtr shrunk = measurement(kMetricMeasurementSystem, 1, 1000000)
                                         ->measurementConstrainedToQuartzLowerLimitUpperLimitByFactor(100, 1000, 10);
    EXPECT_NEAR(shrunk->quartzValue(), 283.46456692913, 1e-6);

    // Too small, then too large after one step: the overshoot is kept.
    const VXQMeasurementPtr overshoot = measurement(kMetricMeasurementSystem, 10)
                                            ->measurementConstrainedToQuartzLowerLimitUpperLimitByFactor(50, 60, 10);
    EXPECT_NEAR(overshoot->quartzValue(), 283.46456692913, 1e-9);

    // Inside the limits, zero, negative or infinite: the receiver itself.
    for (double value : {20.0, 0.0, -5.0, qInf()}) {
        const VXQMeasurementPtr m = measurement(kMetricMeasurementSystem, value);
        EXPECT_EQ(m->measurementConstrainedToQuartzLowerLimitUpperLimitByFactor(50, 100, 2), m) << value;
    }
    // A factor barely above 1 gives up after a bounded number of steps.
    const VXQMeasurementPtr kilometre = measurement(kMetricMeasurementSystem, 1, 1000000);
    EXPECT_GT(kilometre->measurementConstrainedToQuartzLowerLimitUpperLimitByFactor(50, 100, 1 + 1e-12)->quartzValue(),
              100);
    EXPECT_THROW(millimetre->measurementConstrainedToQuartzLowerLimitUpperLimitByFactor(100, 100, 2),
        platform::AssertionFailure);
}

TEST(VXQMeasurement, StringsRoundToTwoPlaces)
{
    const VXQMeasurementPtr metres = measurement(kMetricMeasurementSystem, 1.5, 1000);
    EXPECT_EQ(metres->stringValueWithUnits(), QStringLiteral("1.50 metres"));
    EXPECT_EQ(metres->stringValueWithAbbreviatedUnits(), QStringLiteral("1.50 m"));
    EXPECT_EQ(
        measurement(kMetricMeasurementSystem, 1500, 1, true)->autoNormalizedStringValue(), QStringLiteral("1.50 m"));
    EXPECT_EQ(measurement(kMetricMeasurementSystem, 1500)->autoNormalizedStringValue(), QStringLiteral("1500.00 mm"));
    EXPECT_EQ(measurement(kImperialMeasurementSystem, 2.125, 792)->stringValueWithAbbreviatedUnits(),
        QStringLiteral("2.12 ch"));
}

TEST(VXQMeasurement, ArchiveKeepsSinglePrecisionAndRepairsDamage)
{
    const auto decoded = testsupport::roundTrip<VXQImperialMeasurement>(
        *measurement(kImperialMeasurementSystem, 0.1, 63360, true));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->measure(), 63360u);
    EXPECT_TRUE(decoded->normalizeEnabled());
    EXPECT_EQ(decoded->value(), double(0.1f));

    // Measure and value as stored, then as decoded; the value 1e300 is beyond single precision.
    const std::tuple<qint64, double, quint32, double> damaged[] = {
        {0, 2.0, 1, 2.0}, {-36, 2.0, 1, 2.0}, {qint64(1) << 33, 2.0, 1, 2.0}, {36, qQNaN(), 36, 0.0},
        {36, 1e300, 36, 0.0},
    };
    for (const auto& [measure, value, expectedMeasure, expectedValue] : damaged) {
        SCOPED_TRACE(testing::Message() << measure << " x " << value);
        LogCapture log;
        testsupport::ArchiveStub stub;
        stub.values.insert(QStringLiteral("VXQMeasurement_measure"), measure);
        stub.values.insert(QStringLiteral("VXQMeasurement_value"), value);
        const auto repaired
            = std::dynamic_pointer_cast<VXQImperialMeasurement>(platform::KeyedUnarchiver::unarchiveObjectWithData(
                stub.archiveAs(QStringLiteral("VXQImperialMeasurement"))));
        ASSERT_TRUE(repaired);
        EXPECT_EQ(repaired->measure(), expectedMeasure);
        EXPECT_EQ(repaired->value(), expectedValue);
        EXPECT_FALSE(log.lines.isEmpty());
    }
}
