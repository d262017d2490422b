#pragma once

// Storing numbers and key-value-coding values in dictionaries: QVariantMap, or
// platform::OrderedDictionary where the order of keys matters (settings written to files).

#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQObject.h"

#include <QString>
#include <QVariant>
#include <algorithm>
#include <climits>
#include <cmath>

template <class Dictionary>
void setIntValueForKey(Dictionary& dictionary, int value, const QString& key)
{
    dictionary.insert(key, QVariant(value));
}

template <class Dictionary>
void setBoolValueForKey(Dictionary& dictionary, bool value, const QString& key)
{
    dictionary.insert(key, QVariant(value));
}

// Kept as a double holding the float's exact value: property lists store doubles.
template <class Dictionary>
void setFloatValueForKey(Dictionary& dictionary, float value, const QString& key)
{
    dictionary.insert(key, QVariant(double(value)));
}

// Reading back. Settings come from files and other panes: an entry that is missing or holds
// neither a number nor a boolean reads 0 (false); a number that is not finite reads 0, and one
// outside int's range reads as the nearest int.
inline double numberValueOfVariant(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    if (!platform::isNumericVariant(value))
        return 0;
    const double number = value.toDouble();
    return std::isfinite(number) ? number : 0;
}

template <class Dictionary>
double floatValueForKey(const Dictionary& dictionary, const QString& key)
{
    return numberValueOfVariant(dictionary.value(key));
}

// Truncated toward zero, as a number's int value is.
template <class Dictionary>
int intValueForKey(const Dictionary& dictionary, const QString& key)
{
    const double number = std::trunc(floatValueForKey(dictionary, key));
    return int(std::clamp(number, double(INT_MIN), double(INT_MAX)));
}

template <class Dictionary>
bool boolValueForKey(const Dictionary& dictionary, const QString& key)
{
    return floatValueForKey(dictionary, key) != 0;
}

// Stores object.valueForKey(key) under `dictionaryKey`; empty keys are programming errors.
template <class Dictionary>
void takeValueFromObjectForKeyForDictionaryKey(Dictionary& dictionary, const ZQObject& object, const QString& key,
                                               const QString& dictionaryKey)
{
    ZQ_ASSERT(!key.isEmpty(), QStringLiteral("object key was nil"));
    ZQ_ASSERT(!dictionaryKey.isEmpty(), QStringLiteral("dictionary key was nil"));
    dictionary.insert(dictionaryKey, object.valueForKey(key));
}
