#pragma once

// The kinds of object the bins of a binning transformer hold, by their stored codes:
// 0 style, 1 colour, 2 image, 3 text, 4 value (a number), 5 font. A bin keeps one object per
// kind under the kind's class name, so switching kinds loses nothing.

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <optional>

namespace bindata {

enum Type : int { Style = 0, Colour = 1, Image = 2, Text = 3, Value = 4, Font = 5 };
constexpr int kFirstType = Style;
constexpr int kLastType = Font;

inline bool isValidType(int type) { return type >= kFirstType && type <= kLastType; }

// The class a kind's objects have ("VXStyle", "QColor", "QImage", "QString", "double",
// "QFont"); empty for a code outside 0...5.
QString classNameForType(int type);
// The type of a kind's objects; invalid for a code outside 0...5.
QMetaType metaTypeForType(int type);
// What a bin answers for a kind it holds nothing of: "" for text, 0 for values, else nothing.
QVariant emptyValueForType(int type);

// `value` as a kind stores it (styles as VXStylePtr, numbers as double), or nothing when it
// is not an object of that kind: a style, a valid colour, a non-empty image, a string, a
// finite number or a font.
std::optional<QVariant> objectOfType(const QVariant& value, int type);

} // namespace bindata
