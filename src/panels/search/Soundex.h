#pragma once

// "Sounds like" for texts: each text becomes a phonetic code, and two codes are compared by
// their Jaro-Winkler similarity. Both halves are this program's own variants, not the
// textbook rules:
//  - a code is the text's first (lower-case) character followed by class digits 1 to 6,
//    padded with "0"; the previous digit starts at 0, so a second letter of the first
//    letter's class is coded, and h and w separate equal digits as vowels do;
//  - the Jaro window is ceil(shorter length / 2), the ratios are summed in single precision,
//    and the Winkler prefix counts up to 6 characters.
// Characters are UTF-16 code units; only a to z have classes, anything else counts as a vowel.

#include <QList>
#include <QString>

// The letters of each class; the index of a list is its digit.
const QList<QString>& soundexCharacterSets();
// The digit of `character`: the first class holding it, 0 when none does.
int soundexValueForCharacter(char16_t character);

// The code of `text` with `length` characters, clamped to 4 to 10; empty for a text of
// blanks only.
QString soundexStringOfLength(const QString& text, int length);
QString soundexString(const QString& text);

// Whether the similarity of the two texts' 4-character codes reaches `threshold`.
bool soundsLikeStringWithJaroWinklerThreshold(const QString& text, const QString& other, double threshold);
bool soundsLikeString(const QString& text, const QString& other);
// Whether `text` sounds like the text whose soundexString is `code`: a search compares many
// texts with one, whose code it works out once.
bool soundsLikeCode(const QString& text, QStringView code);

// The characters of `text` that have an unused partner in `other` within `distance`
// positions (the far end excluded), in the order of `text`.
QString stringWithCommonCharactersFromStringSeparationDistance(const QString& text, const QString& other,
                                                              int distance);
// The number of equal leading characters, at most 6.
int prefixLengthWithString(const QString& text, const QString& other);
// Similarities from 0 to 1.
double jaroDistanceWithString(const QString& text, const QString& other);
double jaroWinklerDistanceWithString(const QString& text, const QString& other);
