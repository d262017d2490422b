#pragma once

// Converts a model value into the value a control shows and, when reversible, back again.
// Inspectors hold one per key path; the transformer never sees markers or null values.

#include <QVariant>

namespace platform {

class ValueTransformer {
public:
    virtual ~ValueTransformer() = default;

    virtual QVariant transformedValue(const QVariant& value) const = 0;

    virtual bool allowsReverseTransformation() const { return false; }
    // Only asked when allowsReverseTransformation() is true.
    virtual QVariant reverseTransformedValue(const QVariant& value) const { return value; }
};

} // namespace platform
