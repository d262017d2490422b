#pragma once

// What the inspectors share: reading one value over a selection and showing a value on a
// controller through the setter named after the key.

#include "platform/foundation/ZQObject.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <exception>
#include <functional>
#include <optional>

namespace platform {

class ValueTransformer;

// The last component of a dotted key path ("style.name" -> "name").
QString lastKeyOfKeyPath(const QString& keyPath);
// The key with its first letter upper-cased, the rest kept ("clipsToPath" -> "ClipsToPath").
QString capitalisedKey(const QString& key);

// Replaces an object's value before it is compared with the others (the index is the object's).
using ValueAdjuster = std::function<QVariant(qsizetype index, const QVariant& value)>;

// What values read one after another share: null before the first, then the first value
// until one differs (the multiple-values marker) or one cannot be read (the not-applicable
// marker). The first of these settles the answer; later values change nothing.
class CommonValue {
public:
    void add(const QVariant& value);
    void addUnreadable();
    bool isSettled() const { return m_settled; }
    // Whether a value was added: value() is then the one to compare with.
    bool hasValue() const { return !m_empty; }
    const QVariant& value() const { return m_value; }

private:
    QVariant m_value;
    bool m_empty = true;
    bool m_settled = false;
};

// Told of an object that cannot answer a key path (an adjuster that throws counts as one).
using UnreadableReporter = std::function<void(ZQObject& object, const std::exception& exception)>;
// The same for one of several key paths, by its index.
using PathUnreadableReporter = std::function<void(qsizetype path, ZQObject& object, const std::exception& exception)>;

// The value `objects` share at `keyPath` (see CommonValue), reading no further than needed:
// with a reporter, once one object cannot answer, every other that cannot is reported too.
QVariant commonValueOfObjects(const QList<ZQObjectPtr>& objects, const QString& keyPath,
                              const ValueAdjuster& adjust = {}, const UnreadableReporter& unreadable = {});
// The same for several key paths in one pass, each object visited once for all of them: a
// large selection is then fetched from memory once rather than once per key path. Adjusters,
// where given, go by the index of the key path.
QVariantList commonValuesOfObjects(const QList<ZQObjectPtr>& objects, const QStringList& keyPaths,
                                   const QList<ValueAdjuster>& adjusters = {},
                                   const PathUnreadableReporter& unreadable = {});

// The forward value for display; markers and nulls pass untouched.
QVariant displayValue(const ValueTransformer* transformer, const QVariant& value);
// The model value for an entered one, when the transformer can go back.
QVariant modelValue(const ValueTransformer* transformer, const QVariant& value);

// Shows `value` on `receiver` through its setter for the key path's last component: the
// receiver's DisplayBindings when it has them, else an invokable "set<Key>(v)" or a writable
// property. The multiple-values marker goes to the mixed-value setter ("setMixedValueFor<Key>")
// when the receiver has one, else the setter shows the text "<multiple values>". Without a
// setter the receiver's setValueForUndefinedKey decides; a null for a number and a value the
// setter cannot take are logged and ignored.
void showValueForKeyPath(ZQObject& receiver, const QVariant& value, const QString& keyPath);

// `value` converted for a display setter taking `type`; nullopt, logged against the setter's
// name, for a null that the type cannot hold or a value it cannot take.
std::optional<QVariant> valueForDisplaySetter(const ZQObject& receiver, const QVariant& value, QMetaType type,
                                              const QString& setter);

// The localised text shown where the selected objects' values differ.
QString multipleValuesText();

} // namespace platform
