#include "widgets/formatters/ZQValueMultiplierTransformer.h"

#include "platform/foundation/NumericVariant.h"

#include <cmath>

double ZQValueMultiplierTransformer::effectiveMultiplier() const
{
    return m_multiplier != 0 && std::isfinite(m_multiplier) ? m_multiplier : 1.0;
}

QVariant ZQValueMultiplierTransformer::transformedValue(const QVariant& value) const
{
    return platform::isNumericVariant(value) ? QVariant(value.toDouble() * effectiveMultiplier()) : value;
}

QVariant ZQValueMultiplierTransformer::reverseTransformedValue(const QVariant& value) const
{
    return platform::isNumericVariant(value) ? QVariant(value.toDouble() / effectiveMultiplier()) : value;
}
