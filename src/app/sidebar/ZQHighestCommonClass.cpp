#include "app/sidebar/ZQHighestCommonClass.h"

#include "platform/foundation/NamedException.h"
#include "platform/foundation/ZQObject.h"

#include <algorithm>

const QMetaObject* mostDerivedCommonClass(const QList<const QMetaObject*>& classes)
{
    if (classes.isEmpty())
        return nullptr;
    const QMetaObject* common = classes.first();
    const auto isCommon = [&classes](const QMetaObject* candidate) {
        return std::all_of(classes.cbegin(), classes.cend(),
                           [candidate](const QMetaObject* c) { return c->inherits(candidate); });
    };
    while (common && !isCommon(common))
        common = common->superClass();
    return common;
}

namespace {

QVariantList membersOf(const QVariant& collection)
{
    switch (collection.metaType().id()) {
    case QMetaType::QVariantList:
        return collection.toList();
    case QMetaType::QVariantMap:
        return collection.toMap().values();
    case QMetaType::QVariantHash:
        return collection.toHash().values();
    default:
        break;
    }
    if (collection.metaType() == QMetaType::fromType<QList<ZQObjectPtr>>()) {
        QVariantList members;
        for (const ZQObjectPtr& object : collection.value<QList<ZQObjectPtr>>())
            members.append(QVariant::fromValue(object));
        return members;
    }
    throw platform::NamedException(QStringLiteral("ZQUtilitiesDomainError"),
                         QStringLiteral("ZQHighestCommonClass - unsupported collection type (%1)")
                             .arg(QString::fromLatin1(collection.typeName())));
}

} // namespace

const QMetaObject* ZQHighestCommonClass(const QVariant& collection)
{
    if (!collection.isValid())
        return nullptr;
    QList<const QMetaObject*> classes;
    for (const QVariant& member : membersOf(collection)) {
        if (const QObject* object = platform::objectFromVariant(member))
            classes.append(object->metaObject());
    }
    return mostDerivedCommonClass(classes);
}
