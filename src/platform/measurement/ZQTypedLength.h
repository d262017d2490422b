#pragma once

// A length as people type it into a field: a number, in the user's notation or the C
// locale's, optionally followed by a unit's symbol with or without a space ("30", "1 cm",
// "1cm", "200 m"). A bare number is in whatever unit the field shows.

#include "platform/measurement/ZQUnitLength.h"

#include <optional>

struct ZQTypedLength {
    double value = 0;
    ZQUnitLengthPtr unit; // null for a bare number

    // Null for text that is not a finite number with at most a known unit symbol after it.
    static std::optional<ZQTypedLength> fromText(const QString& text);
    // A finite number alone, in the user's notation or the C locale's.
    static std::optional<double> numberFromText(const QString& text);

    // The length in a unit of `pointsPerUnit` points: a typed unit is converted, a bare number
    // taken as it is.
    double valueInUnitOfPoints(double pointsPerUnit) const;
    double valueInUnit(const ZQUnitLength& target) const { return valueInUnitOfPoints(target.conversionFactorForPoints()); }
};
