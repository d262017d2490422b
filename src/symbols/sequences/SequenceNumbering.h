#pragma once

// How a sequence shows its numbers: nine kinds, from plain decimal to number words.
//
// Letters come from an alphabet of L letters (A[0] first). Up to L a number is one letter;
// past it two places: letter and letter (kind 1), letter and number (kind 2) or number and
// letter (kind 3). The forms with a leading letter end at L x (L + 1) (ZZ for 702 with the
// default alphabet); beyond that, and for numbers below 1, those kinds show the decimal
// number instead of reaching outside the alphabet. An empty alphabet stands for the default.
//
// The word forms keep their traditional quirks: "fourtieth", and abbreviated ordinals from 21
// up take the suffix of their last digit (111st). Roman numerals exist for 1...3999 only;
// other numbers give the empty string. Negative numbers read "minus <words>".

#include <QString>
#include <QStringList>

namespace sequencenumbering {

// The kinds a sequence may show; any other value shows as Numeric.
enum Kind {
    Numeric = 0,
    Alphabetical = 1,
    AlphaNumeric = 2,
    ReverseAlphaNumeric = 3,
    RomanNumerals = 4,
    Hexadecimal = 5,
    CardinalNumbers = 6,
    OrdinalNumbers = 7,
    AbbreviatedOrdinalNumbers = 8,
};
constexpr int kLastKind = AbbreviatedOrdinalNumbers;

// "Numeric", "Alphabetical", ...; the empty string for a value that is no kind.
QString displayNameForSequenceKind(int kind);

// "ABCDEFGHIJKLMNOPQRSTUVWXYZ" until set; setting the empty string restores it.
QString defaultAlphabet();
void setDefaultAlphabet(const QString& alphabet);

// The word tables: 0...20, the tens 30...90, hundred, thousand, million (31 entries each),
// and the suffixes "th", "st", "nd", "rd".
const QStringList& cardinals();
const QStringList& ordinals();
const QStringList& ordinalAbbreviations();

QString cardinalWithInteger(qint64 number);
QString ordinalWithInteger(qint64 number);
QString ordinalAbbreviationWithInteger(qint64 number);
QString romanWithInteger(qint64 number);

// `number` as `kind` shows it with `alphabet` (empty: the default).
QString formattedNumber(qint64 number, int kind, const QString& alphabet);

} // namespace sequencenumbering
