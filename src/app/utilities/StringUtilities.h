#pragma once

// Text helpers every subsystem uses: the ordering of names as people expect it, and the
// accessor names that key-value code forms from a key. Fonts by "Name Size" description
// are platform::fontValue in the graphics layer.

#include <QCollator>
#include <QString>

// Orders `a` against `b` the way a file list does: case-insensitively, with runs of digits
// compared as numbers ("Track 2" < "Track 10"), by the rules of the current locale.
// Negative, zero or positive, as QString::compare.
int localisedCaseInsensitiveNumericCompare(const QString& a, const QString& b);
// A collator ordering names that way, for sort keys of long lists.
QCollator localisedCaseInsensitiveNumericCollator();

// The string with only its first letter upper-cased: "primaryBarEnabled" -> "PrimaryBarEnabled".
QString capitalizedStringPreservingCamelCase(const QString& key);

// The selector of the setter of `key`: "locked" -> "setLocked". Selectors carry no colons
// in this runtime (see ZQObject::performSelector).
QString setterString(const QString& key);
