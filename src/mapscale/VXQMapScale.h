#pragma once

// The map scale of a document: a reference length on the map stands for a represented
// length on the ground (4 cm : 1 km, ratio 25000). It is immutable; every derivation
// answers a new value. Every map scale has positive, finite sides and ratio: a creation
// or derivation that would break this answers null and logs, and the caller keeps the
// value it had.

#include "platform/measurement/ZQMeasurementScaler.h"

#include <memory>

class VXQMapScale;
class VXQMeasurement;
using VXQMapScalePtr = std::shared_ptr<VXQMapScale>;

class VXQMapScale : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(double scale READ scale CONSTANT)
    Q_PROPERTY(QString stringValue READ stringValue CONSTANT)

public:
    // The default scale, until decoding replaces it.
    VXQMapScale();

    // The designated creation; null when either side is not a positive, finite length.
    static VXQMapScalePtr makeWithReferenceMeasurementRepresentedMeasurement(
        ZQMeasurementPtr reference, ZQMeasurementPtr represented);
    static VXQMapScalePtr defaultScale(); // 4 cm : 1 km

    // From the two measurements older documents stored (map side, ground side).
    static VXQMapScalePtr mapScaleWithLegacyNumeratorDenominator(
        const VXQMeasurement& numerator, const VXQMeasurement& denominator);
    // The same number of units in the unit of length that matches the legacy system and measure.
    static ZQMeasurementPtr measurementWithLegacyMeasure(const VXQMeasurement& legacy);

    const ZQMeasurementScalerPtr& scaler() const { return m_scaler; }
    const ZQMeasurementPtr& referenceMeasurement() const { return m_scaler->reference(); }
    const ZQMeasurementPtr& representedMeasurement() const { return m_scaler->representative(); }
    double scale() const { return m_scaler->ratio(); }
    bool isEqualToMapScale(const VXQMapScale* other) const;

    // Map side to ground side (in the represented unit) and back (in the reference unit).
    ZQMeasurementPtr convertToRepresentedMeasurement(const ZQMeasurement& measurement) const;
    ZQMeasurementPtr convertToReferenceMeasurement(const ZQMeasurement& measurement) const;

    QString scaleString() const; // "4 cm = 1 km"
    QString stringValue() const; // "4 cm = 1 km (1:25,000)", numbers in the current locale
    QString description() const override;

    // The round number of represented units that scale bars label by, keyed by the
    // represented unit; 0 for a unit without one.
    double unitBase() const;
    // The reference length in points, doubled or halved to fall between `smallest` and
    // `largest` points (the halving may end below `smallest`): the label pitch of scale bars.
    double labelPitchSpanInRange(double smallest, double largest) const;
    // The same for any length; 0 when the length is not positive and finite or `largest`
    // is not positive, as no doubling or halving would end.
    static double labelPitchForLengthInRange(double points, double smallest, double largest);

    // Derivations. Changing units keeps the ratio.
    VXQMapScalePtr mapScaleWithReferenceUnits(const ZQUnitLengthPtr& units) const;
    VXQMapScalePtr mapScaleWithRepresentativeUnits(const ZQUnitLengthPtr& units) const;
    // The represented side becomes half a power of ten in `units`, near the converted length,
    // and the reference follows so the ratio is kept: the second bar of a scale bar.
    VXQMapScalePtr mapScaleWithRepresentativeUnitsAndSimilarMagnitude(const ZQUnitLengthPtr& units) const;
    // A new value on one side, in that side's unit; the other side follows when the ratio is kept.
    VXQMapScalePtr mapScaleWithReferenceValueKeepingScaleFactor(double value, bool keepRatio) const;
    VXQMapScalePtr mapScaleWithRepresentativeValueKeepingScaleFactor(double value, bool keepRatio) const;
    // 1 reference unit : `scale` reference units, shown in the represented unit.
    VXQMapScalePtr mapScaleWithScale(double scale) const;
    // Brings a side below 1 up to 1, keeping the ratio.
    VXQMapScalePtr mapScaleByNormalizing() const;

    // Refused: a map scale never changes. Logs and keeps the value.
    void setScale(double scale);

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    static bool isUsable(const ZQMeasurementScaler& scaler);
    VXQMapScalePtr copyMapScale() const;

    ZQMeasurementScalerPtr m_scaler;
};
