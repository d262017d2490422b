#include "mapscale/VXQMapScale.h"

#include "mapscale/VXQMeasurement.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <QHash>
#include <QLocale>
#include <cmath>

namespace {

const QString kScalerKey = QStringLiteral("VXQMapScale_ZQMScaler");
const QString kLegacyNumeratorKey = QStringLiteral("VXQMapScale_numerator");
const QString kLegacyDenominatorKey = QStringLiteral("VXQMapScale_denominator");

constexpr double kFeetPerChain = 66.0;

constexpr auto makeScale = &VXQMapScale::makeWithReferenceMeasurementRepresentedMeasurement;

bool isPositiveAndFinite(double value)
{
    return value > 0.0 && std::isfinite(value);
}

ZQUnitLengthPtr legacyMetricUnit(quint32 measure)
{
    switch (measure) {
    case 1: return ZQUnitLength::millimeters();
    case 1000: return ZQUnitLength::meters();
    case 1000000: return ZQUnitLength::kilometers();
    default: return ZQUnitLength::centimeters();
    }
}

ZQUnitLengthPtr legacyImperialUnit(quint32 measure)
{
    switch (measure) {
    case 12: return ZQUnitLength::feet();
    case 36: return ZQUnitLength::yards();
    case 198: return ZQUnitLength::rods();
    case 7920: return ZQUnitLength::furlongs();
    case 63360: return ZQUnitLength::miles();
    default: return ZQUnitLength::inches();
    }
}

} // namespace

VXQMapScale::VXQMapScale()
    : m_scaler(ZQMeasurementScaler::fourCentimetersToOneKilometer())
{
}

bool VXQMapScale::isUsable(const ZQMeasurementScaler& scaler)
{
    return isPositiveAndFinite(scaler.reference()->value()) && isPositiveAndFinite(scaler.representative()->value())
        && isPositiveAndFinite(scaler.ratio());
}

VXQMapScalePtr VXQMapScale::makeWithReferenceMeasurementRepresentedMeasurement(
    ZQMeasurementPtr reference, ZQMeasurementPtr represented)
{
    ZQ_ASSERT(reference && represented, QStringLiteral("invalid measurements (nil)"));
    ZQMeasurementScalerPtr scaler = ZQMeasurementScaler::make(std::move(reference), std::move(represented));
    if (!isUsable(*scaler)) {
        ZQLogObjCMethod(QStringLiteral("refused map scale %1: both sides and the ratio must be positive and finite")
                            .arg(scaler->scaleDescription()));
        return nullptr;
    }
    auto mapScale = std::make_shared<VXQMapScale>();
    mapScale->m_scaler = std::move(scaler);
    return mapScale;
}

VXQMapScalePtr VXQMapScale::defaultScale()
{
    return std::make_shared<VXQMapScale>();
}

ZQMeasurementPtr VXQMapScale::measurementWithLegacyMeasure(const VXQMeasurement& legacy)
{
    const double value = legacy.value();
    switch (legacy.measurementSystem()) {
    case kMetricMeasurementSystem: return ZQMeasurement::make(value, legacyMetricUnit(legacy.measure()));
    case kImperialMeasurementSystem:
        // There is no chain unit of length; a chain is 66 feet.
        if (legacy.measure() == 792)
            return ZQMeasurement::make(value * kFeetPerChain, ZQUnitLength::feet());
        return ZQMeasurement::make(value, legacyImperialUnit(legacy.measure()));
    case kNauticalMilesMeasurementSystem: return ZQMeasurement::make(value, ZQUnitLength::nauticalMiles());
    default: return ZQMeasurement::make(value, ZQUnitLength::points());
    }
}

VXQMapScalePtr VXQMapScale::mapScaleWithLegacyNumeratorDenominator(
    const VXQMeasurement& numerator, const VXQMeasurement& denominator)
{
    return makeScale(measurementWithLegacyMeasure(numerator), measurementWithLegacyMeasure(denominator));
}

bool VXQMapScale::isEqualToMapScale(const VXQMapScale* other) const
{
    return other && (other == this || m_scaler->isEqualToScaler(other->m_scaler.get()));
}

ZQMeasurementPtr VXQMapScale::convertToRepresentedMeasurement(const ZQMeasurement& measurement) const
{
    return m_scaler->measurementWithRepresentativeScale(measurement);
}

ZQMeasurementPtr VXQMapScale::convertToReferenceMeasurement(const ZQMeasurement& measurement) const
{
    return m_scaler->measurementFromRepresentativeScale(measurement);
}

QString VXQMapScale::scaleString() const
{
    return m_scaler->scaleDescription();
}

QString VXQMapScale::stringValue() const
{
    return QStringLiteral("%1 (1:%2)").arg(scaleString(), QLocale().toString(std::rint(scale()), 'f', 0));
}

QString VXQMapScale::description() const
{
    return ZQObject::description() + ' ' + stringValue();
}

double VXQMapScale::unitBase() const
{
    static const QHash<QString, double> bases{
        {QStringLiteral("mi"), 1},
        {QStringLiteral("yd"), 220},
        {QStringLiteral("ft"), 250},
        {QStringLiteral("in"), 7920},
        {QStringLiteral("NM"), 1},
        {QStringLiteral("km"), 1},
        {QStringLiteral("m"), 250},
        {QStringLiteral("cm"), 2500},
        {QStringLiteral("mm"), 25000},
        {QStringLiteral("pt"), 50000},
    };
    return bases.value(representedMeasurement()->unit()->symbol(), 0.0);
}

double VXQMapScale::labelPitchSpanInRange(double smallest, double largest) const
{
    return labelPitchForLengthInRange(referenceMeasurement()->lengthInPoints(), smallest, largest);
}

double VXQMapScale::labelPitchForLengthInRange(double points, double smallest, double largest)
{
    if (!isPositiveAndFinite(points) || !(largest > 0.0))
        return 0.0;
    double span = points;
    while (span < smallest) {
        span *= 2.0;
        if (!std::isfinite(span))
            return 0.0;
    }
    while (span > largest && span >= smallest)
        span /= 2.0;
    return span;
}

VXQMapScalePtr VXQMapScale::copyMapScale() const
{
    return makeScale(referenceMeasurement(), representedMeasurement());
}

std::shared_ptr<ZQObject> VXQMapScale::copy() const
{
    return copyMapScale();
}

VXQMapScalePtr VXQMapScale::mapScaleWithReferenceUnits(const ZQUnitLengthPtr& units) const
{
    ZQ_ASSERT(units, QStringLiteral("invalid reference units (nil)"));
    if (units->isEqualToUnit(referenceMeasurement()->unit().get()))
        return copyMapScale();
    return makeScale(referenceMeasurement()->measurementByConvertingToUnit(units), representedMeasurement());
}

VXQMapScalePtr VXQMapScale::mapScaleWithRepresentativeUnits(const ZQUnitLengthPtr& units) const
{
    ZQ_ASSERT(units, QStringLiteral("invalid representative units (nil)"));
    if (units->isEqualToUnit(representedMeasurement()->unit().get()))
        return copyMapScale();
    return makeScale(referenceMeasurement(), representedMeasurement()->measurementByConvertingToUnit(units));
}

VXQMapScalePtr VXQMapScale::mapScaleWithRepresentativeUnitsAndSimilarMagnitude(const ZQUnitLengthPtr& units) const
{
    ZQ_ASSERT(units, QStringLiteral("invalid representative units (nil)"));
    if (units->isEqualToUnit(representedMeasurement()->unit().get()))
        return copyMapScale();
    const double converted = representedMeasurement()->measurementByConvertingToUnit(units)->value();
    const double represented = 0.5 * std::pow(10.0, std::rint(std::log10(converted)));
    const ZQMeasurementPtr& reference = referenceMeasurement();
    return makeScale(ZQMeasurement::make(reference->value() * represented / converted, reference->unit()),
        ZQMeasurement::make(represented, units));
}

VXQMapScalePtr VXQMapScale::mapScaleWithReferenceValueKeepingScaleFactor(double value, bool keepRatio) const
{
    const ZQUnitLengthPtr& referenceUnit = referenceMeasurement()->unit();
    ZQMeasurementPtr represented = keepRatio ? ZQMeasurement::make(scale() * value, referenceUnit)
                                                   ->measurementByConvertingToUnit(representedMeasurement()->unit())
                                             : representedMeasurement();
    return makeScale(ZQMeasurement::make(value, referenceUnit), std::move(represented));
}

VXQMapScalePtr VXQMapScale::mapScaleWithRepresentativeValueKeepingScaleFactor(double value, bool keepRatio) const
{
    const ZQUnitLengthPtr& representedUnit = representedMeasurement()->unit();
    ZQMeasurementPtr reference = keepRatio ? ZQMeasurement::make(value / scale(), representedUnit)
                                                 ->measurementByConvertingToUnit(referenceMeasurement()->unit())
                                           : referenceMeasurement();
    return makeScale(std::move(reference), ZQMeasurement::make(value, representedUnit));
}

VXQMapScalePtr VXQMapScale::mapScaleWithScale(double scale) const
{
    const ZQUnitLengthPtr& referenceUnit = referenceMeasurement()->unit();
    return makeScale(ZQMeasurement::make(1.0, referenceUnit),
        ZQMeasurement::make(scale, referenceUnit)->measurementByConvertingToUnit(representedMeasurement()->unit()));
}

VXQMapScalePtr VXQMapScale::mapScaleByNormalizing() const
{
    // Each step sets one side to 1, leaving the other above 1, so at most two happen.
    VXQMapScalePtr adjusted;
    if (referenceMeasurement()->value() < 1.0)
        adjusted = mapScaleWithReferenceValueKeepingScaleFactor(1.0, true);
    else if (representedMeasurement()->value() < 1.0)
        adjusted = mapScaleWithRepresentativeValueKeepingScaleFactor(1.0, true);
    else
        return copyMapScale();
    return adjusted ? adjusted->mapScaleByNormalizing() : nullptr;
}

void VXQMapScale::setScale(double)
{
    ZQLogObjCMethod(QStringLiteral("VXQMapScale is immutable and -setScale: is no longer supported. Please revise "
                                   "calling code."));
}

void VXQMapScale::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeObject(m_scaler.get(), kScalerKey);
}

void VXQMapScale::initWithCoder(platform::KeyedUnarchiver& coder)
{
    if (coder.containsValueForKey(kScalerKey)) {
        ZQMeasurementScalerPtr scaler = coder.decodeObjectOfClass<ZQMeasurementScaler>(kScalerKey);
        if (scaler && isUsable(*scaler))
            m_scaler = std::move(scaler);
        else
            ZQLogObjCMethod(QStringLiteral("unusable map scale in the archive, using 4 cm : 1 km"));
        return;
    }
    const auto numerator = coder.decodeObjectOfClass<VXQMeasurement>(kLegacyNumeratorKey);
    const auto denominator = coder.decodeObjectOfClass<VXQMeasurement>(kLegacyDenominatorKey);
    if (!numerator && !denominator)
        return;
    if (!numerator || !denominator) {
        ZQLogObjCMethod(QStringLiteral("incomplete legacy map scale, using 4 cm : 1 km"));
        return;
    }
    if (VXQMapScalePtr converted = mapScaleWithLegacyNumeratorDenominator(*numerator, *denominator)) {
        m_scaler = converted->m_scaler;
        ZQLogObjCMethod(QStringLiteral("updating legacy map scale to %1").arg(converted->description()));
    }
}
