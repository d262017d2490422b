#include "mapscale/VXQMapScale.h"
#include "mapscale/VXQMapScaleOwner.h"
#include "mapscale/VXQMeasurement.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using testsupport::ArchiveStub;
using testsupport::LogCapture;
using testsupport::roundTrip;

namespace {

ZQMeasurementPtr length(double value, ZQUnitLengthPtr unit)
{
    return ZQMeasurement::make(value, std::move(unit));
}

VXQMapScalePtr mapScale(
    double reference, ZQUnitLengthPtr referenceUnit, double represented, ZQUnitLengthPtr representedUnit)
{
    return VXQMapScale::makeWithReferenceMeasurementRepresentedMeasurement(
        length(reference, std::move(referenceUnit)), length(represented, std::move(representedUnit)));
}

void expectSides(const VXQMapScalePtr& scale, double reference, const ZQUnitLengthPtr& referenceUnit,
    double represented, const ZQUnitLengthPtr& representedUnit)
{
    ASSERT_TRUE(scale);
    EXPECT_NEAR(scale->referenceMeasurement()->value(), reference, std::abs(reference) * 1e-9);
    EXPECT_EQ(scale->referenceMeasurement()->unit()->symbol(), referenceUnit->symbol());
    EXPECT_NEAR(scale->representedMeasurement()->value(), represented, std::abs(represented) * 1e-9);
    EXPECT_EQ(scale->representedMeasurement()->unit()->symbol(), representedUnit->symbol());
}

class VXQMapScaleInEnglish : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

VXQMeasurementPtr legacy(quint32 system, double value, quint32 measure)
{
    VXQMeasurementPtr made = VXQMeasurement::measurementWithSystem(system);
    made->setMeasure(measure);
    made->setValue(value);
    return made;
}

} // namespace

TEST_F(VXQMapScaleInEnglish, DefaultScaleAndStrings)
{
    const VXQMapScalePtr scale = VXQMapScale::defaultScale();
    EXPECT_DOUBLE_EQ(scale->scale(), 25000.0);
    EXPECT_EQ(scale->scaleString(), QStringLiteral("4 cm = 1 km"));
    EXPECT_EQ(scale->stringValue(), QStringLiteral("4 cm = 1 km (1:25,000)"));
    // The ratio is rounded to a whole number.
    EXPECT_EQ(mapScale(3, ZQUnitLength::centimeters(), 1, ZQUnitLength::kilometers())->stringValue(),
        QStringLiteral("3 cm = 1 km (1:33,333)"));
}

TEST(VXQMapScale, DerivedScalesKeepTheUnitsOrTheRatioAsAsked)
{
    const VXQMapScalePtr scale = VXQMapScale::defaultScale(); // 4 cm : 1 km
    const auto cm = ZQUnitLength::centimeters();
    const auto km = ZQUnitLength::kilometers();
    const std::tuple<const char*, VXQMapScalePtr, double, ZQUnitLengthPtr, double, ZQUnitLengthPtr, double> cases[] = {
        {"scale", scale->mapScaleWithScale(50000), 1, cm, 0.5, km, 50000},
        {"scale in inches", mapScale(1, ZQUnitLength::inches(), 1, ZQUnitLength::miles())->mapScaleWithScale(31680), 1,
            ZQUnitLength::inches(), 0.5, ZQUnitLength::miles(), 31680},
        {"reference units", scale->mapScaleWithReferenceUnits(ZQUnitLength::millimeters()), 40,
            ZQUnitLength::millimeters(), 1, km, 25000},
        {"ground units", scale->mapScaleWithRepresentativeUnits(ZQUnitLength::meters()), 4, cm, 1000,
            ZQUnitLength::meters(), 25000},
        // Similar magnitude: half a power of ten of the new unit (1 km is 0.62 mi and 1093.6 yd).
        {"miles", scale->mapScaleWithRepresentativeUnitsAndSimilarMagnitude(ZQUnitLength::miles()),
            4 * 0.5 / 0.621371192237334, cm, 0.5, ZQUnitLength::miles(), 25000},
        {"yards", scale->mapScaleWithRepresentativeUnitsAndSimilarMagnitude(ZQUnitLength::yards()), 1.8288, cm, 500,
            ZQUnitLength::yards(), 25000},
        {"reference keeping", scale->mapScaleWithReferenceValueKeepingScaleFactor(8, true), 8, cm, 2, km, 25000},
        {"reference free", scale->mapScaleWithReferenceValueKeepingScaleFactor(8, false), 8, cm, 1, km, 12500},
        {"ground keeping", scale->mapScaleWithRepresentativeValueKeepingScaleFactor(2, true), 8, cm, 2, km, 25000},
        {"ground free", scale->mapScaleWithRepresentativeValueKeepingScaleFactor(2, false), 4, cm, 2, km, 50000},
        {"normalized", mapScale(0.5, cm, 12.5, ZQUnitLength::meters())->mapScaleByNormalizing(), 1, cm, 25,
            ZQUnitLength::meters(), 2500},
        // Two adjustments: the reference to 1 leaves the ground side below 1.
        {"normalized twice", mapScale(0.5, cm, 0.002, km)->mapScaleByNormalizing(), 250, cm, 1, km, 400},
    };
    for (const auto& [name, derived, reference, referenceUnit, represented, representedUnit, ratio] : cases) {
        SCOPED_TRACE(name);
        expectSides(derived, reference, referenceUnit, represented, representedUnit);
        EXPECT_NEAR(derived->scale(), ratio, ratio * 1e-9);
    }
    for (const VXQMapScalePtr& same : {scale->mapScaleWithReferenceUnits(cm), scale->mapScaleWithRepresentativeUnits(km),
             scale->mapScaleWithRepresentativeUnitsAndSimilarMagnitude(km), scale->mapScaleByNormalizing()}) {
        EXPECT_NE(same, scale);
        EXPECT_TRUE(same->isEqualToMapScale(scale.get()));
    }
    EXPECT_THROW(scale->mapScaleWithReferenceUnits(nullptr), platform::AssertionFailure);
}

TEST(VXQMapScale, UnusableValuesAreRefusedAndLogged)
{
    const VXQMapScalePtr scale = VXQMapScale::defaultScale();
    for (double bad : {0.0, -1.0, qInf(), -qInf(), qQNaN()}) {
        SCOPED_TRACE(bad);
        LogCapture log;
        EXPECT_EQ(scale->mapScaleWithReferenceValueKeepingScaleFactor(bad, true), nullptr);
        EXPECT_EQ(scale->mapScaleWithReferenceValueKeepingScaleFactor(bad, false), nullptr);
        EXPECT_EQ(scale->mapScaleWithRepresentativeValueKeepingScaleFactor(bad, true), nullptr);
        EXPECT_EQ(scale->mapScaleWithRepresentativeValueKeepingScaleFactor(bad, false), nullptr);
        EXPECT_EQ(scale->mapScaleWithScale(bad), nullptr);
        EXPECT_EQ(mapScale(bad, ZQUnitLength::centimeters(), 1, ZQUnitLength::kilometers()), nullptr);
        EXPECT_EQ(mapScale(4, ZQUnitLength::centimeters(), bad, ZQUnitLength::kilometers()), nullptr);
        EXPECT_EQ(log.lines.size(), 7);
        EXPECT_TRUE(log.contains(QStringLiteral("refused map scale")));
    }
    // Sides that are fine alone but whose ratio overflows.
    EXPECT_EQ(mapScale(1e-300, ZQUnitLength::points(), 1e300, ZQUnitLength::kilometers()), nullptr);
    EXPECT_DOUBLE_EQ(scale->scale(), 25000.0);
}

TEST(VXQMapScale, EqualityAndTheRefusedSetter)
{
    const VXQMapScalePtr scale = VXQMapScale::defaultScale();
    EXPECT_FALSE(
        scale->isEqualToMapScale(mapScale(8, ZQUnitLength::centimeters(), 2, ZQUnitLength::kilometers()).get()));
    EXPECT_FALSE(scale->isEqualToMapScale(nullptr));
    const auto copy = std::dynamic_pointer_cast<VXQMapScale>(scale->copy());
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->isEqualToMapScale(scale.get()));

    LogCapture log;
    scale->setScale(50000);
    EXPECT_DOUBLE_EQ(scale->scale(), 25000.0);
    EXPECT_TRUE(log.contains(QStringLiteral("VXQMapScale is immutable")));
}

TEST(VXQMapScale, LabelPitch)
{
    const VXQMapScalePtr scale = VXQMapScale::defaultScale(); // 113.39 pt
    EXPECT_NEAR(scale->labelPitchSpanInRange(50, 100), 56.6929133858, 1e-9);
    EXPECT_NEAR(scale->labelPitchSpanInRange(50, 200), 113.385826772, 1e-9);
    // The last halving may end below the smallest pitch.
    EXPECT_NEAR(scale->labelPitchSpanInRange(60, 100), 56.6929133858, 1e-9);
    // A short reference doubles: 1 mm is 2.83 pt, 32 mm 90.7 pt.
    EXPECT_NEAR(mapScale(1, ZQUnitLength::millimeters(), 25, ZQUnitLength::meters())->labelPitchSpanInRange(50, 100),
        90.7086614173, 1e-9);

    // No doubling or halving ends for these: they answer 0 instead of hanging.
    for (double points : {0.0, -10.0, qInf(), qQNaN()})
        EXPECT_EQ(VXQMapScale::labelPitchForLengthInRange(points, 50, 100), 0.0) << points;
    EXPECT_EQ(VXQMapScale::labelPitchForLengthInRange(10, -5, 0), 0.0);
    EXPECT_EQ(VXQMapScale::labelPitchForLengthInRange(10, -5, -1), 0.0);
    EXPECT_EQ(VXQMapScale::labelPitchForLengthInRange(10, qInf(), 100), 0.0);
    const double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(VXQMapScale::labelPitchForLengthInRange(10, largest, largest), 0.0);
}

TEST(VXQMapScale, UnitBaseByRepresentedUnit)
{
    const QList<QPair<ZQUnitLengthPtr, double>> bases{{ZQUnitLength::miles(), 1}, {ZQUnitLength::yards(), 220},
        {ZQUnitLength::feet(), 250}, {ZQUnitLength::inches(), 7920}, {ZQUnitLength::nauticalMiles(), 1},
        {ZQUnitLength::kilometers(), 1}, {ZQUnitLength::meters(), 250}, {ZQUnitLength::centimeters(), 2500},
        {ZQUnitLength::millimeters(), 25000}, {ZQUnitLength::points(), 50000}, {ZQUnitLength::rods(), 0},
        {ZQUnitLength::furlongs(), 0}};
    for (const auto& [unit, base] : bases)
        EXPECT_EQ(mapScale(4, ZQUnitLength::centimeters(), 1, unit)->unitBase(), base) << qPrintable(unit->symbol());
}

TEST(VXQMapScale, LegacyMeasurementsMapToUnits)
{
    // System, measure, the unit it becomes and the factor on the value.
    const std::tuple<quint32, quint32, ZQUnitLengthPtr, double> cases[] = {
        {kMetricMeasurementSystem, 1, ZQUnitLength::millimeters(), 1},
        {kMetricMeasurementSystem, 1000000, ZQUnitLength::kilometers(), 1},
        {kMetricMeasurementSystem, 100, ZQUnitLength::centimeters(), 1},
        {kImperialMeasurementSystem, 198, ZQUnitLength::rods(), 1},
        {kImperialMeasurementSystem, 792, ZQUnitLength::feet(), 66}, // chains
        {kImperialMeasurementSystem, 7920, ZQUnitLength::furlongs(), 1},
        {kImperialMeasurementSystem, 5, ZQUnitLength::inches(), 1},
        {kNauticalMilesMeasurementSystem, 1, ZQUnitLength::nauticalMiles(), 1},
        {kQuartzMeasurementSystem, 1, ZQUnitLength::points(), 1},
    };
    for (const auto& [system, measure, unit, factor] : cases) {
        SCOPED_TRACE(testing::Message() << system << "/" << measure);
        const ZQMeasurementPtr mapped = VXQMapScale::measurementWithLegacyMeasure(*legacy(system, 2.5, measure));
        EXPECT_EQ(mapped->unit()->symbol(), unit->symbol());
        EXPECT_DOUBLE_EQ(mapped->value(), 2.5 * factor);
    }
    EXPECT_EQ(VXQMapScale::measurementWithLegacyMeasure(VXQMeasurement())->unit()->symbol(), QStringLiteral("pt"));
    expectSides(VXQMapScale::mapScaleWithLegacyNumeratorDenominator(
                    *legacy(kImperialMeasurementSystem, 1, 1), *legacy(kImperialMeasurementSystem, 2, 63360)),
        1, ZQUnitLength::inches(), 2, ZQUnitLength::miles());
}

TEST(VXQMapScale, ArchivesRoundTripUpdateLegacySidesAndRepairDamage)
{
    for (const VXQMapScalePtr& original :
        {VXQMapScale::defaultScale(), mapScale(2.5, ZQUnitLength::inches(), 3, ZQUnitLength::nauticalMiles())}) {
        const auto decoded = roundTrip<VXQMapScale>(*original);
        ASSERT_TRUE(decoded);
        EXPECT_TRUE(decoded->isEqualToMapScale(original.get()));
    }

    const auto decode = [](const QMap<QString, ZQObjectPtr>& objects) {
        ArchiveStub stub;
        stub.objects = objects;
        return std::dynamic_pointer_cast<VXQMapScale>(
            platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VXQMapScale"))));
    };
    const QString numerator = QStringLiteral("VXQMapScale_numerator");
    const QString denominator = QStringLiteral("VXQMapScale_denominator");
    const QString scaler = QStringLiteral("VXQMapScale_ZQMScaler");
    const QMap<QString, ZQObjectPtr> legacySides{
        {numerator, legacy(kMetricMeasurementSystem, 4, 10)}, {denominator, legacy(kMetricMeasurementSystem, 1, 1000000)}};
    {
        LogCapture log;
        const auto updated = decode(legacySides);
        ASSERT_TRUE(updated);
        EXPECT_TRUE(updated->isEqualToMapScale(VXQMapScale::defaultScale().get()));
        EXPECT_TRUE(log.contains(QStringLiteral("updating legacy map scale to <VXQMapScale: 0x")));
    }
    // The scaler wins over legacy entries.
    QMap<QString, ZQObjectPtr> both = legacySides;
    both.insert(scaler, ZQMeasurementScaler::make(length(1, ZQUnitLength::inches()), length(1, ZQUnitLength::miles())));
    EXPECT_DOUBLE_EQ(decode(both)->scale(), 63360.0);

    const std::tuple<const char*, QMap<QString, ZQObjectPtr>, bool> damaged[] = {
        {"empty", {}, false},
        {"zero reference",
            {{scaler,
                ZQMeasurementScaler::make(length(0, ZQUnitLength::centimeters()), length(1, ZQUnitLength::kilometers()))}},
            true},
        {"negative ground",
            {{scaler,
                ZQMeasurementScaler::make(length(4, ZQUnitLength::centimeters()), length(-1, ZQUnitLength::kilometers()))}},
            true},
        {"scaler of the wrong class", {{scaler, ZQUnitLength::miles()}}, true},
        {"one legacy side", {{numerator, legacy(kMetricMeasurementSystem, 4, 10)}}, true},
        {"zero legacy side",
            {{numerator, legacy(kMetricMeasurementSystem, 0, 10)},
                {denominator, legacy(kMetricMeasurementSystem, 1, 1000000)}},
            true},
    };
    for (const auto& [name, objects, logged] : damaged) {
        SCOPED_TRACE(name);
        LogCapture log;
        const auto decoded = decode(objects);
        ASSERT_TRUE(decoded);
        EXPECT_TRUE(decoded->isEqualToMapScale(VXQMapScale::defaultScale().get()));
        EXPECT_EQ(!log.lines.isEmpty(), logged);
    }
}

namespace {

class StandInDocument : public QObject, public VXQMapScaleOwner {
public:
    VXQMapScalePtr mapScale() const override { return m_mapScale; }
    void setMapScale(VXQMapScalePtr mapScale) override { m_mapScale = std::move(mapScale); }

private:
    VXQMapScalePtr m_mapScale = VXQMapScale::defaultScale();
};

} // namespace

TEST(VXQMapScaleOwner, DrawingsForwardToTheirOwner)
{
    StandInDocument document;
    EXPECT_TRUE(mapScaleOfDrawingOwner(&document)->isEqualToMapScale(VXQMapScale::defaultScale().get()));
    const VXQMapScalePtr larger = VXQMapScale::defaultScale()->mapScaleWithScale(10000);
    setMapScaleOfDrawingOwner(&document, larger);
    EXPECT_EQ(mapScaleOfDrawingOwner(&document), larger);

    QObject notAnOwner;
    LogCapture log;
    EXPECT_EQ(mapScaleOfDrawingOwner(&notAnOwner), nullptr);
    EXPECT_EQ(mapScaleOfDrawingOwner(nullptr), nullptr);
    setMapScaleOfDrawingOwner(nullptr, larger);
    EXPECT_EQ(log.lines.size(), 1);
}
