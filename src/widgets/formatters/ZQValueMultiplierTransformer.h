#pragma once

// Shows a stored number multiplied by a factor and stores what is entered divided by it
// (-1 shows a width with the opposite sign). A factor of 0 or one that is not finite acts
// as 1, so nothing entered is ever divided by zero. Values that are not numbers pass as they are.

#include "platform/foundation/ValueTransformer.h"

class ZQValueMultiplierTransformer : public platform::ValueTransformer {
public:
    double multiplier() const { return m_multiplier; }
    void setMultiplier(double multiplier) { m_multiplier = multiplier; }

    QVariant transformedValue(const QVariant& value) const override;
    bool allowsReverseTransformation() const override { return true; }
    QVariant reverseTransformedValue(const QVariant& value) const override;

private:
    double effectiveMultiplier() const;

    double m_multiplier = 1.0;
};
