#include "symbols/transformers/OutputProperties.h"

#include <QCoreApplication>
#include <QMetaClassInfo>

namespace outputproperties {

namespace {

// The class information under "<prefix><Property>", null when absent.
const char* classInfo(const QMetaObject& metaObject, const char* prefix, const QString& property)
{
    if (property.isEmpty())
        return nullptr;
    const QByteArray name = prefix + property.left(1).toUpper().toLatin1() + property.mid(1).toLatin1();
    const int index = metaObject.indexOfClassInfo(name.constData());
    return index >= 0 ? metaObject.classInfo(index).value() : nullptr;
}

} // namespace

QList<int> acceptableTypesForProperty(const QMetaObject& metaObject, const QString& property)
{
    QList<int> types;
    if (const char* codes = classInfo(metaObject, "acceptableTypesFor", property)) {
        for (const QString& code : QString::fromLatin1(codes).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            types.append(code.toInt());
    }
    return types;
}

QString displayNameForProperty(const QMetaObject& metaObject, const QString& property)
{
    const char* name = classInfo(metaObject, "displayNameFor", property);
    return name ? QCoreApplication::translate(metaObject.className(), name) : QString();
}

QVariantMap acceptableTypesForProperties(const QMetaObject& metaObject, const QStringList& properties)
{
    QVariantMap result;
    for (const QString& property : properties) {
        QVariantList codes;
        for (int type : acceptableTypesForProperty(metaObject, property))
            codes.append(type);
        result.insert(property, codes);
    }
    return result;
}

QVariantMap displayNamesForProperties(const QMetaObject& metaObject, const QStringList& properties)
{
    QVariantMap result;
    for (const QString& property : properties) {
        if (const QString name = displayNameForProperty(metaObject, property); !name.isEmpty())
            result.insert(name, property);
    }
    return result;
}

} // namespace outputproperties
