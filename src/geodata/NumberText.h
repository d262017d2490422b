#pragma once

// Numbers in text files, independent of the process locale.

#include <QByteArray>
#include <QByteArrayView>

namespace geodata {

// The number at the start of `text` after leading blanks: an optional sign, digits with an
// optional fraction and exponent, the longest such prefix. Text that does not begin with a
// number, and numbers beyond the type's finite range, read as 0.
double leadingDouble(QByteArrayView text);
float leadingFloat(QByteArrayView text);

// Appends the shortest text that reads back as the same value; whole values have no
// fraction ("12"), and plain decimals are preferred to exponents within the usual range.
void appendNumber(QByteArray& text, double value);

} // namespace geodata
