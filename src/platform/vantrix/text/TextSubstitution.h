#pragma once

// Label templates and how their text is changed for drawing.
//
// In a template "%%key" stands for the value an object answers for the key; a key is a run
// of letters, digits and underscores. A key the object does not know, or knows with an empty
// or null value, stands for nothing, so a template of only placeholders can fall back to a
// placeholder text. A "%%" not followed by a key stays as it is.

#include "platform/graphics/AttributedString.h"

#include <QVariant>
#include <functional>

namespace platform {

class AbbreviationTable;

using TextSubstitutionLookup = std::function<QVariant(const QString& key)>;

// The template with each placeholder replaced by the text of its value, abbreviated by the
// table when one is given. Replacements take the attributes of the placeholder's first
// character; literal text is never abbreviated.
AttributedString substitutedText(const AttributedString& text, const TextSubstitutionLookup& lookup,
                                 const AbbreviationTable* abbreviations = nullptr);
// Whether the text holds a placeholder for `key` (compared without regard to case).
bool textContainsPlaceholderForKey(const QString& text, const QString& key);
// Values as they read in labels: whole numbers without decimals, other numbers in the
// shortest exact form, lists joined with ", "; null values are empty.
QString textForValue(const QVariant& value);

enum class TextCapitalization { None = 0, Upper = 1, Lower = 2, Title = 3 };
// Title capitalization upper-cases the first letter of each word and keeps the others.
AttributedString capitalizedText(const AttributedString& text, TextCapitalization capitalization);

} // namespace platform
