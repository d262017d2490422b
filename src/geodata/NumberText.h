#pragma once

// Numbers in text files, independent of the process locale.

#include <QByteArray>
#include <QByteArrayView>
#include <variant>

namespace geodata {

// The number at the start of `text` after leading blanks: an optional sign, digits with an
// optional fraction and exponent, the longest such prefix, and what kind of reading it is.
// Its value is 0 unless it is a Number: text that does not begin with a number (None), "nan"
// or "inf" in any case (NotFinite), and numbers beyond a double's range (BeyondRange, "1e999";
// numbers too small to tell from 0 read as 0).
struct LeadingNumber {
    enum Kind { None, Number, NotFinite, BeyondRange };
    Kind kind = None;
    double value = 0;
};
LeadingNumber readLeadingNumber(QByteArrayView text);
double leadingDouble(QByteArrayView text);

// A number that is the whole of `text` (blanks around it aside): a whole number that fits in
// 64 bits as an integer, and any other number within a double's range as the nearest double
// (writers print doubles with up to 17 digits, "-67.353300000000004", meaning that double).
// A number beyond that range (1e999, or one so small that it would read as 0) is its text;
// text that is not wholly a number gives monostate.
using TextNumber = std::variant<std::monostate, qint64, double, QByteArrayView>;
TextNumber numberOfText(QByteArrayView text);

// Appends the shortest text that reads back as the same value; whole values have no
// fraction ("12"), and plain decimals are preferred to exponents within the usual range.
void appendNumber(QByteArray& text, double value);

} // namespace geodata
