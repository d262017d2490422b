#pragma once

// Reading and writing the duplicate sheets' fields. A field holds usable input only when it
// reads whole: text that merely starts with a number is refused, so OK stays disabled.

#include <QString>
#include <optional>

namespace duplicatefields {

// A whole number of copies from 1 to the most one duplication makes.
std::optional<int> copiesFromText(const QString& text);
// A finite number, in the user's notation or the C locale's.
std::optional<double> numberFromText(const QString& text);
// Up to `decimals` places, without trailing zeros, in the user's notation.
QString textForNumber(double value, int decimals = 3);

} // namespace duplicatefields
