#pragma once

// The fixed tables of the attribute editor: the entries of its type pop-up (their own
// indexes, which are the menu tags, against the framework's type codes), the item a new row
// of each type starts with, the predefined attributes, the find options, and how a value
// entered in a row is read as the row's type.

#include "platform/vantrix/model/VXMetadataItem.h"

#include <QString>
#include <optional>

namespace attributetables {

// Indexes of the type pop-up.
enum TypeIndex { kBooleanIndex = 0, kIntegerIndex, kRealIndex, kStringIndex, kDateIndex, kColourIndex, kURLIndex };
inline constexpr int kTypeIndexCount = 7;
// No entry of the pop-up (a type it does not offer, or keys of differing types).
inline constexpr int kNoTypeIndex = -1;
// What typeForIndex answers for an index outside the pop-up.
inline constexpr int kNoType = -2;

// The pop-up index of a framework type code; kNoTypeIndex for the codes it does not offer.
int indexForType(int type);
// The framework type code of a pop-up index; kNoType outside the pop-up.
int typeForIndex(int index);
// The pop-up's title of an index: the framework's name of its type.
QString titleForIndex(int index);

// The address a new URL row starts with.
inline const QString kNewURLAddress = QStringLiteral("https://www.example.com/");

struct KeyedItem {
    QString key;
    VXMetadataItemPtr item;
};
// The key and first value of a new row of a pop-up index; an index outside the pop-up
// makes a String row. A Date row is "date" holding today.
KeyedItem newItemForIndex(int index);
// A predefined attribute by its menu tag; none for other tags.
std::optional<KeyedItem> predefinedAttributeForTag(int tag);

// Find options: what the filter text is tested against.
enum FindOption {
    kKeyContains = 0,
    kKeyBeginsWith,
    kTypeNameBeginsWith,
    kKeyEndsWith,
    kValueContains,
    kValueBeginsWith,
};
inline constexpr int kFindOptionCount = 6;
// The search field menu's title of an option.
QString titleForFindOption(int option);

// `value` read as a value of `type`, or none when it does not read as one: text in a number
// row, a date that does not parse, NaN, a number out of range, a colour or address that is
// not one. Strings take anything that has text.
std::optional<QVariant> valueOfType(const QVariant& value, int type);

} // namespace attributetables
