#pragma once

// A distance in one of four measurement systems: a value in units, where the unit is a
// whole multiple (the measure) of the system's base unit, so the length in base units is
// value x measure. Each system is a subclass; its unit names and normalizing steps are its
// class side, VXQMeasurementClass. Measurements live in shared_ptr: conversions may answer
// the receiver itself.

#include "platform/foundation/ZQObject.h"

#include <QString>
#include <memory>
#include <span>

class VXQMeasurement;
using VXQMeasurementPtr = std::shared_ptr<VXQMeasurement>;

enum VXQMeasurementSystem : quint32 {
    kMetricMeasurementSystem = 0, // base unit the millimetre
    kImperialMeasurementSystem = 1, // the inch
    kQuartzMeasurementSystem = 2, // the point, 1/72 inch
    kNauticalMilesMeasurementSystem = 3, // the nautical mile
    kNoMeasurementSystem = 4294967295u,
};

// The class side of a measurement system.
class VXQMeasurementClass {
public:
    static const VXQMeasurementClass& none(); // VXQMeasurement itself
    static const VXQMeasurementClass& metric();
    static const VXQMeasurementClass& imperial();
    static const VXQMeasurementClass& quartz();
    static const VXQMeasurementClass& nauticalMiles();

    quint32 measurementSystem() const { return d.system; }
    // Base units per millimetre.
    double baseMultiplier() const { return d.baseMultiplier; }
    // Null for a measure the system has no name for.
    QString unitsStringForMeasure(quint32 measure) const;
    QString abbreviationForMeasure(quint32 measure) const;
    // The units normalizing steps through; any measure off the chain steps to 1.
    quint32 nextHighestMeasure(quint32 measure) const;
    quint32 nextLowestMeasure(quint32 measure) const;

    // A new measurement of this class: 0 base units, normalizing disabled.
    VXQMeasurementPtr make() const;

private:
    struct Unit {
        quint32 measure;
        const char* name;
        const char* abbreviation;
    };
    struct Step {
        quint32 from;
        quint32 to;
    };
    struct Definition {
        quint32 system;
        double baseMultiplier;
        std::span<const Unit> units;
        const Unit* anyMeasure; // names of every measure not in `units`, or null
        std::span<const Step> higher;
        std::span<const Step> lower;
        VXQMeasurementPtr (*factory)();
    };
    explicit constexpr VXQMeasurementClass(const Definition& definition)
        : d(definition)
    {
    }

    const Unit* unitForMeasure(quint32 measure) const;
    static quint32 stepFrom(std::span<const Step> steps, quint32 measure);

    Definition d;
};

class VXQMeasurement : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue)
    Q_PROPERTY(quint32 measure READ measure WRITE setMeasure)
    Q_PROPERTY(bool normalizeEnabled READ normalizeEnabled WRITE setNormalizeEnabled)

public:
    VXQMeasurement() = default;

    // Null for a system other than 0 to 3.
    static const VXQMeasurementClass* classForMeasurementSystem(quint32 system);
    static VXQMeasurementPtr measurementWithSystem(quint32 system);
    // The factor that takes a length in the source system's base unit to the destination's;
    // 0 when either is not one of the four systems.
    static double multiplierForSourceSystemDestination(quint32 source, quint32 destination);

    virtual const VXQMeasurementClass& measurementClass() const { return VXQMeasurementClass::none(); }
    quint32 measurementSystem() const { return measurementClass().measurementSystem(); }

    double value() const { return m_value; }
    void setValue(double value);
    quint32 measure() const { return m_measure; }
    // Keeps the length: the value is re-expressed in the new unit. The measure must be positive.
    void setMeasure(quint32 measure);
    bool normalizeEnabled() const { return m_normalizeEnabled; }
    void setNormalizeEnabled(bool enabled);

    // The length in unit `measure`; nothing changes.
    double valueWithMeasure(quint32 measure) const;
    // The receiver when `system` is its own; else a new measurement of that system in its
    // base unit, or null when `system` has no class.
    VXQMeasurementPtr measurementWithMeasurementSystem(quint32 system);
    // The length in points, and the points in one unit.
    double quartzValue() const;
    double unitQuartzValue() const;
    // `other` expressed in the receiver's system and unit; `other` itself when it is already.
    VXQMeasurementPtr convertMeasurement(const VXQMeasurementPtr& other);
    // A copy whose value is multiplied by `multiplier`.
    VXQMeasurementPtr measurementWithMultiplier(double multiplier) const;
    // The length of `other` over the receiver's length.
    double ratio(const VXQMeasurementPtr& other);

    // Re-expresses the value in the largest unit of the system's chain that the length
    // fills at least once; only when normalizing is enabled.
    void normalize();
    VXQMeasurementPtr normalizedMeasurement() const;

    // Scales the value by powers of `factor` (2 when not above 1) until the length in
    // points lies within [lower, upper]; stops at the first overshoot after a change of
    // direction. Lower must be below upper.
    VXQMeasurementPtr measurementConstrainedToQuartzLowerLimitUpperLimitByFactor(
        double lower, double upper, double factor);

    QString stringValue() const; // "1.50"
    QString stringValueWithUnits() const; // "1.50 metres"
    QString stringValueWithAbbreviatedUnits() const; // "1.50 m"
    QString autoNormalizedStringValue() const;
    QString unitsString() const;
    QString abbreviatedUnitsString() const;
    QString description() const override;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    VXQMeasurementPtr self();
    VXQMeasurementPtr copyMeasurement() const;

    quint32 m_measure = 1;
    double m_value = 0.0;
    bool m_normalizeEnabled = false;
};

class VXQMetricMeasurement : public VXQMeasurement {
    Q_OBJECT
public:
    const VXQMeasurementClass& measurementClass() const override { return VXQMeasurementClass::metric(); }
};

class VXQImperialMeasurement : public VXQMeasurement {
    Q_OBJECT
public:
    const VXQMeasurementClass& measurementClass() const override { return VXQMeasurementClass::imperial(); }
};

class VXQQuartzMeasurement : public VXQMeasurement {
    Q_OBJECT
public:
    const VXQMeasurementClass& measurementClass() const override { return VXQMeasurementClass::quartz(); }
};

class VXQNauticalMilesMeasurement : public VXQMeasurement {
    Q_OBJECT
public:
    const VXQMeasurementClass& measurementClass() const override { return VXQMeasurementClass::nauticalMiles(); }
};
