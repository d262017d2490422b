#include "platform/foundation/MetaInvoke.h"

#include "platform/foundation/Markers.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQObject.h"

#include <QObject>
#include <array>

namespace platform {

QMetaMethod findMethod(const QObject* object, const QByteArray& name, int parameterCount)
{
    const QMetaObject* meta = object->metaObject();
    // Derived classes first, so an override declared again wins.
    for (int i = meta->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod method = meta->method(i);
        if (method.access() == QMetaMethod::Public && method.parameterCount() == parameterCount
            && method.name() == name)
            return method;
    }
    return {};
}

bool hasMethodNamed(const QObject* object, const QByteArray& name)
{
    const QMetaObject* meta = object->metaObject();
    for (int i = meta->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod method = meta->method(i);
        if (method.access() == QMetaMethod::Public && method.name() == name)
            return true;
    }
    return false;
}

QMetaProperty findPropertyAccessor(const QObject* object, const QByteArray& selector, int argumentCount)
{
    const QMetaObject* meta = object->metaObject();
    if (argumentCount == 0) {
        const int index = meta->indexOfProperty(selector.constData());
        return index >= 0 && meta->property(index).isReadable() ? meta->property(index) : QMetaProperty();
    }
    if (argumentCount != 1 || selector.size() < 4 || !selector.startsWith("set"))
        return {};
    QByteArray name = selector.mid(3);
    name[0] = char(QChar::toLower(uchar(name[0])));
    const int index = meta->indexOfProperty(name.constData());
    return index >= 0 && meta->property(index).isWritable() ? meta->property(index) : QMetaProperty();
}

bool typeAcceptsNull(QMetaType type)
{
    if (type.flags() & (QMetaType::PointerToQObject | QMetaType::IsPointer))
        return true;
    if (type.flags() & QMetaType::IsEnumeration)
        return false;
    switch (type.id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return false;
    default:
        return true;
    }
}

namespace {

std::optional<QVariant> convertObjectPointer(const QVariant& value, QMetaType type)
{
    QObject* object = objectFromVariant(value);
    if (!object && value.metaType().flags() & QMetaType::PointerToQObject)
        object = value.value<QObject*>();
    if (!object && !isNull(value))
        return std::nullopt;
    const QMetaObject* wanted = type.metaObject();
    if (object && wanted && !object->metaObject()->inherits(wanted))
        return std::nullopt;
    return QVariant(type, &object);
}

} // namespace

std::optional<QVariant> convertVariant(const QVariant& value, QMetaType type)
{
    if (type == QMetaType::fromType<QVariant>())
        return value;
    if (value.metaType() == type)
        return value;
    if (type.flags() & QMetaType::PointerToQObject)
        return convertObjectPointer(value, type);
    if (isNull(value)) {
        if (!typeAcceptsNull(type))
            return std::nullopt;
        return QVariant(type);
    }
    QVariant converted = value;
    if (!converted.convert(type))
        return std::nullopt;
    return converted;
}

QVariant invokeMethod(QObject* object, const QMetaMethod& method, const QVariantList& arguments)
{
    ZQ_ASSERT(arguments.size() == method.parameterCount() && arguments.size() <= 10,
              QStringLiteral("wrong number of arguments for %1").arg(QString::fromLatin1(method.methodSignature())));

    QVariantList converted;
    converted.reserve(arguments.size());
    std::array<QGenericArgument, 10> generic{};
    for (int i = 0; i < arguments.size(); ++i) {
        const QMetaType type = method.parameterMetaType(i);
        std::optional<QVariant> argument = convertVariant(arguments[i], type);
        ZQ_ASSERT(argument.has_value(), QStringLiteral("argument %1 of %2 cannot take a value of type %3")
                                            .arg(i)
                                            .arg(QString::fromLatin1(method.methodSignature()),
                                                 QString::fromLatin1(arguments[i].typeName())));
        converted.append(*argument);
    }
    for (int i = 0; i < converted.size(); ++i) {
        const QMetaType type = method.parameterMetaType(i);
        // A QVariant parameter receives the QVariant itself, not its contents.
        const void* data = type == QMetaType::fromType<QVariant>() ? static_cast<const void*>(&converted[i])
                                                                 : converted[i].constData();
        generic[i] = QGenericArgument(type.name(), data);
    }

    const QMetaType returnType = method.returnMetaType();
    QVariant result;
    QGenericReturnArgument returnArgument;
    if (returnType == QMetaType::fromType<QVariant>())
        returnArgument = QGenericReturnArgument("QVariant", &result);
    else if (returnType.isValid() && returnType.id() != QMetaType::Void) {
        result = QVariant(returnType);
        returnArgument = QGenericReturnArgument(returnType.name(), result.data());
    }
    const bool invoked = method.invoke(object, Qt::DirectConnection, returnArgument, generic[0], generic[1],
                                       generic[2], generic[3], generic[4], generic[5], generic[6], generic[7],
                                       generic[8], generic[9]);
    ZQ_ASSERT(invoked, QStringLiteral("could not invoke %1").arg(QString::fromLatin1(method.methodSignature())));
    return result;
}

QMetaMethod selectorMethod(const QObject* target, const QByteArray& selector, bool withArgument)
{
    const QMetaMethod preferred = findMethod(target, selector, withArgument ? 1 : 0);
    return preferred.isValid() ? preferred : findMethod(target, selector, withArgument ? 0 : 1);
}

bool invokeSelector(QObject* target, const QByteArray& selector, const QVariant& argument)
{
    const QMetaMethod method = selectorMethod(target, selector, argument.isValid());
    if (!method.isValid())
        return false;
    invokeMethod(target, method, method.parameterCount() == 1 ? QVariantList{argument} : QVariantList{});
    return true;
}

} // namespace platform
