#pragma once

// Storing numbers and key-value-coding values in dictionaries: QVariantMap, or
// platform::OrderedDictionary where the order of keys matters (settings written to files).

#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQObject.h"

#include <QString>
#include <QVariant>

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

// Stores object.valueForKey(key) under `dictionaryKey`; empty keys are programming errors.
template <class Dictionary>
void takeValueFromObjectForKeyForDictionaryKey(Dictionary& dictionary, const ZQObject& object, const QString& key,
                                               const QString& dictionaryKey)
{
    ZQ_ASSERT(!key.isEmpty(), QStringLiteral("object key was nil"));
    ZQ_ASSERT(!dictionaryKey.isEmpty(), QStringLiteral("dictionary key was nil"));
    dictionary.insert(dictionaryKey, object.valueForKey(key));
}
