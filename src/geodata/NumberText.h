#pragma once

// Numbers in text files, independent of the process locale.

#include <QByteArray>
#include <QByteArrayView>
#include <variant>

namespace geodata {

// The number at the start of `text` after leading blanks: an optional sign, digits with an
// optional fraction and exponent, the longest such prefix. Text that does not begin with a
// number, and numbers beyond a double's finite range, read as 0.
double leadingDouble(QByteArrayView text);
// Whether the text, after blanks and a sign, names a number that is not finite: "nan" or
// "inf" in any case, or a number beyond double's range (which leadingDouble reads as 0).
bool namesNonFiniteNumber(QByteArrayView text);

// A number that is the whole of `text` (blanks around it aside), held without changing it:
// a whole number that fits in 64 bits as an integer, a decimal of at most 15 significant
// digits within a double's range as a double (which shows again digit for digit), and any
// other number as its text. Text that is not wholly a number gives monostate.
using ExactNumber = std::variant<std::monostate, qint64, double, QByteArrayView>;
ExactNumber exactNumber(QByteArrayView text);

// Appends the shortest text that reads back as the same value; whole values have no
// fraction ("12"), and plain decimals are preferred to exponents within the usual range.
void appendNumber(QByteArray& text, double value);

} // namespace geodata
