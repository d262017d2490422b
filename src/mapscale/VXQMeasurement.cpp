#include "mapscale/VXQMeasurement.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

const QString kMeasureKey = QStringLiteral("VXQMeasurement_measure");
const QString kValueKey = QStringLiteral("VXQMeasurement_value");
const QString kNormalizeEnabledKey = QStringLiteral("VXQMeasurement_normEnabled");

// A factor barely above 1 would otherwise creep towards the limits for ever.
constexpr int kMaximumConstrainSteps = 4096;

template <class T> VXQMeasurementPtr makeMeasurement()
{
    return std::make_shared<T>();
}

} // namespace

// --- Class side ---------------------------------------------------------------------

const VXQMeasurementClass& VXQMeasurementClass::none()
{
    static constexpr Unit anyMeasure{0, "", ""};
    static const VXQMeasurementClass measurementClass(
        {kNoMeasurementSystem, 1.0, {}, &anyMeasure, {}, {}, &makeMeasurement<VXQMeasurement>});
    return measurementClass;
}

const VXQMeasurementClass& VXQMeasurementClass::metric()
{
    static constexpr Unit units[] = {
        {1, "millimetres", "mm"},
        {10, "centimetres", "cm"},
        {1000, "metres", "m"},
        {1000000, "kilometres", "km"},
    };
    static constexpr Step higher[] = {{1, 10}, {10, 1000}, {1000, 1000000}, {1000000, 1000000}};
    static constexpr Step lower[] = {{1000000, 1000}, {1000, 10}};
    static const VXQMeasurementClass measurementClass(
        {kMetricMeasurementSystem, 1.0, units, nullptr, higher, lower, &makeMeasurement<VXQMetricMeasurement>});
    return measurementClass;
}

const VXQMeasurementClass& VXQMeasurementClass::imperial()
{
    // The abbreviations are the drawing framework's for these unit names.
    static constexpr Unit units[] = {
        {1, "inches", "in"},
        {12, "feet", "ft"},
        {36, "yards", "yd"},
        {198, "rods", "rd"},
        {792, "chains", "ch"},
        {7920, "furlongs", "fur"},
        {63360, "miles", "mi"},
    };
    // Normalizing goes inch, foot, yard, mile; rods, chains and furlongs are only ever set.
    static constexpr Step higher[]
        = {{1, 12}, {12, 36}, {36, 63360}, {198, 792}, {792, 7920}, {7920, 63360}, {63360, 63360}};
    static constexpr Step lower[] = {{36, 12}, {198, 36}, {792, 198}, {7920, 792}, {63360, 36}};
    static const VXQMeasurementClass measurementClass({kImperialMeasurementSystem, 0.03937007874016, units, nullptr,
        higher, lower, &makeMeasurement<VXQImperialMeasurement>});
    return measurementClass;
}

const VXQMeasurementClass& VXQMeasurementClass::quartz()
{
    static constexpr Unit anyMeasure{0, "points", "pt"};
    static const VXQMeasurementClass measurementClass(
        {kQuartzMeasurementSystem, 2.834645669291, {}, &anyMeasure, {}, {}, &makeMeasurement<VXQQuartzMeasurement>});
    return measurementClass;
}

const VXQMeasurementClass& VXQMeasurementClass::nauticalMiles()
{
    static constexpr Unit anyMeasure{0, "nautical miles", "nmi"};
    static const VXQMeasurementClass measurementClass({kNauticalMilesMeasurementSystem, 5.399568034557e-7, {},
        &anyMeasure, {}, {}, &makeMeasurement<VXQNauticalMilesMeasurement>});
    return measurementClass;
}

const VXQMeasurementClass::Unit* VXQMeasurementClass::unitForMeasure(quint32 measure) const
{
    for (const Unit& unit : d.units) {
        if (unit.measure == measure)
            return &unit;
    }
    return d.anyMeasure;
}

QString VXQMeasurementClass::unitsStringForMeasure(quint32 measure) const
{
    const Unit* unit = unitForMeasure(measure);
    return unit ? QString::fromLatin1(unit->name) : QString();
}

QString VXQMeasurementClass::abbreviationForMeasure(quint32 measure) const
{
    const Unit* unit = unitForMeasure(measure);
    return unit ? QString::fromLatin1(unit->abbreviation) : QString();
}

quint32 VXQMeasurementClass::stepFrom(std::span<const Step> steps, quint32 measure)
{
    for (const Step& step : steps) {
        if (step.from == measure)
            return step.to;
    }
    return 1;
}

quint32 VXQMeasurementClass::nextHighestMeasure(quint32 measure) const
{
    return stepFrom(d.higher, measure);
}

quint32 VXQMeasurementClass::nextLowestMeasure(quint32 measure) const
{
    return stepFrom(d.lower, measure);
}

VXQMeasurementPtr VXQMeasurementClass::make() const
{
    return d.factory();
}

// --- Class functions ----------------------------------------------------------------

const VXQMeasurementClass* VXQMeasurement::classForMeasurementSystem(quint32 system)
{
    switch (system) {
    case kMetricMeasurementSystem: return &VXQMeasurementClass::metric();
    case kImperialMeasurementSystem: return &VXQMeasurementClass::imperial();
    case kQuartzMeasurementSystem: return &VXQMeasurementClass::quartz();
    case kNauticalMilesMeasurementSystem: return &VXQMeasurementClass::nauticalMiles();
    default: return nullptr;
    }
}

VXQMeasurementPtr VXQMeasurement::measurementWithSystem(quint32 system)
{
    const VXQMeasurementClass* measurementClass = classForMeasurementSystem(system);
    return measurementClass ? measurementClass->make() : nullptr;
}

double VXQMeasurement::multiplierForSourceSystemDestination(quint32 source, quint32 destination)
{
    const VXQMeasurementClass* sourceClass = classForMeasurementSystem(source);
    const VXQMeasurementClass* destinationClass = classForMeasurementSystem(destination);
    if (!sourceClass || !destinationClass)
        return 0.0;
    if (source == destination)
        return 1.0;
    return destinationClass->baseMultiplier() / sourceClass->baseMultiplier();
}

// --- Instances ----------------------------------------------------------------------

VXQMeasurementPtr VXQMeasurement::self()
{
    return std::static_pointer_cast<VXQMeasurement>(shared_from_this());
}

VXQMeasurementPtr VXQMeasurement::copyMeasurement() const
{
    VXQMeasurementPtr copy = measurementClass().make();
    copy->m_measure = m_measure;
    copy->m_value = m_value;
    copy->m_normalizeEnabled = m_normalizeEnabled;
    return copy;
}

std::shared_ptr<ZQObject> VXQMeasurement::copy() const
{
    return copyMeasurement();
}

void VXQMeasurement::setValue(double value)
{
    announceChangeForKey(QStringLiteral("value"), [&] { m_value = value; });
}

void VXQMeasurement::setMeasure(quint32 measure)
{
    ZQ_ASSERT(measure > 0, QStringLiteral("measure must be positive"));
    if (measure == m_measure)
        return;
    announceChangeForKey(QStringLiteral("measure"), [&] {
        setValue(valueWithMeasure(measure));
        m_measure = measure;
    });
}

void VXQMeasurement::setNormalizeEnabled(bool enabled)
{
    announceChangeForKey(QStringLiteral("normalizeEnabled"), [&] { m_normalizeEnabled = enabled; });
}

double VXQMeasurement::valueWithMeasure(quint32 measure) const
{
    ZQ_ASSERT(measure > 0, QStringLiteral("measure must be positive"));
    return m_value * m_measure / measure;
}

VXQMeasurementPtr VXQMeasurement::measurementWithMeasurementSystem(quint32 system)
{
    if (system == measurementSystem())
        return self();
    VXQMeasurementPtr converted = measurementWithSystem(system);
    if (converted)
        converted->m_value = multiplierForSourceSystemDestination(measurementSystem(), system) * m_value * m_measure;
    return converted;
}

double VXQMeasurement::quartzValue() const
{
    return m_value * unitQuartzValue();
}

double VXQMeasurement::unitQuartzValue() const
{
    // Per unit rather than length / value, which is undefined for a value of 0.
    return multiplierForSourceSystemDestination(measurementSystem(), kQuartzMeasurementSystem) * m_measure;
}

VXQMeasurementPtr VXQMeasurement::convertMeasurement(const VXQMeasurementPtr& other)
{
    ZQ_ASSERT(other, QStringLiteral("invalid measurement (nil)"));
    if (other.get() == this || (other->measurementSystem() == measurementSystem() && other->m_measure == m_measure))
        return other;
    VXQMeasurementPtr converted = other->measurementWithMeasurementSystem(measurementSystem());
    if (!converted)
        return nullptr;
    // A measurement of our system comes back as `other` itself, which must not change.
    if (converted == other)
        converted = other->copyMeasurement();
    converted->setMeasure(m_measure);
    return converted;
}

VXQMeasurementPtr VXQMeasurement::measurementWithMultiplier(double multiplier) const
{
    VXQMeasurementPtr scaled = copyMeasurement();
    scaled->m_value = m_value * multiplier;
    return scaled;
}

double VXQMeasurement::ratio(const VXQMeasurementPtr& other)
{
    ZQ_ASSERT(other, QStringLiteral("invalid measurement (nil)"));
    const VXQMeasurementPtr converted = other->measurementWithMeasurementSystem(measurementSystem());
    if (!converted)
        return 0.0;
    return converted->valueWithMeasure(1) / valueWithMeasure(1);
}

void VXQMeasurement::normalize()
{
    if (!m_normalizeEnabled)
        return;
    const VXQMeasurementClass& measurementClass = this->measurementClass();
    const double total = m_value * m_measure;
    quint32 unit = 1;
    if (total > 1.0) {
        for (;;) {
            const quint32 next = measurementClass.nextHighestMeasure(unit);
            if (next == unit || total / next < 1.0)
                break;
            unit = next;
            if (!(total / next > 1.0))
                break;
        }
    }
    setMeasure(unit);
    setValue(total / unit);
}

VXQMeasurementPtr VXQMeasurement::normalizedMeasurement() const
{
    VXQMeasurementPtr normalized = copyMeasurement();
    normalized->normalize();
    return normalized;
}

VXQMeasurementPtr VXQMeasurement::measurementConstrainedToQuartzLowerLimitUpperLimitByFactor(
    double lower, double upper, double factor)
{
    ZQ_ASSERT(lower < upper, QStringLiteral("upper limit must be greater than lower limit"));
    double points = quartzValue();
    // An infinite length could be divided for ever without falling below the upper limit.
    if (!(points > 0.0) || !std::isfinite(points))
        return self();
    const double step = factor > 1.0 && std::isfinite(factor) ? factor : 2.0;
    const auto scaled = [](const VXQMeasurementPtr& measurement, double multiplier) {
        VXQMeasurementPtr result = measurement->measurementWithMultiplier(multiplier);
        result->setNormalizeEnabled(true);
        result->normalize();
        return result;
    };

    int shrinks = 0;
    int grows = 0;
    VXQMeasurementPtr constrained = self();
    for (int steps = 0; points > 0.0 && steps < kMaximumConstrainSteps; ++steps) {
        if (points > upper) {
            if (grows != 0)
                break;
            ++shrinks;
            constrained = scaled(constrained, 1.0 / step);
        } else if (points < lower) {
            if (shrinks != 0)
                break;
            ++grows;
            constrained = scaled(constrained, step);
        } else {
            break;
        }
        points = constrained->quartzValue();
    }
    return constrained;
}

// --- Strings ------------------------------------------------------------------------

QString VXQMeasurement::stringValue() const
{
    // The C library's rounding (2.125 gives "2.12"), which Qt's own formatting does not share.
    char text[352]; // the longest finite double in %.2f, with sign and terminator
    std::snprintf(text, sizeof text, "%.2f", m_value);
    return QString::fromLatin1(text);
}

QString VXQMeasurement::stringValueWithUnits() const
{
    return stringValue() + ' ' + unitsString();
}

QString VXQMeasurement::stringValueWithAbbreviatedUnits() const
{
    return stringValue() + ' ' + abbreviatedUnitsString();
}

QString VXQMeasurement::autoNormalizedStringValue() const
{
    return normalizedMeasurement()->stringValueWithAbbreviatedUnits();
}

QString VXQMeasurement::unitsString() const
{
    return measurementClass().unitsStringForMeasure(m_measure);
}

QString VXQMeasurement::abbreviatedUnitsString() const
{
    return measurementClass().abbreviationForMeasure(m_measure);
}

QString VXQMeasurement::description() const
{
    return ZQObject::description() + ' ' + stringValueWithAbbreviatedUnits();
}

// --- Archiving ----------------------------------------------------------------------

void VXQMeasurement::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeInt(m_measure, kMeasureKey);
    // Stored in single precision, as the documents have always had it.
    coder.encodeDouble(float(m_value), kValueKey);
    coder.encodeBool(m_normalizeEnabled, kNormalizeEnabledKey);
}

void VXQMeasurement::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const qint64 measure = coder.decodeInt(kMeasureKey);
    if (measure >= 1 && measure <= std::numeric_limits<quint32>::max())
        m_measure = quint32(measure);
    else
        ZQLogObjCMethod(QStringLiteral("invalid measure %1, using 1").arg(measure));

    const float value = float(coder.decodeDouble(kValueKey));
    if (std::isfinite(value))
        m_value = value;
    else
        ZQLogObjCMethod(QStringLiteral("non-finite value, using 0"));

    m_normalizeEnabled = coder.decodeBool(kNormalizeEnabledKey);
}
