#pragma once

// Calling methods and converting values by name over the meta-object system: the
// runtime behind key-value coding and performSelector.

#include <QByteArray>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QVariant>
#include <optional>

class QObject;

namespace platform {

// The public method of `object` with that name and parameter count; an invalid method if none.
QMetaMethod findMethod(const QObject* object, const QByteArray& name, int parameterCount);
bool hasMethodNamed(const QObject* object, const QByteArray& name);

// The property that a getter ("name", no argument) or setter ("setName", one argument)
// selector reads or writes; an invalid property if none.
QMetaProperty findPropertyAccessor(const QObject* object, const QByteArray& selector, int argumentCount);

// Converts `value` to `type` the way key-value coding does: QObject pointers are cast
// along the class hierarchy, numbers and strings convert, QVariant parameters take the
// value as it is. Answers nullopt when it cannot.
std::optional<QVariant> convertVariant(const QVariant& value, QMetaType type);

// Whether a null value can be stored in a slot of `type` (false for numbers, bools, enums).
bool typeAcceptsNull(QMetaType type);

// Invokes `method` on `object` with the arguments converted to its parameter types.
// Throws an assertion failure when an argument cannot be converted.
QVariant invokeMethod(QObject* object, const QMetaMethod& method, const QVariantList& arguments);

// The method that a selector names on `target`: the one-parameter method of that name when
// there is an argument to pass, else the parameterless one, falling back to the other.
QMetaMethod selectorMethod(const QObject* target, const QByteArray& selector, bool withArgument);
// Invokes that method now, passing `argument` when it takes a parameter. Answers false
// when the target has no method of that name.
bool invokeSelector(QObject* target, const QByteArray& selector, const QVariant& argument = {});

} // namespace platform
