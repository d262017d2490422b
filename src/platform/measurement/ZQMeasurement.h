#pragma once

// An immutable length: a value in a unit of length.

#include "platform/measurement/ZQUnitLength.h"

class ZQMeasurement;
using ZQMeasurementPtr = std::shared_ptr<ZQMeasurement>;

class ZQMeasurement : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(double value READ value CONSTANT)

public:
    // A new measurement is 0 points.
    ZQMeasurement();

    static ZQMeasurementPtr make(double value, ZQUnitLengthPtr unit);

    double value() const { return m_value; }
    const ZQUnitLengthPtr& unit() const { return m_unit; }
    double lengthInPoints() const { return m_value * m_unit->conversionFactorForPoints(); }

    // The same length in `unit`.
    ZQMeasurementPtr measurementByConvertingToUnit(const ZQUnitLengthPtr& unit) const;

    // Same value and same unit (1000 m is not equal to 1 km).
    bool isEqualToMeasurement(const ZQMeasurement* other) const;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    double m_value = 0.0;
    ZQUnitLengthPtr m_unit;
};
