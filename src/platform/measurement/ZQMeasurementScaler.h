#pragma once

// An immutable map scale: a reference length on the map stands for a representative
// length on the ground (4 cm : 1 km). Its ratio is ground length over map length,
// both in one unit.

#include "platform/measurement/ZQMeasurement.h"

class ZQMeasurementScaler;
using ZQMeasurementScalerPtr = std::shared_ptr<ZQMeasurementScaler>;

class ZQMeasurementScaler : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(double ratio READ ratio CONSTANT)
    Q_PROPERTY(QString scaleDescription READ scaleDescription CONSTANT)

public:
    // A new scaler is 4 cm : 1 km.
    ZQMeasurementScaler();

    static ZQMeasurementScalerPtr make(ZQMeasurementPtr reference, ZQMeasurementPtr representative);
    static ZQMeasurementScalerPtr fourCentimetersToOneKilometer();

    const ZQMeasurementPtr& reference() const { return m_reference; }
    const ZQMeasurementPtr& representative() const { return m_representative; }
    // Not finite when the reference length is 0.
    double ratio() const;

    // A map length as the ground length it stands for, in the representative unit.
    ZQMeasurementPtr measurementWithRepresentativeScale(const ZQMeasurement& mapMeasurement) const;
    // A ground length as the map length that stands for it, in the reference unit.
    ZQMeasurementPtr measurementFromRepresentativeScale(const ZQMeasurement& groundMeasurement) const;

    // "4 cm = 1 km", numbers in the current locale.
    QString scaleDescription() const;

    // Both sides are equal measurements.
    bool isEqualToScaler(const ZQMeasurementScaler* other) const;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    ZQMeasurementPtr m_reference;
    ZQMeasurementPtr m_representative;
};
